package nist_sun_java;

/**
 * Native methods of the main bridge, {@code Korvane_jniexport32}, which forwards each call to the
 * core library {@code Korvane.dll}.
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
public final class Korvane {
  static {
    System.loadLibrary("Korvane_jniexport32");
  }

  private Korvane() {}

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
}
