package bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.Arrays;

/** Shared helpers: a printable form of any method result, and the x87 checks. */
final class Results {
  static final int RESET_CONTROL_WORD = 0x133F;
  /** Reserved bit 6 of the control word always reads as 1. */
  static final int RESERVED_BIT = 0x40;
  /** Exception flags (bits 0-7) and busy (bit 15) of the status word. */
  static final int PENDING_FLAGS = 0x80FF;

  private Results() {}

  static String describe(Object result) {
    if (result == null) return "null";
    if (result instanceof byte[]) return "bytes" + Arrays.toString((byte[]) result);
    if (result instanceof int[]) return "ints" + Arrays.toString((int[]) result);
    if (result instanceof String) return "\"" + result + "\"";
    return result.toString();
  }

  static void assertResetRan() {
    assertEquals(RESET_CONTROL_WORD, CoreProbe.fpuControlWord() & ~RESERVED_BIT, "x87 control word");
    assertEquals(0, CoreProbe.fpuStatusWord() & PENDING_FLAGS, "x87 exception flags");
  }
}
