import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import nist_sun_java.Korvane;

/**
 * Java to bridge to core: creates a transaction, inserts and reads back a text field and a binary
 * field, renders an image field, and reads the transaction's byte image back in. Runs against any
 * core; the README's build runs it against the project's sample core on Linux.
 */
public final class Example {
  public static void main(String[] args) {
    System.out.println("CreateNewNISTFile() -> " + Korvane.CreateNewNISTFile());

    System.out.println("InsertRecordTxtField(2, 1, 18, \"NAM\", \"Ada Lovelace\") -> "
        + Korvane.InsertRecordTxtField(2, 1, 18, "NAM", "Ada Lovelace"));
    System.out.println("ReadRecordTxtField(2, 1, 18, \"\") -> \"" + Korvane.ReadRecordTxtField(2, 1, 18, "") + "\"");
    System.out.println("ReadRecordTxtFieldDescription(2, 1, 18, \"\") -> \""
        + Korvane.ReadRecordTxtFieldDescription(2, 1, 18, "") + "\"");

    byte[] minutiae = "minutiae: 12 34 56".getBytes(StandardCharsets.US_ASCII);
    System.out.println("InsertRecordBinaryFieldFromMemory(9, 1, <" + minutiae.length + " bytes>, ...) -> "
        + Korvane.InsertRecordBinaryFieldFromMemory(9, 1, minutiae, minutiae.length, "DATA", 0, 0, 0));
    byte[] back = Korvane.ReadRecordBinaryField(9, 1);
    System.out.println("ReadRecordBinaryField(9, 1) -> " + back.length + " bytes, "
        + (Arrays.equals(minutiae, back) ? "the same as inserted" : "DIFFERENT from what was inserted"));

    // A 3 x 2 image: red, green, blue over black, grey, white; 3 bytes (R, G, B) a pixel.
    byte[] rgb = {(byte) 255, 0, 0, 0, (byte) 255, 0, 0, 0, (byte) 255,
                  0, 0, 0, (byte) 128, (byte) 128, (byte) 128, (byte) 255, (byte) 255, (byte) 255};
    Korvane.InsertRecordBinaryFieldFromMemory(10, 1, rgb, rgb.length, "RAW-RGB", 3, 2, 24);
    int[] dimensions = new int[2];
    int[] pixels = Korvane.CreateHBITMAPfromRecordBinaryField(dimensions, 10, 1);
    System.out.printf("CreateHBITMAPfromRecordBinaryField(dims, 10, 1) -> %d x %d pixels:%n",
        dimensions[0], dimensions[1]);
    for (int row = 0; row < dimensions[1]; row++) {
      StringBuilder line = new StringBuilder("  ");
      for (int column = 0; column < dimensions[0]; column++) {
        line.append(String.format(" %06X", pixels[row * dimensions[0] + column] & 0xFFFFFF));
      }
      System.out.println(line);
    }

    byte[] image = Korvane.ReadNISTByteArray();
    System.out.println("ReadNISTByteArray() -> " + image.length + " bytes (ReadSizeOfNISTByteArray() -> "
        + Korvane.ReadSizeOfNISTByteArray() + ")");
    Korvane.CreateNewNISTFile();
    System.out.println("ReadNISTFromMemory(<those bytes>) -> " + Korvane.ReadNISTFromMemory(image, image.length)
        + "; ReadNumberOfRecords(2) -> " + Korvane.ReadNumberOfRecords(2)
        + "; ReadRecordTxtField(2, 1, 18, \"\") -> \"" + Korvane.ReadRecordTxtField(2, 1, 18, "") + "\"");

    System.out.println("ReadRecordTxtField(2, 1, 99, \"\") -> " + Korvane.ReadRecordTxtField(2, 1, 99, "")
        + "; ReadKorvaneLastErrorMessage() -> \"" + Korvane.ReadKorvaneLastErrorMessage() + "\"");
  }

  private Example() {}
}
