#!/usr/bin/env bash
# A stress run through the real window: thousands of random keys (digits, letters, editing keys,
# shortcuts, keys of other scripts), then pastes of 1 MiB of junk and of digits, by Ctrl+V, by
# Shift+Insert and by the middle button. After each part the program must still run and answer, and
# Text2 and Text3 must hold exactly what Recompute makes of Text1's text.
#   window_stress.sh TOVREL RECOMPUTE_PRINT WORKDIR     (TOVREL_STRESS_SEED picks the keys)
set -euo pipefail
here=$(dirname "$0")
source "$here/xsession.sh"
source "$here/driver.sh"

seed=${TOVREL_STRESS_SEED:-20260}
keys_total=${TOVREL_STRESS_KEYS:-3000}
driver_start "$1" "$2" "$3/stress"
work=$XSESSION_DIR
echo "seed $seed, $keys_total random keys"
RANDOM=$seed

# The keys, weighted: hex digits and Backspace often, everything else now and then. No Tab (the
# focus would leave Text1), no Alt (window-manager bindings), no Menu key.
pool=(0 1 2 3 4 5 6 7 8 9 a b c d e f A B C D E F
  0 1 2 3 4 5 6 7 8 9 a b c d e f
  BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace Delete Delete
  g h x z G Z space minus period Return Escape KP_1 KP_Add
  Left Right Home End shift+Left shift+Home shift+End
  ctrl+a ctrl+c ctrl+x ctrl+v ctrl+z ctrl+shift+z ctrl+y ctrl+b ctrl+k ctrl+Insert
  shift+Insert shift+Delete ctrl+BackSpace ctrl+Delete ctrl+Left
  udiaeresis yen EuroSign kana_A Greek_alpha dead_acute)

# Keys of other scripts get keycodes of their own once, up front: left to xdotool, which binds a
# spare keycode for each such key and unbinds it again, thousands of rebindings leave openbox
# without its key and button bindings.
exotic=(udiaeresis yen EuroSign kana_A Greek_alpha)
read -r -a spare < <(xmodmap -pke | awk 'NF == 3 && $2 > 200 {printf "%s ", $2} END {print ""}')
((${#spare[@]} >= ${#exotic[@]})) || fail "no spare keycodes for ${exotic[*]}"
for i in "${!exotic[@]}"; do xmodmap -e "keycode ${spare[i]} = ${exotic[i]}"; done

# Random typing, in chunks; the program must be alive after each.
random_keys() {
  local count=$1 chunk=() i
  for ((i = 0; i < count; i++)); do
    chunk+=("${pool[RANDOM % ${#pool[@]}]}")
    if ((${#chunk[@]} == 250 || i == count - 1)); then
      xdotool key --delay 4 "${chunk[@]}"
      chunk=()
      alive
    fi
  done
}

# Reads the fields back, checks the outputs against Recompute, and reports how long the round trip
# took (the program answers only once it has handled everything typed before).
# With FILE, Text1 must hold FILE's text.
check() {
  local name=$1 file=${2:-} started finished
  started=$(date +%s%N)
  read_until "$work/$name" consistent "$file"
  finished=$(date +%s%N)
  printf '%-28s Text1 %8d bytes, Text2 %s, Text3 %d bytes; read back in %d ms\n' "$name" \
    "$(stat -c %s "$work/$name.text1")" "$(show "$work/$name.text2")" \
    "$(stat -c %s "$work/$name.text3")" $(((finished - started) / 1000000))
}

consistent() {
  local prefix=$1 file=$2
  if [[ -n $file ]] && ! cmp -s "$file" "$prefix.text1"; then
    DRIVER_MISMATCH="Text1 holds $(show "$prefix.text1") instead of the $(stat -c %s "$file") bytes pasted"
    return 1
  fi
  fields_recomputed "$prefix"
}

# Pastes FILE by KEY (ctrl+v, shift+Insert) after the keys in SETUP, from the clipboard.
paste_file() {
  local file=$1 key=$2
  shift 2
  driver_sync # done with the keys of the last read, before the helper takes the clipboard
  claim_clipboard "$file"
  if (($# > 0)); then xdotool key "$@"; fi
  xdotool key "$key"
}

# 1 MiB texts: printable junk with non-ASCII, control and non-BMP characters mixed in, and digits.
megabyte=1048576
set +o pipefail # the generators end by a broken pipe when `head` has enough
{
  head -c 600000 /dev/urandom | base64 -w 0 | head -c 524288
  for ((i = 0; i < 2048; i++)); do printf '０ｇ€😀\t\x01 -xyz'; done
  head -c 600000 /dev/urandom | base64 -w 0
} | head -c $megabyte >"$work/junk"
# Cut at a character boundary: the last few bytes may be half a character.
iconv -c -f UTF-8 -t UTF-8 "$work/junk" >"$work/junk.clean" 2>/dev/null || true
mv "$work/junk.clean" "$work/junk"
head -c $((megabyte / 2)) /dev/urandom | od -An -v -tx1 | tr -d ' \n' | head -c $megabyte \
  >"$work/hexdigits"
yes 0123456789 | tr -d '\n' | head -c $megabyte >"$work/digits"
set -o pipefail

started=$(date +%s)
random_keys "$keys_total"
check "random keys"

paste_file "$work/junk" ctrl+v ctrl+a
check "1 MiB junk, Ctrl+V" "$work/junk"
random_keys 40
check "junk, then 40 keys"

paste_file "$work/hexdigits" shift+Insert ctrl+a
check "1 MiB hex digits, Shift+Ins" "$work/hexdigits"
paste_file "$work/digits" ctrl+v End
cat "$work/hexdigits" "$work/digits" >"$work/appended"
check "1 MiB more digits, appended" "$work/appended"

xdotool key ctrl+a BackSpace
xdotool type --delay 20 "12345678"
# Text1's own select-all takes the primary selection; only once tovrel has handled all keys before
# may the helper take it.
check "eight digits typed"
driver_sync
claim_clipboard "$work/junk" primary
click_field 1 2 # middle button into Text1
check "junk by the middle button"

random_keys 200
check "200 keys more"
echo "stress run took $(($(date +%s) - started)) s"

close_window
echo "PASS"
