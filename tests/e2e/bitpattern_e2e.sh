#!/usr/bin/env bash
# The whole bit pattern on the screen: with 80000000 typed, Text3 shows 32 glyphs, the leading 1
# among them, and its first glyph stands where that of a short pattern stands (a field that
# scrolls its text would move it left and cut it). Runs at the scale in QT_SCALE_FACTOR.
#   bitpattern_e2e.sh TOVREL RECOMPUTE_PRINT WORKDIR    (writes WORKDIR/bitpattern-SCALE.png)
set -euo pipefail
here=$(dirname "$0")
source "$here/xsession.sh"
source "$here/driver.sh"

scale=${QT_SCALE_FACTOR:-1}
driver_start "$1" "$2" "$3/bitpattern-$scale"
shot=$3/bitpattern-$scale.png
read -r -a text3 < <(form_rect Text3)

# Prints "glyphs first last" for Text3 on the screen: the runs of columns inside its frame that
# hold dark pixels, and the first and last of those columns, in device pixels.
text3_glyphs() {
  import -window "$TOVREL_WINDOW" "$shot" || fail "no screenshot"
  convert "$shot" -colorspace Gray -depth 8 pgm:- | python3 -c '
import sys
scale = float(sys.argv[1])
data = sys.stdin.buffer.read()
fields = data.split(maxsplit=4)
width, height, pixels = int(fields[1]), int(fields[2]), fields[4]
# The rectangle of Text3 in logical pixels; its frame and margins take 3 pixels a side.
fx, fy, fw, fh = (int(n) for n in sys.argv[2:6])
left, right = round((fx + 3) * scale), round((fx + fw - 3) * scale)
top, bottom = round((fy + 3) * scale), round((fy + fh - 3) * scale)
dark = [any(pixels[y * width + x] < 100 for y in range(top, bottom)) for x in range(left, right)]
runs = sum(1 for i, d in enumerate(dark) if d and (i == 0 or not dark[i - 1]))
columns = [left + i for i, d in enumerate(dark) if d]
print(runs, columns[0] if columns else -1, columns[-1] if columns else -1, right)
' "$scale" "${text3[@]}"
}

# Waits until Text3 shows GLYPHS glyph runs; prints "glyphs first last right".
await_glyphs() {
  local want=$1 tries seen
  for ((tries = 0; tries < 1000; tries++)); do
    seen=$(text3_glyphs)
    [[ ${seen%% *} == "$want" ]] && break
    sleep 0.1
  done
  echo "$seen"
}

# Reading the fields selects Text3's text; a retyped last digit gives it a fresh, unselected one.
xdotool type --delay 40 "8"
expect_fields "8" "-8" "1000"
xdotool key BackSpace
xdotool type --delay 40 "8"
read -r glyphs short_first _ _ < <(await_glyphs 4)
((glyphs == 4)) || fail "Text3 shows $glyphs glyphs for 1000"

xdotool type --delay 40 "0000000"
expect_fields "80000000" "-80000000" "10000000000000000000000000000000"
xdotool key BackSpace
xdotool type --delay 40 "0"
read -r glyphs first last right < <(await_glyphs 32)
((glyphs == 32)) || fail "Text3 shows $glyphs of the 32 glyphs of 80000000's pattern ($shot)"
((first == short_first)) ||
  fail "the pattern starts at x=$first, a short one at x=$short_first: it is scrolled ($shot)"
((last < right - 1)) || fail "the pattern reaches the field's edge at x=$last ($shot)"
echo "ok: 32 glyphs from x=$first to x=$last (field inside ends at $right), scale $scale"
# close_window clicks where the close button is at scale 1.
[[ $scale == 1 ]] && close_window
exit 0
