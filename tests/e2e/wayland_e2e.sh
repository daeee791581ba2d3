#!/usr/bin/env bash
# The window in a Wayland session without an X server: a headless weston with no XWayland, on a
# private runtime folder and socket.
#   1. The real program, started as a user's session starts it (no X display, no Qt platform
#      chosen), opens its window as a Wayland window and says nothing on stderr.
#   2. Typing into that window: the headless compositor has no keyboard and Debian's weston no test
#      module to fake one, so the window's own tests send the keys to Text1 of the real Form1, shown
#      on the Wayland platform, and read Text2 and Text3 (window_tests' "readings", FF80 among them).
#   wayland_e2e.sh TOVREL WINDOW_TESTS
set -euo pipefail
program=$1 window_tests=$2

fail() {
  echo "FAIL: $*" >&2
  [[ -f ${runtime:-}/weston.log ]] && tail -n 20 "$runtime/weston.log" >&2
  exit 1
}

runtime=$(mktemp -d) # mode 0700, as a runtime folder must be
pids=()
stop() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for i in "${pids[@]}"; do wait "$i" 2>/dev/null || true; done
  rm -rf "$runtime"
}
trap stop EXIT

unset DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
# A session's locale is a UTF-8 one; under another Qt says on stderr that it switched to C.UTF-8.
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=tovrel-$$ LC_ALL=C.UTF-8
# --debug opens weston's debug protocol, through which weston-debug asks it for its scene graph.
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config --debug \
  >"$runtime/weston.log" 2>&1 &
pids+=("$!")
# The bounds below are for a hung run only.
for ((tries = 0; tries < 2400; tries++)); do
  [[ -S $runtime/$WAYLAND_DISPLAY ]] && break
  kill -0 "${pids[0]}" 2>/dev/null || fail "weston ended"
  sleep 0.05
done
[[ -S $runtime/$WAYLAND_DISPLAY ]] || fail "weston's socket did not appear"

echo "the program opens its window"
log=$runtime/tovrel.log
"$program" 2>"$log" &
pids+=("$!")
# Mapped, as the compositor sees it: its scene graph holds a view of an xdg_toplevel of the
# program's, titled Tovrel, shown on an output. weston puts a toplevel's view into a layer of the
# scene only once the toplevel has acknowledged a configure and committed a buffer.
mapped() {
  timeout 60 weston-debug scene-graph 2>/dev/null >"$runtime/scene" || return 1
  awk -v pid="PID ${pids[1]}," -v title="'Tovrel'" '
    /^[[:space:]]*(View|Layer) / { view = index($0, "role xdg_toplevel,") && index($0, pid) && index($0, title) }
    view && /not mapped/ { view = 0 }
    view && /^[[:space:]]*outputs: [0-9]/ { found = 1 }
    END { exit !found }' "$runtime/scene"
}
for ((tries = 0; tries < 2400; tries++)); do
  mapped && break
  kill -0 "${pids[1]}" 2>/dev/null || fail "the program ended: $(head -n 5 "$log")"
  sleep 0.05
done
mapped || fail "the window was not mapped; the views: $(grep "View " "$runtime/scene")"
[[ ! -s $log ]] || fail "the program said: $(cat "$log")"
kill "${pids[1]}"
echo "ok: a Wayland window titled Tovrel, mapped, nothing on stderr"

echo "typing into the window on the Wayland platform"
# Qt's Wayland input context dereferences the seat on every key a widget sees; without one (only
# here: a session has a seat before it delivers a key) it crashes, so no input context is loaded.
QT_QPA_PLATFORM=wayland QT_IM_MODULE=none "$window_tests" readings ||
  fail "the window's readings on Wayland"
echo "PASS"
