package bridge.test;

import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CyclicBarrier;
import java.util.function.IntSupplier;
import nist_sun_java.Korvane;

/**
 * Run in a child JVM by {@link ReliabilityTest}.
 *
 * <p>{@code soak <calls>}: mixed calls with String and byte[] arguments and results, printing the
 * growth of resident memory between the end of a warm-up and the end of the run, in KiB.
 *
 * <p>{@code concurrent}: eight threads make their first calls of the same and of different methods
 * at the same moment, printing each wrong result.
 */
public final class ReliabilityChild {
  public static void main(String[] args) throws Exception {
    if (args[0].equals("soak")) soak(Integer.parseInt(args[1]));
    else concurrent();
  }

  static void soak(int calls) throws Exception {
    CoreProbe.quiet(true);
    CoreProbe.returnText("ReadRecordTxtField", "Smith, John");
    CoreProbe.returnInt("ReadSizeOfNISTByteArray", 1024);
    CoreProbe.returnBytes("ReadNISTByteArray", new byte[1024]);
    // Long enough that leaking it once a call shows well past the allowed growth.
    String path = "/transactions/" + "x".repeat(200) + ".an2";
    byte[] transaction = new byte[1024];

    int rounds = calls / 4;
    int warmUp = rounds / 5;
    long before = 0;
    for (int round = 0; round < rounds; round++) {
      if (round == warmUp) before = residentKiB();
      Korvane.ReadNISTFromFile(path);
      Korvane.ReadNISTFromMemory(transaction, transaction.length);
      if (Korvane.ReadRecordTxtField(1, 2, 3, "TCN").length() != 11) throw new AssertionError("text");
      if (Korvane.ReadNISTByteArray().length != 1024) throw new AssertionError("bytes");
    }
    System.out.println("calls " + rounds * 4 + ", resident growth KiB " + (residentKiB() - before));
  }

  static long residentKiB() throws Exception {
    for (String line : Files.readAllLines(Paths.get("/proc/self/status"))) {
      if (line.startsWith("VmRSS:")) return Long.parseLong(line.replaceAll("[^0-9]", ""));
    }
    throw new IllegalStateException("no VmRSS");
  }

  static void concurrent() throws Exception {
    CoreProbe.quiet(true);
    CoreProbe.returnInt("ReadIDCofRecord", 11);
    CoreProbe.returnInt("CheckIfRecordTypeExists", 12);
    CoreProbe.returnInt("ReadNumberOfRecords", 13);
    CoreProbe.returnInt("DeleteRecord", 14);
    CoreProbe.returnText("ReadRecordTxtField", "t");
    List<IntSupplier> firstCalls = List.of(
        () -> Korvane.ReadIDCofRecord(1, 1) - 11,
        () -> Korvane.ReadIDCofRecord(1, 1) - 11,
        () -> Korvane.ReadIDCofRecord(1, 1) - 11,
        () -> Korvane.ReadIDCofRecord(1, 1) - 11,
        () -> Korvane.CheckIfRecordTypeExists(1) - 12,
        () -> Korvane.ReadNumberOfRecords(1) - 13,
        () -> Korvane.DeleteRecord(1, 1) - 14,
        () -> Korvane.ReadRecordTxtField(1, 1, 1, "x").equals("t") ? 0 : 1);
    CyclicBarrier start = new CyclicBarrier(firstCalls.size());
    List<String> wrong = java.util.Collections.synchronizedList(new ArrayList<>());
    List<Thread> threads = new ArrayList<>();
    for (int i = 0; i < firstCalls.size(); i++) {
      IntSupplier call = firstCalls.get(i);
      int index = i;
      Thread thread = new Thread(() -> {
        try {
          start.await();
          if (call.getAsInt() != 0) wrong.add("call " + index + " returned a wrong value");
        } catch (Exception e) {
          wrong.add("call " + index + ": " + e);
        }
      });
      threads.add(thread);
      thread.start();
    }
    for (Thread thread : threads) thread.join();
    System.out.println("wrong results: " + wrong);
  }

  private ReliabilityChild() {}
}
