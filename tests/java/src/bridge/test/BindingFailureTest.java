package bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.function.Function;
import org.junit.jupiter.api.Test;

/** Binding failures, each in a child JVM (the binding cache lives for the process). */
class BindingFailureTest {
  static final String LOAD_FAILURE = "Error: Unable to load Korvane.dll\n";

  static String missing(String entry) {
    return "Error: Unable to get " + entry + " function address\n";
  }

  static String child(String libraryPath, String... args) throws IOException, InterruptedException {
    List<String> command = new ArrayList<>(List.of(
        System.getProperty("bridge.test.java"), "-Xcheck:jni",
        "-Djava.library.path=" + System.getProperty("bridge.test.libpath"),
        "-cp", System.getProperty("bridge.test.classes"), BindingChild.class.getName()));
    command.addAll(List.of(args));
    ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
    builder.environment().put("LD_LIBRARY_PATH", libraryPath);
    Process process = builder.start();
    String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    assertEquals(0, process.waitFor(), output);
    return output;
  }

  /** What the child prints for one round of calls, given each call's message and result. */
  static String round(Function<BindingChild.Call, String> message, Function<BindingChild.Call, String> result) {
    StringBuilder text = new StringBuilder();
    for (BindingChild.Call call : BindingChild.EVERY_METHOD) {
      text.append(message.apply(call)).append(call.method).append(" -> ").append(result.apply(call)).append('\n');
    }
    return text.toString();
  }

  @Test
  void coreAbsentThenMadeAvailable() throws Exception {
    Path folder = Paths.get(System.getProperty("bridge.test.work"), "absent");
    Files.createDirectories(folder);
    Files.deleteIfExists(folder.resolve("libKorvane.so"));
    String core = System.getProperty("bridge.test.core") + "/libKorvane.so";

    StringBuilder received = new StringBuilder("core received:\n");
    BindingChild.EVERY_METHOD.forEach(call -> received.append(call.coreReceives));
    String expected = round(call -> LOAD_FAILURE, BindingChild.Call::failedResult)
        + LOAD_FAILURE + "ReadNISTFromFile(null) -> 0\n"
        + "x87 control word 0x027F\n"
        + "core loaded: false\n"
        + "-- core made available\n"
        + round(call -> "", call -> call.unscriptedResult)
        + received;
    assertEquals(expected, child(folder.toString(), "absent", folder.toString(), core));
  }

  @Test
  void missingEntryStopsOnlyItsMethodAndThePartnerReader() throws Exception {
    Map<String, String> failures = Map.of(
        "WriteNISTToFile", missing("WriteNISTToFile"),
        "ReadSizeOfNISTByteArray", missing("ReadSizeOfNISTByteArray"),
        "ReadNISTByteArray", missing("ReadSizeOfNISTByteArray"),
        "ReadIDCofRecord", missing("ReadIDCofRecord"),
        "ReadSizeOfRecordBinaryField", missing("ReadSizeOfRecordBinaryField"),
        "ReadRecordBinaryField", missing("ReadSizeOfRecordBinaryField"));
    String once = round(call -> failures.getOrDefault(call.method, ""),
        call -> failures.containsKey(call.method) ? call.failedResult() : call.unscriptedResult);
    StringBuilder received = new StringBuilder("core received:\n");
    for (int round = 0; round < 2; round++) {
      for (BindingChild.Call call : BindingChild.EVERY_METHOD) {
        if (!failures.containsKey(call.method)) received.append(call.coreReceives);
      }
    }
    assertEquals(once + once + received, child(System.getProperty("bridge.test.lacking"), "lacking"));
  }

  @Test
  void secondBridgeReportsInTheSameWords() throws Exception {
    Path folder = Paths.get(System.getProperty("bridge.test.work"), "absent-second");
    Files.createDirectories(folder);
    StringBuilder expected = new StringBuilder();
    for (java.lang.reflect.Method method : Natives.of(nist_sun_java.Brisolde.class)) {
      expected.append(LOAD_FAILURE).append(method.getName()).append(" -> ")
          .append(method.getReturnType() == int.class ? "0" : "null").append('\n');
    }
    assertEquals(expected.toString(), child(folder.toString(), "absent-class", "nist_sun_java.Brisolde"));
  }
}
