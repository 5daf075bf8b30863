package bridge.test;

import static bridge.test.Results.describe;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;

import java.lang.reflect.Method;
import java.util.ArrayList;
import java.util.List;
import nist_sun_java.Brisolde;
import nist_sun_java.Korvane;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

/** The second bridge: the same methods, forwarding the same way, to the same core. */
class SecondBridgeTest {
  @BeforeEach
  void resetCore() {
    CoreProbe.reset();
    CoreProbe.takeLog();
  }

  @Test
  void everyMethodForwardsExactlyAsInTheMainBridge() throws Exception {
    List<Method> main = Natives.of(Korvane.class);
    List<Method> second = Natives.of(Brisolde.class);
    assertEquals(26, main.size());
    assertEquals(main.toString().replace("nist_sun_java.Korvane.", "nist_sun_java.Brisolde."), second.toString(),
        "declarations");
    List<String> differences = new ArrayList<>();
    for (int i = 0; i < main.size(); i++) {
      Object mainResult = Natives.call(main.get(i));
      String mainLog = CoreProbe.takeLog();
      Object secondResult = Natives.call(second.get(i));
      String secondLog = CoreProbe.takeLog();
      assertNotEquals("", mainLog, main.get(i) + " reached the core");
      if (!mainLog.equals(secondLog) || !describe(mainResult).equals(describe(secondResult))) {
        differences.add(main.get(i).getName() + ": " + mainLog + " / " + secondLog);
      }
    }
    assertEquals(List.of(), differences);
  }

  @Test
  void bothBridgesActOnTheOneCore() {
    CoreProbe.returnText("ReadKorvaneLastErrorMessage", "shared");
    Korvane.CreateNewNISTFile();
    assertEquals("shared", Brisolde.ReadKorvaneLastErrorMessage());
    assertEquals("CreateNewNISTFile\nReadKorvaneLastErrorMessage\n", CoreProbe.takeLog());
  }
}
