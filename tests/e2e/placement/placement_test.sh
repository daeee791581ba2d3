#!/usr/bin/env bash
# End-to-end checks of the window's start-up on a real X server, with the real program:
#
#   placement_test.sh PROGRAM ROOTLOG corner WIDTHxHEIGHT WM|none|silent|untold [SCALE]
#       the frame's place and size when the window is first mapped, and no move afterwards; the
#       client's size, and size hints that admit that size alone. silent: no window manager, but
#       the root window says one answers frame requests; untold: openbox, which does not say that
#       it answers them
#   placement_test.sh PROGRAM ROOTLOG hints [WM]
#       what the window asks of the window manager (xprop): above, no taskbar entry, fixed size,
#       no minimise or maximise, title
#   placement_test.sh PROGRAM ROOTLOG above [WM]
#       another window, activated over it, still stays below it
#   placement_test.sh PROGRAM ROOTLOG focus [WM]
#       the window is active when it appears, so typing goes to it at once
#   placement_test.sh PROGRAM ROOTLOG minimise [WM] [here|all-desktops|other-desktop]
#       a request to iconify the window (what a minimise button sends): it is shown again at once,
#       with the same frame, still above and active; likewise for a window on all desktops. With
#       other-desktop, a switch to another desktop instead: the window stays hidden and the other
#       desktop shown (a window manager that marks the hidden window iconic must not see it come
#       back), and it is shown again with its own desktop
#
# WM is a window manager that xsession_start knows (openbox by default). The test names the
# programs form_print and wmping in FORM_PRINT and WMPING.
set -euo pipefail

program=$1 rootlog=$2 check=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../xsession.sh
source "$here/../xsession.sh"

fail() {
  echo "FAIL: $*" >&2
  if [[ -n ${log:-} && -f $log ]]; then
    echo "--- root window events:" >&2
    cat "$log" >&2
  fi
  exit 1
}

# Form1's client area in logical pixels, from the shared description (form_print, named by the
# test in FORM_PRINT).
geometry=$("${FORM_PRINT:?the test names form_print in FORM_PRINT}")
read -r _ client_w client_h < <(grep '^client ' <<<"$geometry")

# Starts the logger, then the program; sets started (clock before the start), pid, and map (the
# first map line of the program's window).
start_program() {
  log=$XSESSION_DIR/rootlog.txt
  xsession_spawn "$rootlog" >"$log"
  local tries
  # The bounds below are for a hung run only (two minutes); a passing run never waits them out.
  for ((tries = 0; tries < 6000; tries++)); do
    grep -q '^ready' "$log" && break
    sleep 0.02
  done
  started=$("$rootlog" --now)
  xsession_spawn "$program"
  pid=$!
  for ((tries = 0; tries < 6000; tries++)); do
    map=$(grep -m1 " map .* pid=$pid " "$log" || true)
    [[ -n $map ]] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended before its window was mapped"
    sleep 0.02
  done
  fail "no window of the program was mapped within two minutes"
}

field() { # field NAME LINE -> the value of NAME=... in a log line
  local name=$1 line=$2
  sed -E "s/.* $name=([^ ]+).*/\1/" <<<"$line"
}

client_id() { field client "$map"; }

# Runs COMMAND until it succeeds; fails with DESCRIPTION and the last $why if it never does. The
# bound is for a hung run only (two minutes).
wait_for() {
  local description=$1 deadline=$((SECONDS + 120))
  shift
  why=
  while ((SECONDS < deadline)); do
    "$@" && return 0
    sleep 0.02
  done
  fail "$description: ${why:-never}"
}

# xdotool's answer to QUERY... stands in relation OPERATOR (test's) to VALUE; asked anew on each call.
# usage: answers OPERATOR VALUE QUERY...
answers() {
  local operator=$1 value=$2 answer
  shift 2
  answer=$(xdotool "$@" 2>/dev/null) || true # -1 (all desktops) comes with a failure status
  why="xdotool $* answers '$answer'"
  [[ -n $answer ]] && test "$answer" "$operator" "$value" 2>/dev/null
}

# Returns once the program that owns window ID and the window manager have handled everything
# sent before: the program answers pings (wmping), and a window manager then answers a configure
# request for the client's present size with a configure notify, in turn after every request
# before it (the program's own included).
settle() {
  local id=$1 answered size
  "${WMPING:?the test names wmping in WMPING}" "$id" 120 || fail "the program did not answer"
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || return 0
  answered=$(wc -l <"$log")
  size=$(xwininfo -id "$id" | sed -nE 's/^ *(Width|Height): ([0-9]+)$/\2/p' | paste -sd ' ')
  # shellcheck disable=SC2086 # width and height
  xdotool windowsize "$id" $size
  wait_for "no answer to a configure request of $id" logged_since "$answered" \
    " client-configure win=$id "
}

