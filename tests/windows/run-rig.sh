#!/usr/bin/env bash
# Runs the Windows rig under Wine against one bridge DLL, in its own Wine prefix:
# first beside no core (the rig copies the test core in half way), then beside
# the core that lacks some entries.
# With a second bridge given, runs instead both bridges in one process beside
# the test core.
# run-rig.sh <wine> <rig.exe> <bridge.dll> <class> <W|A> <test core> <lacking core> <work dir>
#            [<second bridge.dll> <class> <W|A>]
set -u
wine=$1 rig=$2 bridge=$3 class=$4 width=$5 core=$6 lacking=$7 work=$8
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ $# -gt 8 ]; then
  rm -rf "$work/pair" && mkdir -p "$work/pair"
  cp "$rig" "$work/pair/rig.exe"
  cp "$core" "$work/pair/Korvane.dll"
  "$wine" "$work/pair/rig.exe" pair "Z:$bridge" "$class" "$width" "Z:$9" "${10}" "${11}" </dev/null
  status=$?
  wineserver -k 2>/dev/null
  exit $status
fi

rm -rf "$work/absent" "$work/lacking"
mkdir -p "$work/absent" "$work/lacking"
cp "$rig" "$work/absent/rig.exe"
cp "$rig" "$work/lacking/rig.exe"
cp "$lacking" "$work/lacking/Korvane.dll"

status=0
"$wine" "$work/absent/rig.exe" absent "Z:$bridge" "$class" "$width" "Z:$core" </dev/null || status=1
"$wine" "$work/lacking/rig.exe" lacking "Z:$bridge" "$class" "$width" </dev/null || status=1
wineserver -k 2>/dev/null
exit $status
