#!/usr/bin/env bash
# Tovrel.exe under Wine on Xvfb and openbox at DPI dots per inch: its window's size and place,
# top-most and without a taskbar entry; the walk through the window of ../cases.txt (typing, the key
# filter, pastes, focus return after clicks, Tab order and the read-only fields, Ctrl+H and Alt);
# a screenshot; closing the window.
#   window_e2e.sh TOVREL_EXE READER_EXE WORKDIR DPI [SHOW]  (writes WORKDIR/DPI/screenshot.png)
# SHOW "minimized" starts Tovrel.exe as a shortcut set to "Run: Minimized" does; either way it
# must be on the screen, not iconic. After the screenshot: a paste longer than an edit control's
# default limit, a minimise from another program, the focus after another window was active.
set -euo pipefail
here=$(dirname "$0")
source "$here/../xsession.sh"
source "$here/driver.sh"
source "$here/../cases.sh"

dpi=$4
DRIVER_SHOW=${5:-normal}
driver_start "$1" "$2" "$3" "$dpi"
reader client "$dpi"
client=$READER_REPLY

# Polls the reader's COMMAND until it answers WANTED; the bound is for a state that never comes.
await_reply() {
  local command=$1 wanted=$2 tries
  for ((tries = 0; tries < 1200; tries++)); do
    reader "$command"
    [[ $READER_REPLY == "$wanted" ]] && return 0
    sleep 0.05
  done
  fail "$command answers $READER_REPLY, expected $wanted"
}

echo "the window at $dpi dpi: client area, frame, place, top-most, not iconic, no taskbar entry"
reader window
window=$READER_REPLY
read -r _ left top right bottom _ width height _ topmost _ sizable _ minmax _ owner _ iconic \
  _ visible_left visible_top visible_right visible_bottom _ window_dpi _ monitor_dpi _ system_dpi \
  <<<"$window"
# A screen of $dpi dpi: the system's, the monitor's and so the window's (wineprefix_dpi).
((window_dpi == dpi && monitor_dpi == dpi && system_dpi == dpi)) ||
  fail "dpi of the window $window_dpi, of its monitor $monitor_dpi, of the system $system_dpi; expected $dpi: $window"
[[ "$width $height" == "$client" ]] || fail "client area $width x $height, expected $client: $window"
((topmost == 1 && sizable == 0 && minmax == 0 && owner == 0 && iconic == 0)) || fail "window: $window"
# The frame the user sees is flush with the corner (under Wine it is the outer rectangle).
screen_width=$(xwininfo -root | awk '/Width:/ {print $NF}')
((visible_right == screen_width && visible_top == 0)) ||
  fail "visible frame $visible_left,$visible_top - $visible_right,$visible_bottom is not flush with a $screen_width-wide screen's corner: $window"
# With Wine drawing the frame, the X window is the Win32 window's outer rectangle.
info=$(xwininfo -id "$DRIVER_WINDOW")
x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
w=$(awk '/Width:/ {print $NF}' <<<"$info")
h=$(awk '/Height:/ {print $NF}' <<<"$info")
((x == left && y == top && w == right - left && h == bottom - top)) ||
  fail "X window at $x,$y size $w x $h, the Win32 window is $window"
state=$(xprop -id "$DRIVER_WINDOW" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_ABOVE* && $state == *_NET_WM_STATE_SKIP_TASKBAR* ]] ||
  fail "window-manager state: $state"
expect_focus Text1
# The size is fixed: a resize asked of the window manager changes nothing.
xdotool windowsize "$DRIVER_WINDOW" 500 300
driver_sync
reader window
[[ $READER_REPLY == "$window" ]] || fail "resized: $READER_REPLY, was $window"

run_cases "$here/../cases.txt"

echo "screenshot"
import -window root "$XSESSION_DIR/screen.png"
margin=12
convert "$XSESSION_DIR/screen.png" -crop "$((w + 2 * margin))x$((h + margin))+$((x - margin))+0" \
  +repage "$DRIVER_WORKDIR/screenshot.png"
echo "screenshot: $DRIVER_WORKDIR/screenshot.png"

echo "a paste longer than an edit control's default limit of 30,000 characters reaches Text1 whole"
printf '1%.0s' {1..40000} >"$XSESSION_DIR/long"
claim_clipboard "$XSESSION_DIR/long"
send_keys ctrl+a ctrl+v
fields_long() {
  if ! cmp -s "$1.text1" "$XSESSION_DIR/long"; then
    DRIVER_MISMATCH="Text1 holds $(show "$1.text1"), not the 40,000 pasted characters"
    return 1
  fi
  fields_recomputed "$1"
}
read_until "$XSESSION_DIR/long-read" fields_long
send_keys ctrl+a BackSpace
type_text FF80
expect_fields "FF80" "-80" "1111111110000000" # where the case table ends

echo "ShowWindow(SW_MINIMIZE) from another program: Form1 comes back at its place, top-most"
reader minimize
# On the screen again too: the window manager shows it (Wine tells it after the window's own state).
for ((tries = 0; tries < 1200; tries++)); do
  driver_sync
  xwininfo -id "$DRIVER_WINDOW" | grep -q 'Map State: IsViewable' &&
    xprop -id "$DRIVER_WINDOW" WM_STATE | grep -q 'state: Normal' && break
  sleep 0.05
done
xwininfo -id "$DRIVER_WINDOW" | grep -q 'Map State: IsViewable' || fail "not on the screen after a minimise"
reader window
[[ $READER_REPLY == "$window" ]] || fail "after a minimise: $READER_REPLY, was $window"
state=$(xprop -id "$DRIVER_WINDOW" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_ABOVE* ]] || fail "window-manager state after a minimise: $state"

echo "another window active, then Form1 again by its title bar: typing goes into Text1"
xsession_spawn xmessage -geometry +0+400 -name other other
other=$(timeout 120 xdotool search --sync --onlyvisible --classname '^other$' | head -n 1)
[[ -n $other ]] || fail "the other window did not appear"
xdotool windowactivate --sync "$other"
await_reply active no
# A press on the title bar starts a move that Wine hands to the window manager: the button goes
# up only once the press has been handled, or the window manager would wait for it and move the
# window with the pointer.
reader center caption
read -r x y <<<"$READER_REPLY"
xdotool mousemove "$x" "$y" mousedown 1
await_reply active yes
driver_sync
xdotool mouseup 1
expect_focus Text1
reader window
[[ $READER_REPLY == "$window" ]] || fail "moved by a click on the title bar: $READER_REPLY, was $window"
type_text 1
expect_fields "FF801" = =

close_window
echo "PASS"
