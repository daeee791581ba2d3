# Shared by the end-to-end tests: a private X server (Xvfb) with a real window manager (openbox) on
# a free display. Source this file, then call xsession_start; everything it starts is stopped when
# the test's shell exits, however it exits.
#
#   xsession_start [WIDTHxHEIGHT] [WM|none]   default 1280x800, openbox
#
# Afterwards DISPLAY names the new server, and XSESSION_DIR is a scratch folder that is removed at
# the end. Two variables of the environment change the desktop (scripts/check-desktops sets them;
# the test suite leaves them unset):
#   XSESSION_WM         the window manager that WM "openbox" starts: openbox (the default), kwin,
#                       mutter, xfwm4 or metacity. WM may also name one of these itself. All but
#                       openbox get a session bus of their own.
#   XSESSION_MONITORS   one (the default): the screen is one monitor; primary-left or
#                       primary-right: two RandR monitors side by side, each half of the screen,
#                       the primary one on that side.

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
  xsession_monitors "${geometry%x*}" "${geometry#*x}" "${XSESSION_MONITORS:-one}" || return 1

  if [[ $wm != none ]]; then
    [[ $wm == openbox ]] && wm=${XSESSION_WM:-openbox}
    local command
    case $wm in
      openbox) command=(openbox --sm-disable) ;;
      kwin) command=(env KWIN_COMPOSE=N kwin_x11 --replace) ;;
      mutter) command=(mutter --x11 --replace --sm-disable) ;;
      xfwm4) command=(xfwm4 --replace --compositor=off --sm-client-disable) ;;
      metacity) command=(metacity --replace --sm-disable) ;;
      *)
        echo "unknown window manager: $wm" >&2
        return 1
        ;;
    esac
    if [[ $wm != openbox ]]; then
      # A session bus for the window manager, stopped with the session.
      local bus
      bus=$(dbus-launch --sh-syntax) || return 1
      eval "$bus"
      XSESSION_PIDS+=("$DBUS_SESSION_BUS_PID")
    fi
    "${command[@]}" >"$XSESSION_DIR/wm.log" 2>&1 &
    XSESSION_PIDS+=("$!")
    # The window manager is ready once it has announced itself on the root window.
    local tries
    for ((tries = 0; tries < 2400; tries++)); do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        return 0
      fi
      sleep 0.05
    done
    echo "$wm did not start:" >&2
    cat "$XSESSION_DIR/wm.log" >&2
    return 1
  fi
}

# Splits the screen into the monitors that LAYOUT names (see XSESSION_MONITORS above).
# usage: xsession_monitors WIDTH HEIGHT LAYOUT
xsession_monitors() {
  local width=$1 height=$2 layout=$3 half
  half=$((width / 2))
  local left="$half/0x$height/0+0+0" right="$((width - half))/0x$height/0+$half+0"
  case $layout in
    one) return 0 ;;
    # The monitor that holds the output replaces the screen's own; the primary one holds it.
    primary-left) xrandr --setmonitor '*left' "$left" screen &&
      xrandr --setmonitor right "$right" none ;;
    primary-right) xrandr --setmonitor left "$left" none &&
      xrandr --setmonitor '*right' "$right" screen ;;
    *)
      echo "unknown monitor layout: $layout" >&2
      return 1
      ;;
  esac >/dev/null
}
