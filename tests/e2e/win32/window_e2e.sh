#!/usr/bin/env bash
# Tovrel.exe under Wine on Xvfb and openbox at DPI dots per inch: its window's size and place,
# top-most and without a taskbar entry; the walk through the window of ../cases.txt (typing, the key
# filter, pastes, focus return after clicks, Tab order and the read-only fields, Ctrl+H and Alt);
# a screenshot; closing the window.
#   window_e2e.sh TOVREL_EXE READER_EXE WORKDIR DPI    (writes WORKDIR/DPI/screenshot.png)
set -euo pipefail
here=$(dirname "$0")
source "$here/../xsession.sh"
source "$here/driver.sh"
source "$here/../cases.sh"

dpi=$4
driver_start "$1" "$2" "$3" "$dpi"
reader client "$dpi"
client=$READER_REPLY

echo "the window at $dpi dpi: client area, frame, place, top-most, no taskbar entry"
reader window
window=$READER_REPLY
read -r _ left top right bottom _ width height _ topmost _ sizable _ minmax _ owner <<<"$window"
[[ "$width $height" == "$client" ]] || fail "client area $width x $height, expected $client: $window"
((topmost == 1 && sizable == 0 && minmax == 0 && owner == 0)) || fail "window: $window"
screen_width=$(xwininfo -root | awk '/Width:/ {print $NF}')
((right == screen_width && top == 0)) ||
  fail "outer rectangle $left,$top - $right,$bottom is not flush with a $screen_width-wide screen's corner"
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

close_window
echo "PASS"
