package bridge.test;

import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.List;
import java.util.concurrent.Callable;
import nist_sun_java.Korvane;

/**
 * Run in a child JVM by {@link BindingFailureTest}: calls every method and prints each result on
 * standard error, where the bridge's failure messages appear too, so their order shows.
 *
 * <p>{@code absent <folder on LD_LIBRARY_PATH> <test core>}: calls everything with no core to be
 * found, then copies the core into the folder and calls everything again. {@code lacking}: calls
 * everything twice against a core that lacks some entries. {@code absent-class <class>}: calls
 * every native method of that class, by reflection, with no core to be found.
 */
public final class BindingChild {
  /** A call of one method with harmless arguments, and what the core receives from it. */
  static final class Call {
    final String method;
    final Callable<Object> call;
    /** What the call returns from the test core when nothing is scripted. */
    final String unscriptedResult;
    final String coreReceives;

    Call(String method, Callable<Object> call, String unscriptedResult, String coreReceives) {
      this.method = method;
      this.call = call;
      this.unscriptedResult = unscriptedResult;
      this.coreReceives = coreReceives;
    }

    /** What a binding failure returns: 0 or null. */
    String failedResult() {
      return unscriptedResult.equals("0") ? "0" : "null";
    }
  }

  // Each byte-array reader comes before its size method: it must bind both entries itself.
  static final List<Call> EVERY_METHOD = List.of(
      new Call("CreateNewNISTFile", Korvane::CreateNewNISTFile, "0", "CreateNewNISTFile\n"),
      new Call("ReadNISTFromFile", () -> Korvane.ReadNISTFromFile("in.an2"), "0",
          "ReadNISTFromFile \"in.an2\"\n"),
      new Call("ReadNISTFromMemory", () -> Korvane.ReadNISTFromMemory(new byte[] {1, 2, 3, 4}, 4), "0",
          "ReadNISTFromMemory [01 02 03 04] 4\n"),
      new Call("WriteNISTToFile", () -> Korvane.WriteNISTToFile("out.an2"), "0",
          "WriteNISTToFile \"out.an2\"\n"),
      new Call("ReadNISTByteArray", Korvane::ReadNISTByteArray, "bytes[]",
          "ReadSizeOfNISTByteArray\nReadNISTByteArray\n"),
      new Call("ReadSizeOfNISTByteArray", Korvane::ReadSizeOfNISTByteArray, "0", "ReadSizeOfNISTByteArray\n"),
      new Call("CheckIfRecordTypeExists", () -> Korvane.CheckIfRecordTypeExists(2), "0",
          "CheckIfRecordTypeExists 2\n"),
      new Call("ReadNumberOfRecords", () -> Korvane.ReadNumberOfRecords(2), "0", "ReadNumberOfRecords 2\n"),
      new Call("ReadIDCofRecord", () -> Korvane.ReadIDCofRecord(2, 1), "0", "ReadIDCofRecord 2 1\n"),
      new Call("DeleteRecord", () -> Korvane.DeleteRecord(2, 1), "0", "DeleteRecord 2 1\n"),
      new Call("ReadRecordTxtField", () -> Korvane.ReadRecordTxtField(2, 1, 3, "x"), "null",
          "ReadRecordTxtField 2 1 3 \"x\"\n"),
      new Call("ReadSizeOfRecordTxtField", () -> Korvane.ReadSizeOfRecordTxtField(2, 1, 3, "x"), "0",
          "ReadSizeOfRecordTxtField 2 1 3 \"x\"\n"),
      new Call("ReadRecordTxtFieldName", () -> Korvane.ReadRecordTxtFieldName(2, 1, 3), "null",
          "ReadRecordTxtFieldName 2 1 3\n"),
      new Call("ReadSizeOfRecordTxtFieldName", () -> Korvane.ReadSizeOfRecordTxtFieldName(2, 1, 3, "x"), "0",
          "ReadSizeOfRecordTxtFieldName 2 1 3 \"x\"\n"),
      new Call("ReadRecordTxtFieldDescription", () -> Korvane.ReadRecordTxtFieldDescription(2, 1, 3, "x"),
          "null", "ReadRecordTxtFieldDescription 2 1 3 \"x\"\n"),
      new Call("ReadSizeOfRecordTxtFieldDescription",
          () -> Korvane.ReadSizeOfRecordTxtFieldDescription(2, 1, 3, "x"), "0",
          "ReadSizeOfRecordTxtFieldDescription 2 1 3 \"x\"\n"),
      new Call("ReadRecordExportedTxtFields", () -> Korvane.ReadRecordExportedTxtFields(2, 1), "null",
          "ReadRecordExportedTxtFields 2 1\n"),
      new Call("ReadSizeOfRecordExportedTxtFields", () -> Korvane.ReadSizeOfRecordExportedTxtFields(2, 1), "0",
          "ReadSizeOfRecordExportedTxtFields 2 1\n"),
      new Call("InsertRecordTxtField", () -> Korvane.InsertRecordTxtField(2, 1, 3, "n", "v"), "0",
          "InsertRecordTxtField 2 1 3 \"n\" \"v\"\n"),
      new Call("ReadRecordBinaryField", () -> Korvane.ReadRecordBinaryField(14, 1), "bytes[]",
          "ReadSizeOfRecordBinaryField 14 1\nReadRecordBinaryField 14 1\n"),
      new Call("ReadSizeOfRecordBinaryField", () -> Korvane.ReadSizeOfRecordBinaryField(14, 1), "0",
          "ReadSizeOfRecordBinaryField 14 1\n"),
      new Call("InsertRecordBinaryFieldFromFile", () -> Korvane.InsertRecordBinaryFieldFromFile(14, 1, "f"), "0",
          "InsertRecordBinaryFieldFromFile 14 1 \"f\"\n"),
      new Call("InsertRecordBinaryFieldFromMemory",
          () -> Korvane.InsertRecordBinaryFieldFromMemory(14, 1, new byte[] {1, 2, 3, 4}, 4, "t", 5, 6, 7), "0",
          "InsertRecordBinaryFieldFromMemory 14 1 [01 02 03 04] 4 \"t\" 5 6 7\n"),
      new Call("CreateHBITMAPfromRecordBinaryField",
          () -> Korvane.CreateHBITMAPfromRecordBinaryField(new int[2], 14, 1), "null",
          "CreateHBITMAPfromRecordBinaryField 14 1\n"),
      new Call("SetKorvaneErrorReportMode", () -> Korvane.SetKorvaneErrorReportMode(1), "0",
          "SetKorvaneErrorReportMode 1\n"),
      new Call("ReadKorvaneLastErrorMessage", Korvane::ReadKorvaneLastErrorMessage, "null",
          "ReadKorvaneLastErrorMessage\n"));

  static void callEveryMethod() throws Exception {
    for (Call call : EVERY_METHOD) {
      System.err.println(call.method + " -> " + Results.describe(call.call.call()));
    }
  }

  public static void main(String[] args) throws Exception {
    if (args[0].equals("absent-class")) {
      for (java.lang.reflect.Method method : Natives.of(Class.forName(args[1]))) {
        System.err.println(method.getName() + " -> " + Results.describe(Natives.call(method)));
      }
      return;
    }
    if (args[0].equals("absent")) {
      CoreProbe.setFpuControlWord(0x027F);
      callEveryMethod();
      System.err.println("ReadNISTFromFile(null) -> " + Korvane.ReadNISTFromFile(null));
      System.err.printf("x87 control word 0x%04X%n", CoreProbe.fpuControlWord());
      System.err.println("core loaded: " + CoreProbe.coreLoaded());
      Files.copy(Paths.get(args[2]), Paths.get(args[1]).resolve("libKorvane.so"));
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
