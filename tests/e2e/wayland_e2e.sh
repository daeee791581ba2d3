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
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=tovrel-$$
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config \
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
WAYLAND_DEBUG=client "$program" 2>"$log" &
pids+=("$!")
# Mapped: the toplevel titled Tovrel has acknowledged the compositor's configure and committed a
# buffer after it.
mapped() {
  awk '/xdg_toplevel@[0-9]+\.set_title\("Tovrel"\)/ { titled = 1 }
       titled && /-> xdg_surface@[0-9]+\.ack_configure/ { acked = 1 }
       acked && /-> wl_surface@[0-9]+\.attach\(wl_buffer/ { attached = 1 }
       attached && /-> wl_surface@[0-9]+\.commit\(\)/ { found = 1; exit }
       END { exit !found }' "$log"
}
for ((tries = 0; tries < 2400; tries++)); do
  mapped && break
  kill -0 "${pids[1]}" 2>/dev/null || fail "the program ended: $(grep -v '^\[' "$log" | head -n 5)"
  sleep 0.05
done
mapped || fail "the window was not mapped"
# Everything but the protocol log is a message of Qt's or of the program's.
others=$(grep -v -E '^\[ *[0-9]+\.[0-9]+\] ' "$log" || true)
[[ -z $others ]] || fail "the program said: $others"
kill "${pids[1]}"
echo "ok: a Wayland window titled Tovrel, mapped, nothing on stderr"

echo "typing into the window on the Wayland platform"
# Qt's Wayland input context dereferences the seat on every key a widget sees; without one (only
# here: a session has a seat before it delivers a key) it crashes, so no input context is loaded.
QT_QPA_PLATFORM=wayland QT_IM_MODULE=none "$window_tests" readings ||
  fail "the window's readings on Wayland"
echo "PASS"
