package bench;

/** Minimal JNI natives calling the same core entries: the cost floor. */
final class Floor {
  static {
    System.loadLibrary("bench_floor");
  }

  private Floor() {}

  static native boolean bind();

  static native int readIDCofRecord(int recordType, int recordIndex);

  static native int readIDCofRecordAlwaysReset(int recordType, int recordIndex);

  static native String readRecordTxtField(int recordType, int recordIndex, int field, String text);

  static native byte[] readNISTByteArray();

  static native byte[] readNISTByteArrayThroughElements();
}
