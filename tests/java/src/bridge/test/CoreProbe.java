package bridge.test;

import java.nio.charset.StandardCharsets;

/** Scripts the test core and reads back what it received; reads the x87 state. */
public final class CoreProbe {
  static {
    System.loadLibrary("core_probe");
  }

  private CoreProbe() {}

  public static native void reset();

  /** Quiet: the core keeps returning what was scripted but logs nothing (for long runs). */
  public static native void quiet(boolean quiet);

  public static native void returnInt(String entry, int value);

  /** The entry returns these bytes, NUL-terminated; null makes it return a null pointer. */
  public static native void returnText(String entry, byte[] text);

  public static void returnText(String entry, String ascii) {
    returnText(entry, ascii == null ? null : ascii.getBytes(StandardCharsets.ISO_8859_1));
  }

  /** The data entry returns a pointer to a copy of these bytes; null makes it return null. */
  public static native void returnBytes(String entry, byte[] data);

  /** The data entry returns a pointer that crashes the process if read. */
  public static native void returnUnreadable(String entry);

  /** The render entry returns a bitmap of these pixels, given top row first. */
  public static void returnImage(int width, int height, int[] pixels, boolean storedBottomUp) {
    returnImage(1, width, height, pixels, storedBottomUp);
  }

  /** The render entry returns a bitmap of that size without pixel storage (never read). */
  public static void returnImageWithoutPixels(int width, int height) {
    returnImage(1, width, height, null, false);
  }

  /** The render entry returns a null bitmap. */
  public static void returnNullImage() {
    returnImage(0, 0, 0, null, false);
  }

  private static native void returnImage(int kind, int width, int height, int[] pixels, boolean bottomUp);

  /** Bitmaps the core handed out that nobody has released yet. */
  public static native int liveImages();

  /** Every entry leaves this x87 control word, with a divide-by-zero flag pending if asked. */
  public static native void leaveFpu(int controlWord, boolean pendingFlag);

  /** The calls the core received since the last take, one line each. */
  public static native String takeLog();

  public static native boolean coreLoaded();

  public static native int fpuControlWord();

  public static native int fpuStatusWord();

  public static native void setFpuControlWord(int controlWord);
}
