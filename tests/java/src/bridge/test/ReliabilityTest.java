package bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import org.junit.jupiter.api.Test;

/** A long-running JVM: no memory growth per call, and concurrent first calls. */
class ReliabilityTest {
  static final long ALLOWED_GROWTH_KIB = 8 * 1024;

  static String child(String... args) throws IOException, InterruptedException {
    List<String> command = new ArrayList<>(List.of(
        System.getProperty("bridge.test.java"), "-Xcheck:jni",
        // A heap of fixed size, touched at start: only native memory can grow.
        "-Xms64m", "-Xmx64m", "-XX:+AlwaysPreTouch",
        "-Djava.library.path=" + System.getProperty("bridge.test.libpath"),
        "-cp", System.getProperty("bridge.test.classes"), ReliabilityChild.class.getName()));
    command.addAll(List.of(args));
    ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
    builder.environment().put("LD_LIBRARY_PATH", System.getProperty("bridge.test.core"));
    Process process = builder.start();
    String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    assertEquals(0, process.waitFor(), output);
    assertFalse(output.contains("in native method"), "-Xcheck:jni reported:\n" + output);
    return output;
  }

  /** 200,000 calls; BRIDGE_SOAK=1 in the environment makes it 1,000,000. */
  @Test
  void residentMemoryStaysFlatOverALongRun() throws Exception {
    int calls = "1".equals(System.getenv("BRIDGE_SOAK")) ? 1_000_000 : 200_000;
    String output = child("soak", Integer.toString(calls));
    Matcher growth = Pattern.compile("resident growth KiB (-?\\d+)").matcher(output);
    assertTrue(growth.find(), output);
    assertTrue(Long.parseLong(growth.group(1)) <= ALLOWED_GROWTH_KIB, output);
  }

  @Test
  void concurrentFirstCallsAllGetTheirResults() throws Exception {
    assertEquals("wrong results: []\n", child("concurrent"));
  }
}
