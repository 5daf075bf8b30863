#!/usr/bin/env bash
# Checks a built bridge DLL: PE32 for i386; exports exactly the names of its
# .def file, none decorated; imports only system DLLs (no mingw runtime), and
# the Windows calls in the build's character width (W or A), by name.
# check-dll-tables.sh <objdump> <dll> <def file> <W|A>
set -u
objdump=$1 dll=$2 def=$3 width=$4
other=$([ "$width" = W ] && echo A || echo W)
dump=$("$objdump" -p "$dll") || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

grep -q "file format pei-i386" <<<"$dump" || fail "not a PE32 i386 image"
grep -qE "^Magic[[:space:]]+010b" <<<"$dump" || fail "optional header is not PE32"

expected=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | awk '{print $1}' | sort)
actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -oE '^\s*\[ *[0-9]+\] [^ ]+' | awk '{print $NF}' | sort)
[ "$expected" = "$actual" ] || fail "exports differ from $def:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"
grep -qE '@[0-9]+$|^_' <<<"$actual" && fail "decorated export names"

dlls=$(grep -oE 'DLL Name: .*' <<<"$dump" | cut -c11- | tr 'a-z' 'A-Z' | sort -u)
for name in $dlls; do
  case "$name" in
    KERNEL32.DLL | USER32.DLL | GDI32.DLL | MSVCRT.DLL) ;;
    *) fail "imports $name" ;;
  esac
done

imports=$(sed -n '/DLL Name:/,/^$/p' <<<"$dump" | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}')
for function in LoadLibrary$width GetProcAddress MessageBox$width GetObject$width \
    CreateCompatibleDC GetDIBits DeleteDC DeleteObject; do
  grep -qx "$function" <<<"$imports" || fail "does not import $function by name"
done
# The mingw runtime's start-up code (crtbegin) imports LoadLibraryA itself, so
# only the wide build's own LoadLibraryW can be told apart here; the Windows rig
# sees which one the bridge calls.
forbidden="MessageBox$other GetObject$other"
[ "$width" = A ] && forbidden="$forbidden LoadLibraryW"
for function in $forbidden; do
  grep -qx "$function" <<<"$imports" && fail "imports $function"
done

if [ "$failures" -eq 0 ]; then echo "$dll: tables as expected"; fi
[ "$failures" -eq 0 ]