# The size hints of window ID admit its size W x H and no other: minimum = maximum = W x H, and a
# resize increment, if there is one, that W x H fits (base + a multiple of it, the minimum standing
# in for a missing base).
check_size_hints() {
  local id=$1 w=$2 h=$3 hints
  hints=$(xprop -id "$id" WM_NORMAL_HINTS)
  size_hint() { sed -nE "s/.*program specified $1: (-?[0-9]+) by (-?[0-9]+).*/\1 \2/p" <<<"$hints"; }
  local min max increment base
  min=$(size_hint 'minimum size') max=$(size_hint 'maximum size')
  [[ $min == "$w $h" && $max == "$w $h" ]] ||
    fail "size hints min '$min', max '$max', expected both $w $h"
  increment=$(size_hint 'resize increment')
  [[ -n $increment ]] || return 0
  base=$(size_hint 'base size')
  local iw ih bw bh
  read -r iw ih <<<"$increment"
  read -r bw bh <<<"${base:-$min}"
  fits() { # fits SIZE BASE INCREMENT
    (($3 <= 1)) || (($1 >= $2 && ($1 - $2) % $3 == 0))
  }
  if ! { fits "$w" "$bw" "$iw" && fits "$h" "$bh" "$ih"; }; then
    fail "size hints: increment $increment on base ${base:-none} admit no ${w}x$h"
  fi
}

check_corner() {
  local geometry=$1 wm=$2 scale=${3:-1}
  local screen_w=${geometry%x*}
  if [[ $wm == silent ]]; then
    # No window manager, but the root window claims one that answers frame requests: the
    # program's wait for the answer must stay short, and the window still lands in the corner.
    xsession_start "$geometry" none
    xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED _NET_REQUEST_FRAME_EXTENTS
  elif [[ $wm == untold ]]; then
    # A window manager that frames the window but does not offer to tell the frame before the
    # map, as KWin: the program must have it place the frame by its corner.
    xsession_start "$geometry" openbox
    local offered
    offered=$(xprop -root _NET_SUPPORTED | sed -E 's/.*= //; s/ //g; s/(^|,)_NET_REQUEST_FRAME_EXTENTS//')
    xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED "${offered#,}"
    xprop -root _NET_SUPPORTED | grep -q _NET_REQUEST_FRAME_EXTENTS && fail "the request is still offered"
    wm=openbox
  else
    xsession_start "$geometry" "$wm"
  fi
  if [[ $scale != 1 ]]; then
    export QT_SCALE_FACTOR=$scale
  fi
  # The corner is the primary monitor's (RandR), where the screen is split into monitors.
  local primary mon_x=0 mon_y=0
  primary=$(xrandr --listmonitors | sed -nE 's|^ *[0-9]+: \+?\*[^ ]+ ([0-9]+)/[0-9]+x[0-9]+/[0-9]+\+([0-9]+)\+([0-9]+).*|\1 \2 \3|p')
  [[ -n $primary ]] && read -r screen_w mon_x mon_y <<<"$primary"
  screen_w=$((mon_x + screen_w))
  start_program
  local elapsed=$((($(cut -d' ' -f1 <<<"$map") - started) / 1000))
  echo "first map after $elapsed ms: $map"

  local x y w h frame
  x=$(field x "$map") y=$(field y "$map") w=$(field w "$map") h=$(field h "$map")
  frame=$(field win "$map")

  # The client area's logical pixels, rounded to device pixels at the scale.
  local cw ch
  cw=$(awk -v n="$client_w" -v s="$scale" 'BEGIN { printf "%d", n * s + 0.5 }')
  ch=$(awk -v n="$client_h" -v s="$scale" 'BEGIN { printf "%d", n * s + 0.5 }')
  # The window manager that runs: "openbox" stands for the session's own (xsession.sh).
  local running=$wm
  [[ $wm == openbox ]] && running=${XSESSION_WM:-openbox}
  if [[ $running != openbox && $running != none && $wm != silent ]]; then
    check_visible_frame "$cw" "$ch" "$screen_w" "$mon_x" "$mon_y"
    return
  fi
  local left=0 right=0 top=0 bottom=0
  if [[ $wm != none && $wm != silent ]]; then
    local extents
    extents=$(xprop -id "$(client_id)" _NET_FRAME_EXTENTS | sed -E 's/.*= //; s/,//g')
    read -r left right top bottom <<<"$extents" || fail "no frame extents: $extents"
  fi
  if [[ $wm == silent ]]; then
    # The program asked for its frame's size and waited a bounded time for the answer that never
    # comes: its own bound is a small part of the second allowed here, a wait for the answer (or
    # of seconds) is not.
    local request waited
    request=$(grep -m1 " frame-request .* pid=$pid " "$log") || fail "no request for the frame's size"
    waited=$((($(cut -d' ' -f1 <<<"$map") - $(cut -d' ' -f1 <<<"$request")) / 1000))
    ((waited < 1000)) || fail "the window was mapped $waited ms after its request for the frame's size"
    echo "mapped $waited ms after the request for the frame's size"
  fi
  local want_w=$((left + cw + right)) want_h=$((top + ch + bottom))
  ((w == want_w && h == want_h)) || fail "frame ${w}x$h at first map, expected ${want_w}x$want_h"
  ((y == mon_y)) || fail "frame top at $y at first map, expected $mon_y"
  # Flush at every scale, fractional ones included: not one device pixel off.
  local off=$((x + w - screen_w))
  ((off == 0)) || fail "frame's right edge at $((x + w)), the primary monitor's at $screen_w"
  if ((screen_w - mon_x < w)); then
    ((x < mon_x)) || fail "a frame wider than the monitor must start left of it, not at $x"
  fi

  # No move afterwards: every later change of the frame keeps its place, once the program and the
  # window manager have handled what the map brought.
  settle "$(client_id)"
  local later
  later=$(sed -n "/ map win=$frame /,\$p" "$log" | grep " win=$frame " |
    grep -v -E " x=$x y=$y " || true)
  [[ -z $later ]] || fail "the frame moved after its first map: $later"
  # The client's own size, as the window manager left it: a size that the hints' increments do
  # not admit is rounded by some window managers.
  local client
  client=$(xwininfo -id "$(client_id)" | sed -nE 's/^ *(Width|Height): ([0-9]+)$/\2/p' | paste -sd x)
  [[ $client == "${cw}x$ch" ]] || fail "client ${client}, expected ${cw}x$ch"
  check_size_hints "$(client_id)" "$cw" "$ch"
  echo "ok: frame ${w}x$h at ($x,$y) on a $geometry screen, scale $scale, edge off by $off"
}

