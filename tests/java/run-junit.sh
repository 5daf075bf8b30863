#!/usr/bin/env bash
# Runs the JUnit tests on the real JVM with -Xcheck:jni; any JNI warning, on
# either stream, fails the run.
# run-junit.sh <java> <junit console jar> <classes> <java.library.path> <test core dir> <lacking core dir> <work dir>
set -u
java=$1 junit=$2 classes=$3 libpath=$4 core=$5 lacking=$6 work=$7
rm -rf "$work" && mkdir -p "$work"
export LD_LIBRARY_PATH="$core"
out="$work/junit.out"
"$java" -Xcheck:jni -XX:ErrorFile="$work/hs_err_%p.log" -Djava.library.path="$libpath" \
  -Dbridge.test.java="$java" -Dbridge.test.classes="$classes" -Dbridge.test.libpath="$libpath" \
  -Dbridge.test.core="$core" -Dbridge.test.lacking="$lacking" -Dbridge.test.work="$work" \
  -jar "$junit" --class-path "$classes" --select-package bridge.test \
  --disable-banner --disable-ansi-colors --details=tree 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
if grep -E "WARNING in native method|FATAL ERROR in native method|JNI (warning|error)" "$out" >/dev/null; then
  echo "run-junit: -Xcheck:jni reported a problem (lines above)" >&2
  exit 1
fi
exit "$status"
