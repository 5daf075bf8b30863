package nist_sun_java;

/**
 * Native methods of the second bridge, {@code Korvane_jniexport}, which forwards each call to the
 * core library {@code Korvane.dll}. It behaves exactly as {@link Korvane} and its bridge, and makes
 * its Windows calls in their 8-bit form ({@code LoadLibraryA}, {@code MessageBoxA}, {@code
 * GetObjectA}). Both classes may be used in one process: each bridge keeps its own binding, and
 * both act on the one core library and its one current transaction.
 *
 * <p>The core library holds one current transaction for the whole process; the transaction methods
 * establish it and every other method acts on it. Calls must therefore be serialised by the caller.
 *
 * <p>On the first call of any method the bridge loads the core library and finds the core entry
 * point of the method's name with a leading underscore. If the library cannot be loaded it shows
 * the message box "Unable to load Korvane.dll" (caption "Error"); if the entry point is missing,
 * "Unable to get <i>Method</i> function address". The method then returns 0 or {@code null}, which
 * a core entry may return as well: only the message box tells the two apart. The next call tries
 * again. Failures inside the core library are reported by its own results and its last-error text.
 *
 * <p>A {@code null} String or array argument throws {@link NullPointerException} naming the
 * argument; the core is not called. Strings go to the core as NUL-terminated modified UTF-8 and
 * byte arrays as a pointer to their elements, valid for the duration of the call.
 */
public final class Brisolde {
  static {
    System.loadLibrary("Korvane_jniexport");
  }

  private Brisolde() {}

  /**
   * Makes a new, empty transaction the core's current one.
   *
   * @return the core's result for {@code _CreateNewNISTFile}; 0 on a binding failure
   */
  public static native int CreateNewNISTFile();

  /**
   * Reads a transaction from a file and makes it the core's current one.
   *
   * @param path the file's path, passed to {@code _ReadNISTFromFile} as modified UTF-8
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code path} is null
   */
  public static native int ReadNISTFromFile(String path);

  /**
   * Reads a transaction from bytes in memory and makes it the core's current one.
   *
   * @param data the transaction's bytes; the core receives a pointer to the array's elements
   * @param size passed to {@code _ReadNISTFromMemory} unchanged (the bridge does not check it
   *     against the array's length)
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code data} is null
   */
  public static native int ReadNISTFromMemory(byte[] data, int size);

  /**
   * Writes the current transaction to a file.
   *
   * @param path the file's path, passed to {@code _WriteNISTToFile} as modified UTF-8
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code path} is null
   */
  public static native int WriteNISTToFile(String path);

  /**
   * The length of the current transaction's byte image.
   *
   * @return the core's result for {@code _ReadSizeOfNISTByteArray}; 0 on a binding failure
   */
  public static native int ReadSizeOfNISTByteArray();

  /**
   * A copy of the current transaction's byte image: {@code _ReadSizeOfNISTByteArray} gives its
   * length and {@code _ReadNISTByteArray} its bytes.
   *
   * @return a new array of that length; {@code null} on a binding failure (of either entry), when
   *     the core gives a negative length or no bytes for a non-zero length, or when the array cannot
   *     be allocated (with {@link OutOfMemoryError} thrown)
   */
  public static native byte[] ReadNISTByteArray();

  /**
   * Whether the current transaction holds a record of this type.
   *
   * @param recordType passed to {@code _CheckIfRecordTypeExists} unchanged
   * @return the core's result; 0 on a binding failure
   */
  public static native int CheckIfRecordTypeExists(int recordType);

  /**
   * The number of records of the current transaction.
   *
   * @param recordType passed to {@code _ReadNumberOfRecords} unchanged
   * @return the core's result; 0 on a binding failure
   */
  public static native int ReadNumberOfRecords(int recordType);

  /**
   * The IDC (information designation character) of a record.
   *
   * @param recordType passed to {@code _ReadIDCofRecord} unchanged
   * @param recordIndex passed unchanged
   * @return the core's result, negative values included; 0 on a binding failure
   */
  public static native int ReadIDCofRecord(int recordType, int recordIndex);

  /**
   * Deletes a record of the current transaction.
   *
   * @param recordType passed to {@code _DeleteRecord} unchanged
   * @param recordIndex passed unchanged
   * @return the core's result; 0 on a binding failure
   */
  public static native int DeleteRecord(int recordType, int recordIndex);

  /**
   * The value of a text field. The three ints and the text go to {@code _ReadRecordTxtField} in
   * this order; their meaning is the core library's.
   *
   * @return a new string holding a copy of the core's text ("" for empty text); {@code null} if
   *     the core returns none, or on a binding failure. Text that is not modified UTF-8 is decoded
   *     as described on {@link #ReadKorvaneLastErrorMessage()}.
   * @throws NullPointerException if {@code text} is null
   */
  public static native String ReadRecordTxtField(int recordType, int recordIndex, int field, String text);

  /**
   * The length of a text field's value, as {@code _ReadSizeOfRecordTxtField} gives it.
   *
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code text} is null
   */
  public static native int ReadSizeOfRecordTxtField(int recordType, int recordIndex, int field, String text);

  /**
   * The name of a text field, from {@code _ReadRecordTxtFieldName} (three ints, no string).
   *
   * @return a new string, or {@code null} if the core returns none or on a binding failure
   */
  public static native String ReadRecordTxtFieldName(int recordType, int recordIndex, int field);