# The frame as the user sees it, under a window manager whose frame window holds more than the
# visible frame (invisible borders, shadows) or whose frame is sized after its first map: the
# client's place on the screen less the frame extents the window manager publishes. It must sit in
# the corner, and the client must not move afterwards.
# usage: check_visible_frame CLIENT_W CLIENT_H RIGHT_EDGE MONITOR_X MONITOR_Y
check_visible_frame() {
  local cw=$1 ch=$2 right_edge=$3 mon_x=$4 mon_y=$5 id tries extents="" left right top bottom
  id=$(client_id)
  for ((tries = 0; tries < 6000; tries++)); do
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -nE 's/.*= //p' | tr -d ,)
    [[ -n $extents ]] && break
    sleep 0.02
  done
  read -r left right top bottom <<<"$extents" || fail "no frame extents on $id"
  # Some window managers (KWin 5) publish the extents before they have placed the frame.
  settle "$id"
  client_place() {
    xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
      /^  Width:/ {w = $NF} /^  Height:/ {h = $NF} END {print x, y, w, h}'
  }
  local cx cy w h place
  place=$(client_place)
  read -r cx cy w h <<<"$place"
  ((w == cw && h == ch)) || fail "client ${w}x$h, expected ${cw}x$ch"
  local outer_x=$((cx - left)) outer_y=$((cy - top)) outer_w=$((left + cw + right))
  ((outer_y == mon_y)) || fail "frame top at $outer_y, expected $mon_y (extents $extents)"
  ((outer_x + outer_w == right_edge)) ||
    fail "frame's right edge at $((outer_x + outer_w)), the primary monitor's at $right_edge (extents $extents)"
  settle "$id"
  [[ $(client_place) == "$place" ]] || fail "the client moved from $place to $(client_place)"
  echo "ok: frame $outer_w x $((top + ch + bottom)) at ($outer_x,$outer_y), extents $extents"
}

