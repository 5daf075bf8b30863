#!/usr/bin/env bash
# Checks that every export of one bridge DLL has its counterpart in the other,
# differing only in the Java class part of the name.
# check-counterparts.sh <objdump> <dll> <class> <other dll> <other class>
set -u
objdump=$1
exports() {
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
    | grep -oE '^\s*\[ *[0-9]+\] [^ ]+' | awk '{print $NF}' | sed "s/^Java_nist_1sun_1java_$2_/Java_nist_1sun_1java_CLASS_/" | sort
}
first=$(exports "$2" "$3") second=$(exports "$4" "$5")
if [ -z "$first" ] || [ "$first" != "$second" ]; then
  echo "FAIL: exports of $2 and $4 are not counterparts:"
  diff <(echo "$first") <(echo "$second")
  exit 1
fi
echo "$(wc -l <<<"$first") exports, each with its counterpart"
