package bench;

import static java.lang.foreign.ValueLayout.ADDRESS;
import static java.lang.foreign.ValueLayout.JAVA_INT;

import java.lang.foreign.Arena;
import java.lang.foreign.FunctionDescriptor;
import java.lang.foreign.Linker;
import java.lang.foreign.MemorySegment;
import java.lang.foreign.SymbolLookup;
import java.lang.invoke.MethodHandle;

/** Foreign-function downcalls of the same core entries, on a JDK that has the API (22 and later). */
public final class FfmBench {
  public static void main(String[] args) throws Throwable {
    Bench.prepare();

    Linker linker = Linker.nativeLinker();
    SymbolLookup core = SymbolLookup.libraryLookup("libKorvane.so", Arena.global());
    MethodHandle idc = linker.downcallHandle(core.find("_ReadIDCofRecord").orElseThrow(),
        FunctionDescriptor.of(JAVA_INT, JAVA_INT, JAVA_INT));
    MethodHandle text = linker.downcallHandle(core.find("_ReadRecordTxtField").orElseThrow(),
        FunctionDescriptor.of(ADDRESS, JAVA_INT, JAVA_INT, JAVA_INT, ADDRESS));

    int ints = 2_000_000;
    new Measure("Int call: ReadIDCofRecord(2, 1)")
        .add("floor: minimal JNI native", ints, Bench.FLOOR_INT)
        .add("bridge", ints, Bench.BRIDGE_INT)
        .add("foreign-function downcall", ints, calls -> {
          try {
            int keep = 0;
            for (int i = 0; i < calls; i++) keep += (int) idc.invokeExact(2, 1);
            return keep;
          } catch (Throwable t) {
            throw new AssertionError(t);
          }
        })
        .run();

    int strings = 500_000;
    new Measure("String in, String out: ReadRecordTxtField(1, 2, 3, \"TCN\")")
        .add("floor: minimal JNI native", strings, Bench.FLOOR_STRING)
        .add("bridge", strings, Bench.BRIDGE_STRING)
        .add("foreign-function downcall", strings, calls -> {
          try {
            int keep = 0;
            for (int i = 0; i < calls; i++) {
              try (Arena arena = Arena.ofConfined()) {
                MemorySegment result = (MemorySegment) text.invokeExact(1, 2, 3, arena.allocateFrom("TCN"));
                keep += result.reinterpret(Long.MAX_VALUE).getString(0).length();
              }
            }
            return keep;
          } catch (Throwable t) {
            throw new AssertionError(t);
          }
        })
        .run();
    System.out.println();
  }

  private FfmBench() {}
}
