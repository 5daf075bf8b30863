package bench;

import com.sun.jna.Native;

/** JNA direct mapping of the same core entries. */
final class JnaDirect {
  static {
    Native.register("Korvane");
  }

  private JnaDirect() {}

  static native int _ReadIDCofRecord(int recordType, int recordIndex);

  static native String _ReadRecordTxtField(int recordType, int recordIndex, int field, String text);
}
