package bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.Arrays;
import java.util.stream.Stream;
import nist_sun_java.Korvane;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Text from the core: modified UTF-8 as such, anything else without losing a byte. */
class TextResultTest {
  static Arguments text(String label, int[] bytes, String expected) {
    byte[] raw = new byte[bytes.length];
    for (int i = 0; i < bytes.length; i++) raw[i] = (byte) bytes[i];
    return Arguments.of(label, raw, expected);
  }

  static int[] bytes(int... values) {
    return values;
  }

  static Stream<Arguments> cases() {
    int[] longText = new int[300];
    Arrays.fill(longText, 'a');
    longText[298] = 0xC9;
    longText[299] = 'z';
    return Stream.of(
        text("ASCII", bytes('N', 'I', 'S', 'T'), "NIST"),
        text("two-byte form", bytes(0xC3, 0xA9), "\u00e9"),
        text("C0 80 is U+0000", bytes('a', 0xC0, 0x80, 'b'), "a\u0000b"),
        text("three-byte form", bytes(0xE2, 0x82, 0xAC), "\u20ac"),
        text("surrogates in modified UTF-8", bytes(0xED, 0xA0, 0xB4, 0xED, 0xB4, 0x9E), "\ud834\udd1e"),
        text("lone surrogate", bytes(0xED, 0xA0, 0x80), "\ud800"),
        text("four-byte form becomes a surrogate pair", bytes(0xF0, 0x9F, 0x98, 0x80, '!'), "\ud83d\ude00!"),
        text("four-byte form, highest plane", bytes(0xF4, 0x8F, 0xBF, 0xBF), "\udbff\udfff"),
        text("lone lead byte", bytes(0xC9), "\u00c9"),
        text("sequence cut short by the end", bytes('x', 0xE2, 0x82), "x\u00e2\u0082"),
        text("stray continuation byte", bytes(0x80, 'a'), "\u0080a"),
        text("overlong two-byte form", bytes(0xC1, 0x81), "\u00c1\u0081"),
        text("overlong three-byte form", bytes(0xE0, 0x80, 0xAF), "\u00e0\u0080\u00af"),
        text("overlong four-byte form", bytes(0xF0, 0x8F, 0xBF, 0xBF), "\u00f0\u008f\u00bf\u00bf"),
        text("past U+10FFFF", bytes(0xF4, 0x90, 0x80, 0x80), "\u00f4\u0090\u0080\u0080"),
        text("F5 and above", bytes(0xF5, 0xFF), "\u00f5\u00ff"),
        text("long text decoded off the stack", longText, "a".repeat(298) + "\u00c9z"));
  }

  @ParameterizedTest(name = "{0}")
  @MethodSource("cases")
  void coreTextBecomesTheseChars(String label, byte[] coreText, String expected) {
    CoreProbe.returnText("ReadKorvaneLastErrorMessage", coreText);
    assertEquals(expected, Korvane.ReadKorvaneLastErrorMessage());
    CoreProbe.returnText("ReadRecordTxtFieldName", coreText);
    assertEquals(expected, Korvane.ReadRecordTxtFieldName(1, 2, 3));
  }
}