check_hints() {
  xsession_start 1280x800 "${1:-openbox}"
  start_program
  local id props
  id=$(client_id)
  props=$(xprop -id "$id")
  grep -E '^_NET_WM_STATE\(ATOM\)' <<<"$props" | grep -q _NET_WM_STATE_ABOVE ||
    fail "_NET_WM_STATE lacks ABOVE: $(grep _NET_WM_STATE <<<"$props")"
  grep -E '^_NET_WM_STATE\(ATOM\)' <<<"$props" | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
    fail "_NET_WM_STATE lacks SKIP_TASKBAR: $(grep _NET_WM_STATE <<<"$props")"
  check_size_hints "$id" "$client_w" "$client_h"
  # Motif hints: flags, functions, decorations, ... Functions 8/16 and decorations 32/64 are
  # minimise and maximise; bit 1 of either means "all but the listed ones".
  local motif flags functions decorations
  motif=$(sed -nE 's/^_MOTIF_WM_HINTS\([^)]*\) = //p' <<<"$props" | tr -d ' ')
  IFS=, read -r flags functions decorations _ <<<"$motif"
  [[ -n $flags ]] || fail "no _MOTIF_WM_HINTS"
  if ((flags & 1)); then
    ((!(functions & 1) && !(functions & 24))) || fail "Motif functions $functions allow min/max"
  fi
  if ((flags & 2)); then
    ((!(decorations & 1) && !(decorations & 96))) || fail "Motif decorations $decorations show min/max"
  fi
  ((flags & 3)) || fail "Motif hints $motif restrict nothing"
  grep -q '^_NET_WM_NAME(UTF8_STRING) = "Tovrel"$' <<<"$props" ||
    fail "title: $(grep -E '^(_NET_)?WM_NAME' <<<"$props")"
  grep -q '^WM_NAME(.*) = "Tovrel"$' <<<"$props" || fail "WM_NAME: $(grep -E '^WM_NAME' <<<"$props")"
  echo "ok: above, skip taskbar, size hints ${client_w}x$client_h alone, Motif $motif, title Tovrel"
}

check_above() {
  xsession_start 1280x800 "${1:-openbox}"
  start_program
  local id other
  id=$(client_id)
  # An ordinary window over the same corner, started later and activated.
  xsession_spawn xterm -geometry 60x10-0+0 -title other
  other=$(xsession_client other) || fail "the other window did not appear"
  local tries
  # Activated as a user does, by a click on the part that Form1 does not cover (its bottom-left
  # corner): some window managers refuse a program's request to activate another one. The click
  # is repeated each second until it takes, for a window manager still busy with the new window.
  local other_h active stacking
  other_h=$(xwininfo -id "$other" | awk '/^  Height:/ {print $NF}')
  for ((tries = 0; tries < 6000; tries++)); do
    if ((tries % 50 == 0)); then
      xdotool windowactivate "$other" >/dev/null 2>&1 || true
      xdotool mousemove --window "$other" 4 "$((other_h - 4))" click 1
    fi
    # Some window managers (xfwm4) append a second item: "0x..., 0x0".
    active=$(xprop -root _NET_ACTIVE_WINDOW | sed -E 's/.*# //; s/,.*//')
    ((active == other)) && break
    sleep 0.02
  done
  ((active == other)) || fail "the other window ($other) is not active ($active)"
  xdotool windowraise "$other"
  # Bottom to top: Form1 must come after the other window.
  stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed -E 's/.*# //; s/,//g')
  local position=0 mine=-1 theirs=-1 w
  for w in $stacking; do
    ((w == id)) && mine=$position
    ((w == other)) && theirs=$position
    position=$((position + 1))
  done
  ((mine >= 0 && theirs >= 0)) || fail "stacking list $stacking lacks a window"
  ((mine > theirs)) || fail "the other window is above Form1: $stacking"
  echo "ok: the active other window stays below Form1 ($stacking)"
}

check_focus() {
  xsession_start 1280x800 "${1:-openbox}"
  start_program
  local id active focus tries
  id=$(client_id)
  for ((tries = 0; tries < 6000; tries++)); do
    active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -nE 's/.*# (0x[0-9a-f]+).*/\1/p')
    [[ -n $active ]] && ((active == id)) && break
    sleep 0.02
  done
  [[ -n $active ]] && ((active == id)) || fail "Form1 ($id) is not the active window (${active:-none})"
  focus=$(xdotool getwindowfocus)
  ((focus == id)) || fail "the keyboard focus is in window $focus, not in Form1 ($id)"
  echo "ok: Form1 is active and has the keyboard focus when it appears"
}

