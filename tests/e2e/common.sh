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

# Stops the helpers (or with clipboard or primary, that one).
release_clipboard() {
  local which=${1:-both}
  if [[ $which != primary && -n $DRIVER_CLIP_PID ]]; then
    kill "$DRIVER_CLIP_PID" 2>/dev/null || true
    wait "$DRIVER_CLIP_PID" 2>/dev/null || true
    DRIVER_CLIP_PID=
  fi
  if [[ $which != clipboard && -n $DRIVER_PRIMARY_PID ]]; then
    kill "$DRIVER_PRIMARY_PID" 2>/dev/null || true
    wait "$DRIVER_PRIMARY_PID" 2>/dev/null || true
    DRIVER_PRIMARY_PID=
  fi
}

show() {
  local text
  text=$(head -c 60 "$1")
  echo "\"$text\"$( (($(stat -c %s "$1") > 60)) && echo "... ($(stat -c %s "$1") bytes)")"
}

# Checks of the fields read into PREFIX.*: each returns 1 and says why in DRIVER_MISMATCH.
#   fields_equal PREFIX A B C   the fields hold exactly A, B and C; = for B or C: Recompute of Text1
#   fields_recomputed PREFIX    Text2 and Text3 are what Recompute makes of Text1
fields_equal() {
  local prefix=$1 i=1 want
  shift
  for want in "$@"; do
    if [[ $want != = ]] && ! cmp -s "$prefix.text$i" <(printf '%s' "$want"); then
      DRIVER_MISMATCH="Text$i holds $(show "$prefix.text$i"), expected \"$want\""
      return 1
    fi
    ((i += 1))
  done
  if [[ $2 == = || $3 == = ]]; then fields_recomputed "$prefix"; fi
}

fields_recomputed() {
  local prefix=$1
  "$DRIVER_RECOMPUTE" "$prefix.text1" "$prefix.signed" "$prefix.bits" || fail "recompute_print failed"
  if ! cmp -s "$prefix.text2" "$prefix.signed"; then
    DRIVER_MISMATCH="Text2 holds $(show "$prefix.text2") for Text1 $(show "$prefix.text1"), expected $(show "$prefix.signed")"
    return 1
  fi
  if ! cmp -s "$prefix.text3" "$prefix.bits"; then
    DRIVER_MISMATCH="Text3 holds $(show "$prefix.text3") for Text1 $(show "$prefix.text1"), expected $(show "$prefix.bits")"
    return 1
  fi
}

# Reads the fields into PREFIX.* until CHECK PREFIX ARGS... holds, and fails when it still does not
# after five reads. A driver's read follows everything sent before it, but where a driver cannot
# prove that (driver_sync under a compositing manager, wmping.cpp says why) a copy that the program
# handles late reads as an empty field: a mismatch is read again before it counts.
# Sets FIELDS_READ to PREFIX once the check holds.
# usage: read_until PREFIX CHECK ARGS...
FIELDS_READ=
read_until() {
  local prefix=$1 check=$2 attempt
  shift 2
  for ((attempt = 1; attempt <= 5; attempt++)); do
    read_fields "$prefix"
    if "$check" "$prefix" "$@"; then
      FIELDS_READ=$prefix
      return 0
    fi
    echo "read again after: $DRIVER_MISMATCH" >&2
  done
  fail "$DRIVER_MISMATCH"
}

expect_fields() {
  read_until "$XSESSION_DIR/now" fields_equal "$1" "$2" "$3"
}

# The outputs read into PREFIX.* are what Recompute makes of the input read there.
expect_recomputed() {
  fields_recomputed "$1" || fail "$DRIVER_MISMATCH"
}

# Waits for the program (TOVREL_PID) to end once its window has been closed, and expects exit
# status 0. The bound is only for a program that does not end.
#   await_exit NAME      NAME: the program's name for the message
await_exit() {
  local status tries
  for ((tries = 0; tries < 1200; tries++)); do
    if ! kill -0 "$TOVREL_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  kill -0 "$TOVREL_PID" 2>/dev/null && fail "closing the window did not end the program"
  status=0
  wait "$TOVREL_PID" || status=$?
  ((status == 0)) || fail "$1 ended with status $status"
}
