# What every end-to-end driver shares: failing with a screenshot, sending input with xdotool (Wine's
# windows are X windows too), serving the clipboard, and comparing the fields read back. Sourced by
# each driver (see cases.txt for what a driver provides); the functions it calls from the driver
# are driver_sync and read_fields.

DRIVER_CLIP_PID=
DRIVER_PRIMARY_PID=

fail() {
  echo "FAIL: $*" >&2
  if [[ -n ${DRIVER_WORKDIR:-} && -n ${DISPLAY:-} ]]; then
    import -window root "$DRIVER_WORKDIR/failure.png" 2>/dev/null || true
    echo "screen at the failure: $DRIVER_WORKDIR/failure.png" >&2
  fi
  exit 1
}

send_keys() {
  xdotool key "$@"
}

type_text() {
  xdotool type --delay 40 "$1"
}

# Hands the clipboard (or the primary selection) to a helper xclip that serves FILE and exits as
# soon as another program takes the selection over. Returns once the selection serves FILE. The
# helper stays until the next read of the fields, so that a paste still finds it however late the
# program handles the paste key.
# usage: claim_clipboard FILE [clipboard|primary]
claim_clipboard() {
  local file=$1 selection=${2:-clipboard} tries
  release_clipboard
  xclip -quiet -selection "$selection" -i "$file" >/dev/null 2>&1 &
  if [[ $selection == primary ]]; then
    DRIVER_PRIMARY_PID=$!
  else
    DRIVER_CLIP_PID=$!
  fi
  # Polls for the state it waits for; the bound is only for an xclip that never gets there.
  for ((tries = 0; tries < 1200; tries++)); do
    if xclip -o -selection "$selection" 2>/dev/null | cmp -s - "$file"; then return 0; fi
    sleep 0.05
  done
  fail "xclip did not take the $selection selection"
}

release_clipboard() {
  local pid
  for pid in "$DRIVER_CLIP_PID" "$DRIVER_PRIMARY_PID"; do
    if [[ -n $pid ]]; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  DRIVER_CLIP_PID=
  DRIVER_PRIMARY_PID=
}

show() {
  local text
  text=$(head -c 60 "$1")
  echo "\"$text\"$( (($(stat -c %s "$1") > 60)) && echo "... ($(stat -c %s "$1") bytes)")"
}

expect_fields() {
  local prefix=$XSESSION_DIR/now i=1 want
  read_fields "$prefix"
  for want in "$1" "$2" "$3"; do
    if ! cmp -s "$prefix.text$i" <(printf '%s' "$want"); then
      fail "Text$i holds $(show "$prefix.text$i"), expected \"$want\""
    fi
    ((i += 1))
  done
}

# The outputs read into PREFIX.* are what Recompute makes of the input read there.
expect_recomputed() {
  local prefix=$1
  "$DRIVER_RECOMPUTE" "$prefix.text1" "$prefix.signed" "$prefix.bits" || fail "recompute_print failed"
  cmp -s "$prefix.text2" "$prefix.signed" ||
    fail "Text2 holds $(show "$prefix.text2") for Text1 $(show "$prefix.text1"), expected $(show "$prefix.signed")"
  cmp -s "$prefix.text3" "$prefix.bits" ||
    fail "Text3 holds $(show "$prefix.text3") for Text1 $(show "$prefix.text1"), expected $(show "$prefix.bits")"
}
