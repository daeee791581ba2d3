#!/usr/bin/env bash
# Start-up benchmark: Tovrel against a plain Qt window with the same six controls, in pairs, on a
# private X server with openbox. Prints time to first map and peak memory, min and median, and the
# median ratio of the pairs with its 95 % interval.
#
#   bench/startup/run.sh [BUILD_DIR] [RUNS]     default build/test, 15 pairs
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/test}
runs=${2:-15}
source "$root/tests/e2e/xsession.sh"
xsession_start 1280x800 openbox
"$build/bench/startup/startup_bench" --runs "$runs" "$build/tests/e2e/placement/rootlog" \
  "$build/tovrel" "$build/bench/startup/plainwindow"
