package bridge.test;

import static bridge.test.Results.assertResetRan;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;

import nist_sun_java.Korvane;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.ValueSource;

/** Rendering through the POSIX bitmap model. */
class ImageTest {
  static final int RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF;
  static final int[] PIXELS = {RED, GREEN, BLUE, 0x123456, 0xFFFFFF, 0};

  @BeforeEach
  void resetCore() {
    CoreProbe.reset();
    CoreProbe.takeLog();
  }

  @ParameterizedTest(name = "stored bottom-up: {0}")
  @ValueSource(booleans = {false, true})
  void threeByTwoImageComesTopRowFirst(boolean storedBottomUp) {
    CoreProbe.returnImage(3, 2, PIXELS, storedBottomUp);
    CoreProbe.leaveFpu(0x027F, true);
    int[] dimensions = {9, 9, 7, 7};
    int[] pixels = Korvane.CreateHBITMAPfromRecordBinaryField(dimensions, 4, 5);
    assertResetRan();
    assertArrayEquals(new int[] {3, 2, 7, 7}, dimensions, "width, height, the rest untouched");
    assertArrayEquals(PIXELS, pixels);
    assertEquals(255, (pixels[0] >> 16) & 0xFF, "red in bits 16-23");
    assertEquals(255, pixels[2] & 0xFF, "blue in bits 0-7");
    assertEquals("CreateHBITMAPfromRecordBinaryField 4 5\n", CoreProbe.takeLog());
    assertEquals(0, CoreProbe.liveImages(), "bitmap released");
  }

  @Test
  void nullBitmapLeavesDimensionsAndFpuAlone() {
    CoreProbe.returnNullImage();
    CoreProbe.setFpuControlWord(0x027F);
    int[] dimensions = {5, 6};
    assertNull(Korvane.CreateHBITMAPfromRecordBinaryField(dimensions, 1, 2));
    assertEquals(0x027F, CoreProbe.fpuControlWord());
    assertArrayEquals(new int[] {5, 6}, dimensions);
  }

  @Test
  void emptyImageGivesAnEmptyArray() {
    CoreProbe.returnImage(0, 0, new int[0], false);
    int[] dimensions = {5, 6};
    assertArrayEquals(new int[0], Korvane.CreateHBITMAPfromRecordBinaryField(dimensions, 1, 2));
    assertArrayEquals(new int[] {0, 0}, dimensions);
    assertEquals(0, CoreProbe.liveImages());
  }

  @ParameterizedTest(name = "{0} x {1}")
  @CsvSource({"-1, 2", "2, -1", "65536, 65536", "2147483647, 2"})
  void unrepresentableSizeGivesNullAfterWritingTheDimensions(int width, int height) {
    CoreProbe.returnImageWithoutPixels(width, height);
    CoreProbe.leaveFpu(0x027F, true);
    int[] dimensions = {0, 0};
    assertNull(Korvane.CreateHBITMAPfromRecordBinaryField(dimensions, 1, 2));
    assertArrayEquals(new int[] {width, height}, dimensions);
    assertResetRan();
    assertEquals(0, CoreProbe.liveImages(), "bitmap released");
  }
}
