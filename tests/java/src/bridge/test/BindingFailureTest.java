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
import java.util.Set;
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

  /** What calling every method prints when each call in `failures` shows the given message. */
  static String everyMethodPrints(Map<String, String> failures, Map<String, String> results) {
    StringBuilder text = new StringBuilder();
    for (String method : BindingChild.everyMethod().keySet()) {
      text.append(failures.getOrDefault(method, ""))
          .append(method).append(" -> ").append(results.getOrDefault(method, "0")).append('\n');
    }
    return text.toString();
  }

  /** The core's log after `rounds` calls of every method in `methods`. */
  static String coreReceived(Set<String> methods, int rounds) {
    StringBuilder text = new StringBuilder("core received:\n");
    Map<String, String> args = Map.of(
        "ReadNISTFromFile", " \"in.an2\"", "ReadNISTFromMemory", " [01 02 03 04] 4",
        "WriteNISTToFile", " \"out.an2\"");
    for (int round = 0; round < rounds; round++) {
      for (String method : BindingChild.everyMethod().keySet()) {
        if (!methods.contains(method)) continue;
        if (method.equals("ReadNISTByteArray")) text.append("ReadSizeOfNISTByteArray\n");
        text.append(method).append(args.getOrDefault(method, "")).append('\n');
      }
    }
    return text.toString();
  }

  @Test
  void coreAbsentThenMadeAvailable() throws Exception {
    Path folder = Paths.get(System.getProperty("bridge.test.work"), "absent");
    Files.createDirectories(folder);
    Files.deleteIfExists(folder.resolve("libKorvane.so"));
    String core = System.getProperty("bridge.test.core") + "/libKorvane.so";

    Map<String, String> allFail = new java.util.HashMap<>();
    for (String method : BindingChild.everyMethod().keySet()) allFail.put(method, LOAD_FAILURE);
    String expected = everyMethodPrints(allFail, Map.of("ReadNISTByteArray", "null"))
        + LOAD_FAILURE + "ReadNISTFromFile(null) -> 0\n"
        + "x87 control word 0x027F\n"
        + "core loaded: false\n"
        + "-- core made available\n"
        + everyMethodPrints(Map.of(), Map.of("ReadNISTByteArray", "bytes[]"))
        + coreReceived(BindingChild.everyMethod().keySet(), 1);
    assertEquals(expected, child(folder.toString(), "absent", folder.toString(), core));
  }

  @Test
  void missingEntryStopsOnlyItsMethodAndThePartnerReader() throws Exception {
    Map<String, String> failures = Map.of(
        "WriteNISTToFile", missing("WriteNISTToFile"),
        "ReadSizeOfNISTByteArray", missing("ReadSizeOfNISTByteArray"),
        "ReadNISTByteArray", missing("ReadSizeOfNISTByteArray"));
    String once = everyMethodPrints(failures, Map.of("ReadNISTByteArray", "null"));
    String expected = once + once
        + coreReceived(Set.of("CreateNewNISTFile", "ReadNISTFromFile", "ReadNISTFromMemory"), 2);
    assertEquals(expected, child(System.getProperty("bridge.test.lacking"), "lacking"));
  }
}
