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
#                       mutter, xfwm4 or metacity; or a Wayland session whose compositor runs X
#                       clients through XWayland: kwin-wayland or mutter-wayland (headless, one
#                       virtual monitor of the geometry). WM may also name one of these itself. All
#                       but openbox get a session bus of their own.
#   XSESSION_MONITORS   one (the default): the screen is one monitor; primary-left or
#                       primary-right: two RandR monitors side by side, each half of the screen,
#                       the primary one on that side (X servers of their own only).

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
  [[ $wm == openbox ]] && wm=${XSESSION_WM:-openbox}
  if [[ $wm == *-wayland ]]; then
    xsession_wayland "$geometry" "$wm"
    return
  fi

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
    [[ $wm == openbox ]] || xsession_bus || return 1
    "${command[@]}" >"$XSESSION_DIR/wm.log" 2>&1 &
    XSESSION_PIDS+=("$!")
    xsession_await_wm "$wm"
  fi
}

# A session bus for the window manager, stopped with the session.
xsession_bus() {
  local bus
  bus=$(dbus-launch --sh-syntax) || return 1
  eval "$bus"
  XSESSION_PIDS+=("$DBUS_SESSION_BUS_PID")
}

# Returns once the window manager WM has announced itself on the root window of DISPLAY.
xsession_await_wm() {
  local tries
  for ((tries = 0; tries < 2400; tries++)); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      return 0
    fi
    sleep 0.05
  done
  echo "$1 did not start:" >&2
  cat "$XSESSION_DIR/wm.log" >&2
  return 1
}

# A headless Wayland session of GEOMETRY under compositor WM (kwin-wayland or mutter-wayland),
# with XWayland: the compositor starts a helper that reports the X display it gives its clients.
# Afterwards the session's variables are those of a Wayland desktop's, as the program finds them.
# usage: xsession_wayland GEOMETRY WM
xsession_wayland() {
  local geometry=$1 wm=$2 fifo=$XSESSION_DIR/display
  export XDG_RUNTIME_DIR=$XSESSION_DIR/runtime XDG_SESSION_TYPE=wayland
  export WAYLAND_DISPLAY=tovrel-$$-$RANDOM
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  mkfifo "$fifo"
  xsession_bus || return 1
  # The helper stays (as sleep) until the session stops it.
  local report=$XSESSION_DIR/report.sh command
  printf '%s\n' "echo \"\$\$ \$DISPLAY \${XAUTHORITY:-}\" >$fifo" 'exec sleep infinity' >"$report"
  case $wm in
    kwin-wayland) command=(kwin_wayland --virtual --xwayland --no-lockscreen --socket "$WAYLAND_DISPLAY"
      --width "${geometry%x*}" --height "${geometry#*x}" "sh $report") ;;
    mutter-wayland) command=(mutter --wayland --headless --virtual-monitor "$geometry"
      --wayland-display "$WAYLAND_DISPLAY" -- sh "$report") ;;
    *)
      echo "unknown Wayland compositor: $wm" >&2
      return 1
      ;;
  esac
  "${command[@]}" >"$XSESSION_DIR/wm.log" 2>&1 &
  local compositor=$!
  XSESSION_PIDS+=("$compositor")
  # Opened for writing too, so that the open does not wait for a helper that never comes.
  local helper="" display authority tries fd
  exec {fd}<>"$fifo"
  for ((tries = 0; tries < 120; tries++)); do
    read -r -t 1 -u "$fd" helper display authority && break
    kill -0 "$compositor" 2>/dev/null || break
  done
  exec {fd}<&-
  if [[ -z $helper ]]; then
    echo "$wm did not start XWayland:" >&2
    cat "$XSESSION_DIR/wm.log" >&2
    return 1
  fi
  XSESSION_PIDS+=("$helper")
  export DISPLAY=$display
  [[ -z $authority ]] || export XAUTHORITY=$authority
  xsession_await_wm "$wm"
}

# Prints the client window titled NAME once the window manager manages it (it is in
# _NET_CLIENT_LIST) and it is viewable; fails after two minutes. A search by title alone finds
# other windows too: Mutter's frames carry their client's title.
xsession_client() {
  local name=$1 tries id
  for ((tries = 0; tries < 2400; tries++)); do
    for id in $(xprop -root _NET_CLIENT_LIST 2>/dev/null | sed -nE 's/.*# //p' | tr -d ,); do
      if [[ $(xprop -id "$id" -notype WM_NAME 2>/dev/null) == "WM_NAME = \"$name\"" ]] &&
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.05
  done
  echo "no client titled $name appeared" >&2
  return 1
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
