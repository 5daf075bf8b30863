package bench;

import bridge.test.CoreProbe;
import nist_sun_java.Korvane;

/**
 * The bridge against the other ways of reaching the core: a minimal JNI native (the floor) and JNA
 * direct mapping; {@code FfmBench} adds a foreign-function downcall on a JDK that has the API. All
 * call the same entries of the test core, which in its quiet mode returns scripted results without
 * logging.
 */
public final class Bench {
  static final int[] SIZES = {1 << 10, 1 << 20, 16 << 20};

  // The calls every table compares; FfmBench uses them too.
  static final Measure.Batch FLOOR_INT = calls -> {
    int keep = 0;
    for (int i = 0; i < calls; i++) keep += Floor.readIDCofRecord(2, 1);
    return keep;
  };
  static final Measure.Batch BRIDGE_INT = calls -> {
    int keep = 0;
    for (int i = 0; i < calls; i++) keep += Korvane.ReadIDCofRecord(2, 1);
    return keep;
  };
  static final Measure.Batch FLOOR_STRING = calls -> {
    int keep = 0;
    for (int i = 0; i < calls; i++) keep += Floor.readRecordTxtField(1, 2, 3, "TCN").length();
    return keep;
  };
  static final Measure.Batch BRIDGE_STRING = calls -> {
    int keep = 0;
    for (int i = 0; i < calls; i++) keep += Korvane.ReadRecordTxtField(1, 2, 3, "TCN").length();
    return keep;
  };

  /** Scripts the test core's results and binds the floor; shared with {@code FfmBench}. */
  static void prepare() {
    CoreProbe.quiet(true);
    CoreProbe.returnInt("ReadIDCofRecord", 7);
    CoreProbe.returnText("ReadRecordTxtField", "Smith, John");
    if (!Floor.bind()) throw new IllegalStateException("the floor found no core");
    System.out.println("JVM: " + System.getProperty("java.vm.name") + " " + System.getProperty("java.version"));
  }

  public static void main(String[] args) {
    prepare();

    int ints = 2_000_000;
    new Measure("Int call: ReadIDCofRecord(2, 1)")
        .add("floor: minimal JNI native", ints, FLOOR_INT)
        .add("bridge", ints, BRIDGE_INT)
        .add("JNA direct mapping", ints / 10, calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += JnaDirect._ReadIDCofRecord(2, 1);
          return keep;
        })
        .add("floor with an unconditional fnclex + fldcw", ints, calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += Floor.readIDCofRecordAlwaysReset(2, 1);
          return keep;
        })
        .run();

    CoreProbe.leaveFpu(0x027F, true);
    new Measure("Int call, the core leaving 0x027F and a divide-by-zero flag pending")
        .add("floor: minimal JNI native (leaves both to Java)", ints / 10, FLOOR_INT)
        .add("bridge (clears the flag, loads 0x133F)", ints / 10, BRIDGE_INT)
        .add("floor with an unconditional fnclex + fldcw", ints / 10,
            calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += Floor.readIDCofRecordAlwaysReset(2, 1);
          return keep;
        })
        .run();
    CoreProbe.leaveFpu(-1, false);

    int strings = 500_000;
    new Measure("String in, String out: ReadRecordTxtField(1, 2, 3, \"TCN\")")
        .add("floor: minimal JNI native", strings, FLOOR_STRING)
        .add("bridge", strings, BRIDGE_STRING)
        .add("JNA direct mapping", strings / 10, calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += JnaDirect._ReadRecordTxtField(1, 2, 3, "TCN").length();
          return keep;
        })
        .run();

    for (int size : SIZES) {
      byte[] image = new byte[size];
      for (int i = 0; i < size; i++) image[i] = (byte) i;
      CoreProbe.returnInt("ReadSizeOfNISTByteArray", size);
      CoreProbe.returnBytes("ReadNISTByteArray", image);
      int perRound = Math.max(10, (1 << 26) / size / 4);
      new Measure("Byte array result: ReadNISTByteArray() of " + describe(size))
          .add("floor: NewByteArray + SetByteArrayRegion", perRound, calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += Floor.readNISTByteArray().length;
          return keep;
        })
          .add("bridge", perRound, calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += Korvane.ReadNISTByteArray().length;
          return keep;
        })
          .add("through the elements (Get, copy, Release mode 0)", perRound,
              calls -> {
          int keep = 0;
          for (int i = 0; i < calls; i++) keep += Floor.readNISTByteArrayThroughElements().length;
          return keep;
        })
          .run();
    }
    System.out.println();
  }

  static String describe(int size) {
    return size >= 1 << 20 ? (size >> 20) + " MiB" : (size >> 10) + " KiB";
  }

  private Bench() {}
}