  /**
   * The length of a text field's name, from {@code _ReadSizeOfRecordTxtFieldName}. Unlike its
   * partner it takes a string, as the core's entry does.
   *
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code text} is null
   */
  public static native int ReadSizeOfRecordTxtFieldName(int recordType, int recordIndex, int field, String text);

  /**
   * The description of a text field, from {@code _ReadRecordTxtFieldDescription}.
   *
   * @return a new string, or {@code null} if the core returns none or on a binding failure
   * @throws NullPointerException if {@code text} is null
   */
  public static native String ReadRecordTxtFieldDescription(
      int recordType, int recordIndex, int field, String text);

  /**
   * The length of a text field's description, from {@code _ReadSizeOfRecordTxtFieldDescription}.
   *
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code text} is null
   */
  public static native int ReadSizeOfRecordTxtFieldDescription(
      int recordType, int recordIndex, int field, String text);

  /**
   * All exported text of a record, from {@code _ReadRecordExportedTxtFields}.
   *
   * @return a new string, or {@code null} if the core returns none or on a binding failure
   */
  public static native String ReadRecordExportedTxtFields(int recordType, int recordIndex);

  /**
   * The length of a record's exported text, from {@code _ReadSizeOfRecordExportedTxtFields}.
   *
   * @return the core's result; 0 on a binding failure
   */
  public static native int ReadSizeOfRecordExportedTxtFields(int recordType, int recordIndex);

  /**
   * Inserts a text field: the three ints, then {@code name} and {@code value} as modified UTF-8,
   * go to {@code _InsertRecordTxtField} in this order.
   *
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code name} or {@code value} is null
   */
  public static native int InsertRecordTxtField(
      int recordType, int recordIndex, int field, String name, String value);

  /**
   * A copy of a binary field's bytes: {@code _ReadSizeOfRecordBinaryField} gives the length and
   * {@code _ReadRecordBinaryField} the bytes, both called with the two ints.
   *
   * @return a new array of that length; {@code null} on a binding failure (of either entry), when
   *     the core gives a negative length or no bytes for a non-zero length, or when the array cannot
   *     be allocated (with {@link OutOfMemoryError} thrown)
   */
  public static native byte[] ReadRecordBinaryField(int recordType, int recordIndex);

  /**
   * The length of a binary field, from {@code _ReadSizeOfRecordBinaryField}.
   *
   * @return the core's result; 0 on a binding failure
   */
  public static native int ReadSizeOfRecordBinaryField(int recordType, int recordIndex);

  /**
   * Inserts a binary field from a file: the path goes to {@code _InsertRecordBinaryFieldFromFile}
   * as modified UTF-8; the bridge does not touch the file.
   *
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code path} is null
   */
  public static native int InsertRecordBinaryFieldFromFile(int recordType, int recordIndex, String path);

  /**
   * Inserts a binary field from the caller's bytes. The eight values go to {@code
   * _InsertRecordBinaryFieldFromMemory} in this order, {@code data} as a pointer to the array's
   * elements and {@code text} as modified UTF-8. {@code size} is passed unchanged: the bridge does
   * not check it against the array's length.
   *
   * @return the core's result; 0 on a binding failure
   * @throws NullPointerException if {@code text} or {@code data} is null
   */
  public static native int InsertRecordBinaryFieldFromMemory(
      int recordType, int recordIndex, byte[] data, int size, String text, int value1, int value2,
      int value3);

  /**
   * Renders an image field. {@code _CreateHBITMAPfromRecordBinaryField} decodes it into a bitmap
   * (the two ints are passed; {@code dimensions} is not); the bridge writes the width into {@code
   * dimensions[0]} and the height into {@code dimensions[1]}, leaves its other elements alone,
   * copies the pixels out and deletes the bitmap.
   *
   * @param dimensions receives width and height; at least two elements
   * @return width &times; height pixels, top row first, each {@code 0x00RRGGBB} (bits 24 to 31
   *     carry no colour); {@code null} on a binding failure, when the core returns no bitmap
   *     ({@code dimensions} then untouched), when the size is negative or too large for a Java
   *     array, or when the array cannot be allocated (with {@link OutOfMemoryError} thrown)
   * @throws NullPointerException if {@code dimensions} is null
   * @throws ArrayIndexOutOfBoundsException if {@code dimensions} has fewer than two elements
   */
  public static native int[] CreateHBITMAPfromRecordBinaryField(
      int[] dimensions, int recordType, int recordIndex);

  /**
   * Sets how the core library reports its errors; the modes are the core's.
   *
   * @return the core's result for {@code _SetKorvaneErrorReportMode}; 0 on a binding failure
   */
  public static native int SetKorvaneErrorReportMode(int mode);

  /**
   * The text of the core library's last error, from {@code _ReadKorvaneLastErrorMessage}.
   *
   * <p>Text from the core is read as modified UTF-8. The standard 4-byte UTF-8 form of a character
   * outside the Basic Multilingual Plane becomes its surrogate pair, and each byte that starts no
   * well-formed sequence becomes the char of the same value (U+0080 to U+00FF), so no byte is lost.
   *
   * @return a new string ("" for empty text); {@code null} if the core returns none, or on a
   *     binding failure
   */
  public static native String ReadKorvaneLastErrorMessage();
}
