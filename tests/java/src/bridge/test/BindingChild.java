package bridge.test;

import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.concurrent.Callable;
import nist_sun_java.Korvane;

/**
 * Run in a child JVM by {@link BindingFailureTest}: calls every method and prints each result on
 * standard error, where the bridge's failure messages appear too, so their order shows.
 *
 * <p>{@code absent <folder on LD_LIBRARY_PATH> <test core>}: calls everything with no core to be
 * found, then copies the core into the folder and calls everything again. {@code lacking}: calls
 * everything against a core that lacks some entries.
 */
public final class BindingChild {
  /** One call of every method, with harmless arguments. */
  static Map<String, Callable<Object>> everyMethod() {
    Map<String, Callable<Object>> calls = new LinkedHashMap<>();
    calls.put("CreateNewNISTFile", Korvane::CreateNewNISTFile);
    calls.put("ReadNISTFromFile", () -> Korvane.ReadNISTFromFile("in.an2"));
    calls.put("ReadNISTFromMemory", () -> Korvane.ReadNISTFromMemory(new byte[] {1, 2, 3, 4}, 4));
    calls.put("WriteNISTToFile", () -> Korvane.WriteNISTToFile("out.an2"));
    calls.put("ReadSizeOfNISTByteArray", Korvane::ReadSizeOfNISTByteArray);
    calls.put("ReadNISTByteArray", Korvane::ReadNISTByteArray);
    return calls;
  }

  static void callEveryMethod() throws Exception {
    for (Map.Entry<String, Callable<Object>> call : everyMethod().entrySet()) {
      System.err.println(call.getKey() + " -> " + Results.describe(call.getValue().call()));
    }
  }

  public static void main(String[] args) throws Exception {
    if (args[0].equals("absent")) {
      CoreProbe.setFpuControlWord(0x027F);
      callEveryMethod();
      System.err.println("ReadNISTFromFile(null) -> " + Korvane.ReadNISTFromFile(null));
      System.err.printf("x87 control word 0x%04X%n", CoreProbe.fpuControlWord());
      System.err.println("core loaded: " + CoreProbe.coreLoaded());
      Path folder = Paths.get(args[1]);
      Files.copy(Paths.get(args[2]), folder.resolve("libKorvane.so"));
      System.err.println("-- core made available");
      callEveryMethod();
    } else {
      callEveryMethod();
      callEveryMethod();
    }
    System.err.print("core received:\n" + CoreProbe.takeLog());
  }

  private BindingChild() {}
}
