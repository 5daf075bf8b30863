package bench;

import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Times calls in ns per call: after warm-up, the contenders of one table run in turn, one batch
 * each per round, so that drift of the machine touches all of them alike; each gets the median of
 * its rounds.
 */
final class Measure {
  static final int WARM_UP_ROUNDS = 3;
  static final int ROUNDS = 15;
  static volatile int sink;

  private final String title;
  /** Makes `calls` calls in a loop of its own (so each call site sees one target) and returns
   * something of their results, so they cannot be dropped. */
  interface Batch {
    int run(int calls);
  }

  private final Map<String, Batch> contenders = new LinkedHashMap<>();
  private final Map<String, Integer> calls = new LinkedHashMap<>();

  Measure(String title) {
    this.title = title;
  }

  Measure add(String what, int callsPerRound, Batch batch) {
    contenders.put(what, batch);
    calls.put(what, callsPerRound);
    return this;
  }

  /** Runs the table and prints it; the first contender is the floor the ratios refer to. */
  Map<String, Double> run() {
    Map<String, double[]> rounds = new LinkedHashMap<>();
    contenders.keySet().forEach(what -> rounds.put(what, new double[ROUNDS]));
    for (int round = -WARM_UP_ROUNDS; round < ROUNDS; round++) {
      for (Map.Entry<String, Batch> contender : contenders.entrySet()) {
        int count = calls.get(contender.getKey());
        long start = System.nanoTime();
        sink += contender.getValue().run(count);
        long elapsed = System.nanoTime() - start;
        if (round >= 0) rounds.get(contender.getKey())[round] = (double) elapsed / count;
      }
    }
    Map<String, Double> medians = new LinkedHashMap<>();
    rounds.forEach((what, values) -> {
      Arrays.sort(values);
      medians.put(what, values[ROUNDS / 2]);
    });
    double floor = medians.values().iterator().next();
    System.out.printf("%n%s%n%n| %-60s | %12s | %6s |%n|%s|%s|%s|%n", title, "way", "ns/call", "ratio",
        "-".repeat(62), "-".repeat(14), "-".repeat(8));
    medians.forEach((what, nanos) -> System.out.printf("| %-60s | %12.1f | %6.2f |%n", what, nanos, nanos / floor));
    return medians;
  }
}
