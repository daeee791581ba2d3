#!/usr/bin/env bash
# The real program under Xvfb and openbox: the walk through the window of cases.txt (typing, the
# key filter, pastes, focus return after clicks, Tab order, Ctrl+H and Alt) and what only the Qt
# window has to show: its fixed size and icon, a mouse selection in an output field reaching the
# primary selection, a screenshot, and closing the window.
#   window_e2e.sh TOVREL RECOMPUTE_PRINT WORKDIR    (writes WORKDIR/screenshot.png)
set -euo pipefail
here=$(dirname "$0")
source "$here/xsession.sh"
source "$here/driver.sh"
source "$here/cases.sh"

driver_start "$1" "$2" "$3/e2e"
out=$3

# The window: its client area, its fixed size and its icon.
read -r cw ch < <(form_rect client)
info=$(xwininfo -id "$TOVREL_WINDOW")
grep -q "Width: $cw\$" <<<"$info" && grep -q "Height: $ch\$" <<<"$info" ||
  fail "client area is not $cw x $ch: $info"
hints=$(xprop -id "$TOVREL_WINDOW" WM_NORMAL_HINTS _NET_WM_ICON)
grep -q "minimum size: $cw by $ch" <<<"$hints" && grep -q "maximum size: $cw by $ch" <<<"$hints" ||
  fail "the window can be resized: $hints"
grep -q 'Icon (16 x 16)' <<<"$hints" || fail "no 16 x 16 window icon: $(head -c 300 <<<"$hints")"

run_cases "$here/cases.txt"

echo "screenshot"
# The table ends with FF80 typed. The window with its frame and a margin of 12 pixels of the
# screen around it.
read -r x y < <(xwininfo -id "$TOVREL_WINDOW" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
read -r fl fr ft fb < <(xprop -id "$TOVREL_WINDOW" _NET_FRAME_EXTENTS | tr -d , | awk '{print $3, $4, $5, $6}')
left=$((x - fl - 12 > 0 ? x - fl - 12 : 0))
top=$((y - ft - 12 > 0 ? y - ft - 12 : 0))
import -window root "$XSESSION_DIR/screen.png"
convert "$XSESSION_DIR/screen.png" -crop "$((fl + cw + fr + 24))x$((ft + ch + fb + 24))+$left+$top" \
  +repage "$out/screenshot.png"
echo "screenshot: $out/screenshot.png"

echo "a mouse selection in Text2 or Text3 reaches the primary selection before the focus goes back"
# The copies that read the fields back left a reading there: another text takes its place first.
printf 'not a reading' >"$XSESSION_DIR/other"
for selection in "Text2 -80" "Text3 1111111110000000"; do
  read -r name reading <<<"$selection"
  driver_sync # done with the keys before: a select-all of its own takes the primary selection
  claim_clipboard "$XSESSION_DIR/other" primary
  helper=$("$DRIVER_WMPING" --owner PRIMARY)
  # A drag along the middle of the field from just inside its left border to just inside its right.
  read -r left top width height < <(form_rect "$name")
  y=$((top + height / 2))
  xdotool mousemove --window "$TOVREL_WINDOW" "$((left + 2))" "$y" mousedown 1 \
    mousemove --window "$TOVREL_WINDOW" "$((left + width / 2))" "$y" \
    mousemove --window "$TOVREL_WINDOW" "$((left + width - 3))" "$y" mouseup 1
  # tovrel takes the selection over when it handles the button's release; until then the helper
  # serves the other text. The bound is for a program that never takes it.
  for ((tries = 0; tries < 2400; tries++)); do
    [[ $("$DRIVER_WMPING" --owner PRIMARY) != "$helper" ]] && break
    alive
    sleep 0.05
  done
  primary=$(timeout 120 xclip -o -selection primary) || fail "no primary selection"
  [[ $primary == "$reading" ]] ||
    fail "$name: the primary selection holds \"$primary\", not \"$reading\""
done
expect_fields "FF80" "-80" "1111111110000000"

close_window
echo "PASS"
