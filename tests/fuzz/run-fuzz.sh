#!/usr/bin/env bash
# Runs the text fuzz target for a bounded time, starting from the kept
# regression inputs; a crashing input is written to the work folder for keeping
# in tests/fuzz/regressions.
# run-fuzz.sh <fuzz target> <regressions folder> <work folder> <seconds>
set -u
target=$1 regressions=$2 work=$3 seconds=$4
rm -rf "$work" && mkdir -p "$work/corpus"
exec "$target" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$work/" \
  "$work/corpus" "$regressions" 2>&1 | tail -n 25
