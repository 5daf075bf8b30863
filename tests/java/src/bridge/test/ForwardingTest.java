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

/** What each method hands the core and what the caller gets back, for every family. */
class ForwardingTest {
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

  static Runnable returns(String entry, int value) {
    return () -> CoreProbe.returnInt(entry, value);
  }

  static Runnable returnsText(String entry, String ascii) {
    return () -> CoreProbe.returnText(entry, ascii);
  }

  static Runnable returnsBytes(String sizeEntry, int size, String dataEntry, byte[] data) {
    return () -> {
      CoreProbe.returnInt(sizeEntry, size);
      if (data == null) CoreProbe.returnUnreadable(dataEntry);
      else CoreProbe.returnBytes(dataEntry, data);
    };
  }

  static Stream<Arguments> cases() {
    byte[] five = {1, 2, 3, 4, 5};
    String image = "ReadSizeOfNISTByteArray\nReadNISTByteArray\n";
    String field = "ReadSizeOfRecordBinaryField 14 1\nReadRecordBinaryField 14 1\n";
    return Stream.of(
        forwards("create", returns("CreateNewNISTFile", -5), Korvane::CreateNewNISTFile,
            "CreateNewNISTFile\n", "-5"),
        forwards("read file: non-ASCII path as modified UTF-8", returns("ReadNISTFromFile", 3),
            () -> Korvane.ReadNISTFromFile("/t/\u00e9\u20ac\ud834\udd1e\u0000.an2"),
            "ReadNISTFromFile \"/t/\\xC3\\xA9\\xE2\\x82\\xAC\\xED\\xA0\\xB4\\xED\\xB4\\x9E\\xC0\\x80.an2\"\n", "3"),
        forwards("read memory: element pointer and the caller's int", returns("ReadNISTFromMemory", 7),
            () -> Korvane.ReadNISTFromMemory(five, 3), "ReadNISTFromMemory [01 02 03 04] 3\n", "7"),
        forwards("read memory: int larger than the array passes unchanged", () -> {},
            () -> Korvane.ReadNISTFromMemory(five, 1 << 30), "ReadNISTFromMemory [01 02 03 04] 1073741824\n", "0"),
        forwards("write", returns("WriteNISTToFile", Integer.MIN_VALUE),
            () -> Korvane.WriteNISTToFile("out.an2"), "WriteNISTToFile \"out.an2\"\n", "-2147483648"),
        forwards("size of byte image", returns("ReadSizeOfNISTByteArray", 42),
            Korvane::ReadSizeOfNISTByteArray, "ReadSizeOfNISTByteArray\n", "42"),
        forwards("byte image: size entry first, then data",
            returnsBytes("ReadSizeOfNISTByteArray", 5, "ReadNISTByteArray", new byte[] {9, 8, -7, 6, 5}),
            Korvane::ReadNISTByteArray, image, "bytes[9, 8, -7, 6, 5]"),
        forwards("byte image of one byte",
            returnsBytes("ReadSizeOfNISTByteArray", 1, "ReadNISTByteArray", new byte[] {-1, 2}),
            Korvane::ReadNISTByteArray, image, "bytes[-1]"),
        forwards("empty byte image: data pointer not read",
            returnsBytes("ReadSizeOfNISTByteArray", 0, "ReadNISTByteArray", null),
            Korvane::ReadNISTByteArray, image, "bytes[]"),
        forwards("byte image: negative size gives null",
            returnsBytes("ReadSizeOfNISTByteArray", -1, "ReadNISTByteArray", null),
            Korvane::ReadNISTByteArray, image, "null"),
        forwards("byte image: null data with a size gives null", () -> {
              CoreProbe.returnInt("ReadSizeOfNISTByteArray", 3);
              CoreProbe.returnBytes("ReadNISTByteArray", null);
            }, Korvane::ReadNISTByteArray, image, "null"),

        forwards("record type exists", returns("CheckIfRecordTypeExists", 1),
            () -> Korvane.CheckIfRecordTypeExists(14), "CheckIfRecordTypeExists 14\n", "1"),
        forwards("number of records", returns("ReadNumberOfRecords", -1),
            () -> Korvane.ReadNumberOfRecords(2), "ReadNumberOfRecords 2\n", "-1"),
        forwards("IDC: both ints in order, negative result", returns("ReadIDCofRecord", -7),
            () -> Korvane.ReadIDCofRecord(10, -3), "ReadIDCofRecord 10 -3\n", "-7"),
        forwards("delete record", returns("DeleteRecord", 1),
            () -> Korvane.DeleteRecord(10, 2), "DeleteRecord 10 2\n", "1"),

        forwards("text field", returnsText("ReadRecordTxtField", "Smith"),
            () -> Korvane.ReadRecordTxtField(1, 2, 3, "TCN"), "ReadRecordTxtField 1 2 3 \"TCN\"\n", "\"Smith\""),
        forwards("text field: null text gives null", returnsText("ReadRecordTxtField", null),
            () -> Korvane.ReadRecordTxtField(1, 2, 3, "TCN"), "ReadRecordTxtField 1 2 3 \"TCN\"\n", "null"),
        forwards("text field size", returns("ReadSizeOfRecordTxtField", 5),
            () -> Korvane.ReadSizeOfRecordTxtField(1, 2, 3, "TCN"), "ReadSizeOfRecordTxtField 1 2 3 \"TCN\"\n", "5"),
        forwards("field name: three ints, no string", returnsText("ReadRecordTxtFieldName", "NAM"),
            () -> Korvane.ReadRecordTxtFieldName(1, 2, 3), "ReadRecordTxtFieldName 1 2 3\n", "\"NAM\""),
        forwards("field name size: four arguments with a string", returns("ReadSizeOfRecordTxtFieldName", 3),
            () -> Korvane.ReadSizeOfRecordTxtFieldName(1, 2, 3, "x"),
            "ReadSizeOfRecordTxtFieldName 1 2 3 \"x\"\n", "3"),
        forwards("field description", returnsText("ReadRecordTxtFieldDescription", "Date"),
            () -> Korvane.ReadRecordTxtFieldDescription(1, 2, 3, "d"),
            "ReadRecordTxtFieldDescription 1 2 3 \"d\"\n", "\"Date\""),
        forwards("field description size", returns("ReadSizeOfRecordTxtFieldDescription", 4),
            () -> Korvane.ReadSizeOfRecordTxtFieldDescription(1, 2, 3, "d"),
            "ReadSizeOfRecordTxtFieldDescription 1 2 3 \"d\"\n", "4"),
        forwards("exported text: empty stays empty", returnsText("ReadRecordExportedTxtFields", ""),
            () -> Korvane.ReadRecordExportedTxtFields(1, 2), "ReadRecordExportedTxtFields 1 2\n", "\"\""),
        forwards("exported text size", returns("ReadSizeOfRecordExportedTxtFields", 0),
            () -> Korvane.ReadSizeOfRecordExportedTxtFields(1, 2), "ReadSizeOfRecordExportedTxtFields 1 2\n", "0"),
        forwards("insert text field: both strings in order", returns("InsertRecordTxtField", 1),
            () -> Korvane.InsertRecordTxtField(2, 1, 18, "NAM", "\u00dcnal"),
            "InsertRecordTxtField 2 1 18 \"NAM\" \"\\xC3\\x9Cnal\"\n", "1"),

        forwards("binary field: size entry first, then data",
            returnsBytes("ReadSizeOfRecordBinaryField", 4, "ReadRecordBinaryField", new byte[] {1, 2, 3, 4}),
            () -> Korvane.ReadRecordBinaryField(14, 1), field, "bytes[1, 2, 3, 4]"),
        forwards("empty binary field: data pointer not read",
            returnsBytes("ReadSizeOfRecordBinaryField", 0, "ReadRecordBinaryField", null),
            () -> Korvane.ReadRecordBinaryField(14, 1), field, "bytes[]"),
        forwards("binary field: negative size gives null",
            returnsBytes("ReadSizeOfRecordBinaryField", -5, "ReadRecordBinaryField", null),
            () -> Korvane.ReadRecordBinaryField(14, 1), field, "null"),
        forwards("binary field size", returns("ReadSizeOfRecordBinaryField", 1024),
            () -> Korvane.ReadSizeOfRecordBinaryField(14, 1), "ReadSizeOfRecordBinaryField 14 1\n", "1024"),
        forwards("insert binary field from a file", returns("InsertRecordBinaryFieldFromFile", 1),
            () -> Korvane.InsertRecordBinaryFieldFromFile(14, 1, "f.wsq"),
            "InsertRecordBinaryFieldFromFile 14 1 \"f.wsq\"\n", "1"),
        forwards("insert binary field from memory: eight values in the Java order",
            returns("InsertRecordBinaryFieldFromMemory", 9),
            () -> Korvane.InsertRecordBinaryFieldFromMemory(14, 1, new byte[] {5, 6, 7, 8}, 2, "WSQ", 500, -1, 7),
            "InsertRecordBinaryFieldFromMemory 14 1 [05 06 07 08] 2 \"WSQ\" 500 -1 7\n", "9"),

        forwards("error report mode", returns("SetKorvaneErrorReportMode", 1),
            () -> Korvane.SetKorvaneErrorReportMode(2), "SetKorvaneErrorReportMode 2\n", "1"),
        forwards("last error text", returnsText("ReadKorvaneLastErrorMessage", "no record"),
            Korvane::ReadKorvaneLastErrorMessage, "ReadKorvaneLastErrorMessage\n", "\"no record\""),
        forwards("empty last error text", returnsText("ReadKorvaneLastErrorMessage", ""),
            Korvane::ReadKorvaneLastErrorMessage, "ReadKorvaneLastErrorMessage\n", "\"\""));
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

  static Stream<Arguments> refusedArguments() {
    String npe = "NullPointerException: ";
    return Stream.of(
        refused(npe + "path is null", () -> Korvane.ReadNISTFromFile(null)),
        refused(npe + "path is null", () -> Korvane.WriteNISTToFile(null)),
        refused(npe + "data is null", () -> Korvane.ReadNISTFromMemory(null, 4)),
        refused(npe + "text is null", () -> Korvane.ReadRecordTxtField(1, 2, 3, null)),
        refused(npe + "text is null", () -> Korvane.ReadSizeOfRecordTxtField(1, 2, 3, null)),
        refused(npe + "text is null", () -> Korvane.ReadSizeOfRecordTxtFieldName(1, 2, 3, null)),
        refused(npe + "text is null", () -> Korvane.ReadRecordTxtFieldDescription(1, 2, 3, null)),
        refused(npe + "text is null", () -> Korvane.ReadSizeOfRecordTxtFieldDescription(1, 2, 3, null)),
        refused(npe + "name is null", () -> Korvane.InsertRecordTxtField(1, 2, 3, null, "v")),
        refused(npe + "value is null", () -> Korvane.InsertRecordTxtField(1, 2, 3, "n", null)),
        refused(npe + "path is null", () -> Korvane.InsertRecordBinaryFieldFromFile(1, 2, null)),
        refused(npe + "data is null",
            () -> Korvane.InsertRecordBinaryFieldFromMemory(1, 2, null, 4, "t", 0, 0, 0)),
        refused(npe + "text is null",
            () -> Korvane.InsertRecordBinaryFieldFromMemory(1, 2, null, 4, null, 0, 0, 0)),
        refused(npe + "dimensions is null", () -> Korvane.CreateHBITMAPfromRecordBinaryField(null, 1, 2)),
        refused("ArrayIndexOutOfBoundsException: dimensions must have at least 2 elements (width, height)",
            () -> Korvane.CreateHBITMAPfromRecordBinaryField(new int[1], 1, 2)));
  }

  static Arguments refused(String exception, Callable<Object> call) {
    return Arguments.of(exception, call);
  }

  @ParameterizedTest(name = "{0}")
  @MethodSource("refusedArguments")
  void refusedArgumentThrowsWithoutCallingTheCore(String exception, Callable<Object> call) {
    CoreProbe.returnImage(1, 1, new int[] {0}, false);
    CoreProbe.setFpuControlWord(0x027F);
    RuntimeException thrown = assertThrows(RuntimeException.class, call::call);
    assertEquals(0x027F, CoreProbe.fpuControlWord(), "x87 word untouched");
    assertEquals(exception, thrown.getClass().getSimpleName() + ": " + thrown.getMessage());
    assertEquals("", CoreProbe.takeLog());
  }

  @Test
  void unallocatableByteArrayThrowsOutOfMemoryAfterTheReset() {
    CoreProbe.returnInt("ReadSizeOfRecordBinaryField", Integer.MAX_VALUE);
    CoreProbe.returnUnreadable("ReadRecordBinaryField");
    CoreProbe.leaveFpu(CORE_CONTROL_WORD, true);
    assertThrows(OutOfMemoryError.class, () -> Korvane.ReadRecordBinaryField(14, 1));
    assertResetRan();
    assertEquals("ReadSizeOfRecordBinaryField 14 1\nReadRecordBinaryField 14 1\n", CoreProbe.takeLog());
  }

  @Test
  void unmaskedExceptionPendingInTheCoreNeverReachesJava() {
    // Divide-by-zero pending with its mask cleared: any x87 instruction that waits would trap.
    CoreProbe.leaveFpu(0x0272, true);
    assertEquals(0, Korvane.CreateNewNISTFile());
    assertResetRan();
  }
}
