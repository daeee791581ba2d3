# Shared by the end-to-end tests: starts the real `tovrel` in an X session (xsession.sh), types into
# it with xdotool and reads its three fields back through the clipboard. Source it after
# xsession.sh; everything it starts is stopped when the test's shell exits.
#
#   driver_start TOVREL RECOMPUTE_PRINT WORKDIR   start the session and the program
#   read_fields PREFIX       write Text1, Text2, Text3 to PREFIX.text1, .text2, .text3
#   expect_fields A B C      the three fields hold exactly A, B and C
#   expect_recomputed PREFIX the outputs read into PREFIX.* are Recompute of the input read there
#   close_window             close the window as a user does and expect exit status 0

DRIVER_CLIP_PID=
DRIVER_PRIMARY_PID=
TOVREL_PID=
TOVREL_WINDOW=

fail() {
  echo "FAIL: $*" >&2
  if [[ -n ${DRIVER_WORKDIR:-} && -n ${DISPLAY:-} ]]; then
    import -window root "$DRIVER_WORKDIR/failure.png" 2>/dev/null || true
    echo "screen at the failure: $DRIVER_WORKDIR/failure.png" >&2
  fi
  exit 1
}

driver_stop() {
  release_clipboard
  xsession_stop
}

driver_start() {
  DRIVER_TOVREL=$1
  DRIVER_RECOMPUTE=$2
  DRIVER_WORKDIR=$3
  mkdir -p "$DRIVER_WORKDIR"
  xsession_start 800x400 openbox
  trap driver_stop EXIT
  DRIVER_SENTINEL=$XSESSION_DIR/sentinel
  printf 'not copied: %s' "$RANDOM$RANDOM" >"$DRIVER_SENTINEL"

  xsession_spawn "$DRIVER_TOVREL"
  TOVREL_PID=${XSESSION_PIDS[-1]}
  TOVREL_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tovrel$' | head -n 1)
  [[ -n $TOVREL_WINDOW ]] || fail "the window did not appear"
  xdotool windowactivate --sync "$TOVREL_WINDOW"
  # The window is mapped; wait until it also takes keys (its first paint is done by then).
  sleep 0.3
}

alive() {
  kill -0 "$TOVREL_PID" 2>/dev/null || fail "tovrel is no longer running"
}

# Hands the clipboard (or the primary selection) to a helper xclip that serves FILE and exits as
# soon as another program takes the selection over. Returns once the selection serves FILE. The
# helper stays until the next read of the fields, so that a paste still finds it however late
# tovrel handles the paste key.
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
  for ((tries = 0; tries < 200; tries++)); do
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

# Copies the field that has the focus into OUT. A helper xclip owns the clipboard beforehand (the one
# that served the last paste, or one with a text no field can hold), and the field's copy takes it
# over: once the helper has exited the copy has happened, and the clipboard is read from tovrel
# itself. An empty field copies nothing and leaves the helper as the
# owner; after two seconds the field counts as empty (a later read of a non-empty field, or the
# liveness check, catches a program that merely stopped answering).
read_focused_field() {
  local out=$1 tries
  if [[ -z $DRIVER_CLIP_PID ]]; then claim_clipboard "$DRIVER_SENTINEL"; fi
  xdotool key ctrl+a ctrl+c
  for ((tries = 0; tries < 40; tries++)); do
    if ! kill -0 "$DRIVER_CLIP_PID" 2>/dev/null; then
      wait "$DRIVER_CLIP_PID" 2>/dev/null || true
      DRIVER_CLIP_PID=
      timeout 20 xclip -o -selection clipboard >"$out" || fail "tovrel did not hand over its copy"
      return 0
    fi
    sleep 0.05
  done
  release_clipboard
  : >"$out"
}

# Text1 must have the focus. Reads the three fields, Tab by Tab, and comes back to Text1 with the
# caret at the end of its text.
read_fields() {
  local prefix=$1
  alive
  read_focused_field "$prefix.text1"
  xdotool key Tab
  read_focused_field "$prefix.text2"
  xdotool key Tab
  read_focused_field "$prefix.text3"
  xdotool key Tab End
  release_clipboard
  alive
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

expect_recomputed() {
  local prefix=$1
  "$DRIVER_RECOMPUTE" "$prefix.text1" "$prefix.signed" "$prefix.bits" || fail "recompute_print failed"
  cmp -s "$prefix.text2" "$prefix.signed" ||
    fail "Text2 holds $(show "$prefix.text2") for Text1 $(show "$prefix.text1"), expected $(show "$prefix.signed")"
  cmp -s "$prefix.text3" "$prefix.bits" ||
    fail "Text3 holds $(show "$prefix.text3") for Text1 $(show "$prefix.text1"), expected $(show "$prefix.bits")"
}

# Clicks into a control of the window at a point given in client-area pixels.
click_at() {
  xdotool mousemove --window "$TOVREL_WINDOW" "$1" "$2" click "${3:-1}"
}

close_window() {
  local status tries
  alive
  # A click on the close button, the rightmost one of openbox's title bar.
  local x y fl fr ft fb
  read -r x y < <(xwininfo -id "$TOVREL_WINDOW" |
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
  read -r fl fr ft fb < <(xprop -id "$TOVREL_WINDOW" _NET_FRAME_EXTENTS | tr -d , |
    awk '{print $3, $4, $5, $6}')
  xdotool mousemove "$((x + 288 + fr - 10))" "$((y - ft / 2))" click 1
  for ((tries = 0; tries < 100; tries++)); do
    if ! kill -0 "$TOVREL_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  kill -0 "$TOVREL_PID" 2>/dev/null && fail "closing the window did not end the program"
  status=0
  wait "$TOVREL_PID" || status=$?
  ((status == 0)) || fail "tovrel ended with status $status"
}
