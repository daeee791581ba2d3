#!/usr/bin/env bash
# The real program under Xvfb and openbox: typing, the key filter, readings read back through the
# clipboard, focus return after clicks, a mouse selection in an output field, a screenshot, and
# closing the window.
#   window_e2e.sh TOVREL RECOMPUTE_PRINT WORKDIR    (writes WORKDIR/screenshot.png)
set -euo pipefail
here=$(dirname "$0")
source "$here/xsession.sh"
source "$here/driver.sh"

driver_start "$1" "$2" "$3/e2e"
out=$3

# The window: its client area, its fixed size and its icon.
info=$(xwininfo -id "$TOVREL_WINDOW")
grep -q 'Width: 288$' <<<"$info" && grep -q 'Height: 95$' <<<"$info" ||
  fail "client area is not 288 x 95: $info"
hints=$(xprop -id "$TOVREL_WINDOW" WM_NORMAL_HINTS _NET_WM_ICON)
grep -q 'minimum size: 288 by 95' <<<"$hints" && grep -q 'maximum size: 288 by 95' <<<"$hints" ||
  fail "the window can be resized: $hints"
grep -q 'Icon (16 x 16)' <<<"$hints" || fail "no 16 x 16 window icon: $(head -c 300 <<<"$hints")"

echo "typing"
expect_fields "" "" ""
xdotool type --delay 40 "8"
expect_fields "8" "-8" "1000"
xdotool type --delay 40 "0"
expect_fields "80" "-80" "10000000"

echo "the key filter with real keys"
xdotool type --delay 40 "g x-Z"
xdotool key Return Escape ctrl+b
expect_fields "80" "-80" "10000000"
xdotool type --delay 40 "aBcDeF1"
expect_fields "80aBcDeF" "-7F543211" "10000000101010111100110111101111"
xdotool key Home Delete Right Right BackSpace
expect_fields "0BcDeF" "0BcDeF" "000010111100110111101111"
xdotool key ctrl+z
expect_fields "0aBcDeF" "0aBcDeF" "0000101010111100110111101111"

echo "focus return"
click_at 140 75 # Text3
xdotool type --delay 40 "7"
expect_fields "0aBcDeF7" "0aBcDeF7" "00001010101111001101111011110111"
click_at 200 27 # Text2
xdotool key BackSpace BackSpace
expect_fields "0aBcDe" "0aBcDe" "000010101011110011011110"
# A mouse selection in Text3 reaches the primary selection before the focus goes back.
xdotool mousemove --window "$TOVREL_WINDOW" 10 75 mousedown 1 \
  mousemove --window "$TOVREL_WINDOW" 150 75 mousemove --window "$TOVREL_WINDOW" 278 75 mouseup 1
primary=$(timeout 10 xclip -o -selection primary) || fail "no primary selection"
[[ $primary == 000010101011110011011110 ]] || fail "primary selection holds \"$primary\""
xdotool key ctrl+a BackSpace
expect_fields "" "" ""

echo "paste through the context menu is not filtered"
printf 'xyz' >"$XSESSION_DIR/paste"
claim_clipboard "$XSESSION_DIR/paste"
click_at 60 27 3                     # right click into Text1 opens its menu
sleep 0.5
xdotool key p                          # its "&Paste" entry
read_fields "$XSESSION_DIR/menu"
[[ $(cat "$XSESSION_DIR/menu.text1") == xyz ]] || fail "context menu paste gave \"$(cat "$XSESSION_DIR/menu.text1")\""
expect_recomputed "$XSESSION_DIR/menu"

echo "screenshot"
xdotool key ctrl+a BackSpace
xdotool type --delay 40 "FF80"
expect_fields "FF80" "-80" "1111111110000000"
# The window with its frame and a margin of 12 pixels of the screen around it.
read -r x y < <(xwininfo -id "$TOVREL_WINDOW" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
read -r fl fr ft fb < <(xprop -id "$TOVREL_WINDOW" _NET_FRAME_EXTENTS | tr -d , | awk '{print $3, $4, $5, $6}')
left=$((x - fl - 12 > 0 ? x - fl - 12 : 0))
top=$((y - ft - 12 > 0 ? y - ft - 12 : 0))
import -window root "$XSESSION_DIR/screen.png"
convert "$XSESSION_DIR/screen.png" -crop "$((fl + 288 + fr + 24))x$((ft + 95 + fb + 24))+$left+$top" \
  +repage "$out/screenshot.png"
echo "screenshot: $out/screenshot.png"

close_window
echo "PASS"