# The state of window ID in frame FRAME as the window manager shows it, one line: map state, ICCCM
# state, frame geometry, EWMH states, active window and keyboard focus (both as numbers).
window_state() {
  local id=$1 frame=$2
  local map_state wm_state geometry net_state active focus
  map_state=$(xwininfo -id "$id" | sed -nE 's/.*Map State: (\w+).*/\1/p')
  wm_state=$(xprop -id "$id" WM_STATE | sed -nE 's/.*window state: (\w+).*/\1/p')
  geometry=$(xwininfo -id "$frame" | sed -nE 's/^ *(Absolute upper-left [XY]|Width|Height): +(-?[0-9]+)$/\2/p' |
    paste -sd ,)
  net_state=$(xprop -id "$id" _NET_WM_STATE | sed -E 's/.*= //; s/ //g')
  active=$(xprop -root _NET_ACTIVE_WINDOW | sed -nE 's/.*# (0x[0-9a-f]+).*/\1/p')
  focus=$(xdotool getwindowfocus 2>/dev/null || echo 0)
  echo "$map_state ${wm_state:-none} frame=$geometry states=${net_state} active=$((${active:-0})) focus=$focus"
}

# Window ID in FRAME is shown, in the normal state, above, not hidden, active and focused, and its
# frame has GEOMETRY if one is given; sets why to what is not so.
shown_as() {
  local id=$1 frame=$2 geometry=${3:-} state
  state=$(window_state "$id" "$frame")
  why=$state
  [[ $state == "IsViewable Normal "* && $state == *states=*_NET_WM_STATE_ABOVE* &&
    $state != *_NET_WM_STATE_HIDDEN* && $state == *" active=$((id)) focus=$((id))" ]] || return 1
  [[ -z $geometry || $state == *" frame=$geometry "* ]]
}

# The log has a line with TEXT after line LINE.
logged_since() {
  local line=$1 text=$2
  why="nothing logged like '$text'"
  tail -n +$((line + 1)) "$log" | grep -q -- "$text"
}

# Desktop DESKTOP is shown and window ID in FRAME is hidden: not viewable, or iconic (a compositing
# window manager may leave a hidden window mapped).
hidden_on_desktop() {
  local id=$1 desktop=$2 frame=$3 state shown
  state=$(window_state "$id" "$frame")
  shown=$(xdotool get_desktop)
  why="desktop $shown shown: $state"
  [[ $shown == "$desktop" && $state != "IsViewable Normal "* ]]
}

check_minimise() {
  local wm=${1:-openbox} where=${2:-here}
  [[ $wm != none ]] || fail "only a window manager iconifies a window"
  xsession_start 1280x800 "$wm"
  start_program
  local id frame geometry
  id=$(client_id) frame=$(field win "$map")
  # Settled first: shown and active, as when the user clicks a minimise button on it.
  wait_for "Form1 not shown and active after its start" shown_as "$id" "$frame"
  geometry=$(window_state "$id" "$frame" | sed -nE 's/.* frame=([^ ]+) .*/\1/p')

  if [[ $where == other-desktop ]]; then
    xdotool set_num_desktops 2
    wait_for "the window manager keeps one desktop" answers -ge 2 get_num_desktops
    xdotool set_desktop_for_window "$id" 0
    xdotool set_desktop 0
    wait_for "Form1 not shown on desktop 0" shown_as "$id" "$frame"
    xdotool set_desktop 1
    wait_for "Form1 not hidden with desktop 0" hidden_on_desktop "$id" 1 "$frame"
    settle "$id"
    hidden_on_desktop "$id" 1 "$frame" || fail "Form1 came back on another desktop: $why"
    xdotool set_desktop 0
    xdotool windowactivate "$id"
    wait_for "Form1 not shown again with its desktop" shown_as "$id" "$frame" "$geometry"
    echo "ok: hidden with its desktop and shown with it again: $(window_state "$id" "$frame")"
    return
  fi
  if [[ $where == all-desktops ]]; then
    xdotool set_desktop_for_window "$id" -1
    wait_for "Form1 not on all desktops" answers = -1 get_desktop_for_window "$id"
  fi

  local before
  before=$(wc -l <"$log")
  # ICCCM's request to iconify (WM_CHANGE_STATE), as a minimise button, a window menu or a
  # shortcut sends it; once settled, the window manager has handled it.
  xdotool windowminimize "$id"
  settle "$id"
  # A window manager that keeps to the window's lack of a minimise does not hide it at all; one
  # that hides it unmaps the client (it may be back before any poll).
  local what="not hidden: the window manager refused"
  logged_since "$before" " unmap .* client=$id " && what="hidden and back"
  wait_for "Form1 did not come back as it was (frame=$geometry)" shown_as "$id" "$frame" "$geometry"
  echo "ok: minimise requested ($where), $what: $(window_state "$id" "$frame")"
}

case $check in
  corner) check_corner "${@:4}" ;;
  hints) check_hints "${@:4}" ;;
  above) check_above "${@:4}" ;;
  focus) check_focus "${@:4}" ;;
  minimise) check_minimise "${@:4}" ;;
  *) fail "unknown check $check" ;;
esac
