package bridge.test;

import static bridge.test.Results.assertResetRan;
import static bridge.test.Results.describe;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.util.concurrent.Callable;
import java.util.stream.Stream;
import nist_sun_java.Korvane;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

class TransactionTest {
  /** 53-bit precision, as a core built for double arithmetic may leave it. */
  static final int CORE_CONTROL_WORD = 0x027F;

  @BeforeEach
  void resetCore() {
    CoreProbe.reset();
    CoreProbe.takeLog();
  }

  static Arguments forwards(String label, Runnable script, Callable<Object> call, String log, String result) {
    return Arguments.of(label, script, call, log, result);
  }

  static Stream<Arguments> cases() {
    byte[] five = {1, 2, 3, 4, 5};
    return Stream.of(
        forwards("create", () -> CoreProbe.returnInt("CreateNewNISTFile", -5),
            Korvane::CreateNewNISTFile, "CreateNewNISTFile\n", "-5"),
        forwards("read file: non-ASCII path as modified UTF-8",
            () -> CoreProbe.returnInt("ReadNISTFromFile", 3),
            () -> Korvane.ReadNISTFromFile("/t/\u00e9\u20ac\ud834\udd1e\u0000.an2"),
            "ReadNISTFromFile \"/t/\\xC3\\xA9\\xE2\\x82\\xAC\\xED\\xA0\\xB4\\xED\\xB4\\x9E\\xC0\\x80.an2\"\n", "3"),
        forwards("read memory: element pointer and the caller's int",
            () -> CoreProbe.returnInt("ReadNISTFromMemory", 7),
            () -> Korvane.ReadNISTFromMemory(five, 3), "ReadNISTFromMemory [01 02 03 04] 3\n", "7"),
        forwards("read memory: int larger than the array passes unchanged", () -> {},
            () -> Korvane.ReadNISTFromMemory(five, 1 << 30), "ReadNISTFromMemory [01 02 03 04] 1073741824\n", "0"),
        forwards("write", () -> CoreProbe.returnInt("WriteNISTToFile", Integer.MIN_VALUE),
            () -> Korvane.WriteNISTToFile("out.an2"), "WriteNISTToFile \"out.an2\"\n", "-2147483648"),
        forwards("size", () -> CoreProbe.returnInt("ReadSizeOfNISTByteArray", 42),
            Korvane::ReadSizeOfNISTByteArray, "ReadSizeOfNISTByteArray\n", "42"),
        forwards("byte image: size entry first, then data", () -> {
              CoreProbe.returnInt("ReadSizeOfNISTByteArray", 5);
              CoreProbe.returnBytes("ReadNISTByteArray", new byte[] {9, 8, -7, 6, 5});
            }, Korvane::ReadNISTByteArray, "ReadSizeOfNISTByteArray\nReadNISTByteArray\n",
            "bytes[9, 8, -7, 6, 5]"),
        forwards("byte image of one byte", () -> {
              CoreProbe.returnInt("ReadSizeOfNISTByteArray", 1);
              CoreProbe.returnBytes("ReadNISTByteArray", new byte[] {-1, 2});
            }, Korvane::ReadNISTByteArray, "ReadSizeOfNISTByteArray\nReadNISTByteArray\n", "bytes[-1]"),
        forwards("empty byte image: data pointer not read", () -> {
              CoreProbe.returnInt("ReadSizeOfNISTByteArray", 0);
              CoreProbe.returnUnreadable("ReadNISTByteArray");
            }, Korvane::ReadNISTByteArray, "ReadSizeOfNISTByteArray\nReadNISTByteArray\n", "bytes[]"),
        forwards("negative size gives null", () -> {
              CoreProbe.returnInt("ReadSizeOfNISTByteArray", -1);
              CoreProbe.returnUnreadable("ReadNISTByteArray");
            }, Korvane::ReadNISTByteArray, "ReadSizeOfNISTByteArray\nReadNISTByteArray\n", "null"),
        forwards("null data with a size gives null", () -> {
              CoreProbe.returnInt("ReadSizeOfNISTByteArray", 3);
              CoreProbe.returnBytes("ReadNISTByteArray", null);
            }, Korvane::ReadNISTByteArray, "ReadSizeOfNISTByteArray\nReadNISTByteArray\n", "null"));
  }

  @ParameterizedTest(name = "{0}")
  @MethodSource("cases")
  void forwardsToTheCoreAndResetsTheFpu(
      String label, Runnable script, Callable<Object> call, String log, String result) throws Exception {
    script.run();
    CoreProbe.leaveFpu(CORE_CONTROL_WORD, true);
    Object value = call.call();
    assertResetRan();
    assertEquals(log, CoreProbe.takeLog(), "what the core received");
    assertEquals(result, describe(value));
  }

  static Stream<Arguments> nullArguments() {
    return Stream.of(
        Arguments.of("path is null", (Callable<Object>) () -> Korvane.ReadNISTFromFile(null)),
        Arguments.of("path is null", (Callable<Object>) () -> Korvane.WriteNISTToFile(null)),
        Arguments.of("data is null", (Callable<Object>) () -> Korvane.ReadNISTFromMemory(null, 4)));
  }

  @ParameterizedTest(name = "{0}")
  @MethodSource("nullArguments")
  void nullArgumentThrowsWithoutCallingTheCore(String message, Callable<Object> call) {
    CoreProbe.setFpuControlWord(0x027F);
    NullPointerException thrown = assertThrows(NullPointerException.class, call::call);
    assertEquals(0x027F, CoreProbe.fpuControlWord(), "x87 word untouched");
    assertEquals(message, thrown.getMessage());
    assertEquals("", CoreProbe.takeLog());
  }

  @Test
  void unallocatableByteImageThrowsOutOfMemoryAfterTheReset() {
    CoreProbe.returnInt("ReadSizeOfNISTByteArray", Integer.MAX_VALUE);
    CoreProbe.returnUnreadable("ReadNISTByteArray");
    CoreProbe.leaveFpu(CORE_CONTROL_WORD, true);
    assertThrows(OutOfMemoryError.class, Korvane::ReadNISTByteArray);
    assertResetRan();
    assertEquals("ReadSizeOfNISTByteArray\nReadNISTByteArray\n", CoreProbe.takeLog());
  }

  @Test
  void unmaskedExceptionPendingInTheCoreNeverReachesJava() {
    // Divide-by-zero pending with its mask cleared: any x87 instruction that waits would trap.
    CoreProbe.leaveFpu(0x0272, true);
    assertEquals(0, Korvane.CreateNewNISTFile());
    assertResetRan();
  }
}
