#!/bin/sh
# drop-export-directives.sh <objcopy> <object>...: removes the export
# directives (.drectve) that dllexport writes into each object.
objcopy=$1
shift
for object in "$@"; do
  "$objcopy" --remove-section=.drectve "$object" || exit 1
done
