#!/usr/bin/env bash
# Windows start-up benchmark: Tovrel.exe against sixcontrols.exe (a plain Win32 window with the same
# six standard controls), started in alternating pairs under Wine on a private X server with
# openbox. Prints Tovrel.exe's size against 512 KB; for each program the time from start to the
# first map of its window and its resident memory, min and median; and the ratios to the
# yardstick with a 95 % interval. Figures are printed, not judged.
#
#   bench/win32/run.sh [WINDOWS_BUILD] [LINUX_BUILD] [PAIRS]
#       default build/windows, build/test (for tests/e2e/placement/rootlog), 15 pairs
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
windows=$(cd "${1:-$root/build/windows}" && pwd)
linux=$(cd "${2:-$root/build/test}" && pwd)
pairs=${3:-15}

source "$root/tests/e2e/xsession.sh"
source "$root/tests/win32/wineprefix.sh"
xsession_start 1280x800 openbox
wineprefix_use "$windows/bench-wineprefix"
# The benchmark's own Wine server is ended with the session.
finish() {
  wineserver -k 2>/dev/null || true
  xsession_stop
}
trap finish EXIT

/usr/bin/python3 "$root/bench/win32/measure.py" --pairs "$pairs" \
  "$linux/tests/e2e/placement/rootlog" "$windows/Tovrel.exe" \
  "$windows/bench/win32/sixcontrols.exe"
