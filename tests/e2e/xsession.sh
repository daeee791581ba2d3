# Shared by the end-to-end tests: a private X server (Xvfb) with a real window manager (openbox) on
# a free display. Source this file, then call xsession_start; everything it starts is stopped when
# the test's shell exits, however it exits.
#
#   xsession_start [WIDTHxHEIGHT] [openbox|none]   default 1280x800, openbox
#
# Afterwards DISPLAY names the new server, and XSESSION_DIR is a scratch folder that is removed at
# the end.

XSESSION_PIDS=()

xsession_stop() {
  local pid
  for ((i = ${#XSESSION_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${XSESSION_PIDS[i]}
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${XSESSION_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  XSESSION_PIDS=()
  if [[ -n ${XSESSION_DIR:-} && -d $XSESSION_DIR ]]; then
    rm -rf "$XSESSION_DIR"
  fi
}

# Runs a command in the background as part of the session: it is stopped with the session.
xsession_spawn() {
  "$@" &
  XSESSION_PIDS+=("$!")
}

xsession_start() {
  local geometry=${1:-1280x800} wm=${2:-openbox}
  XSESSION_DIR=$(mktemp -d)
  trap xsession_stop EXIT

  # -displayfd makes Xvfb choose a free display and write its number once it accepts clients.
  local fifo=$XSESSION_DIR/display
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp -noreset 3>"$fifo" \
    >"$XSESSION_DIR/xvfb.log" 2>&1 &
  XSESSION_PIDS+=("$!")
  local number
  if ! read -r -t 120 number <"$fifo"; then
    echo "Xvfb did not start:" >&2
    cat "$XSESSION_DIR/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$number"

  if [[ $wm == openbox ]]; then
    openbox --sm-disable >"$XSESSION_DIR/openbox.log" 2>&1 &
    XSESSION_PIDS+=("$!")
    # The window manager is ready once it has announced itself on the root window.
    local tries
    for ((tries = 0; tries < 2400; tries++)); do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        return 0
      fi
      sleep 0.05
    done
    echo "openbox did not start:" >&2
    cat "$XSESSION_DIR/openbox.log" >&2
    return 1
  fi
}
