# The Qt window's driver for the end-to-end tests (cases.txt describes what a driver provides):
# starts the real `tovrel` in an X session (xsession.sh), types into it with xdotool and reads its
# three fields back through the clipboard. Source it after xsession.sh; everything it starts is
# stopped when the test's shell exits.
#
#   driver_start TOVREL RECOMPUTE_PRINT WORKDIR   start the session and the program
#   driver_sync              return once tovrel has handled everything sent to it before
#   read_fields PREFIX       write Text1, Text2, Text3 to PREFIX.text1, .text2, .text3
#   click_field N [BUTTON]   click into TextN
#   click_at X Y [BUTTON]    click at a point of the client area
#   expect_focus TextN       the keyboard focus is in TextN
#   form_rect NAME           Form1's geometry in pixels from the shared description (form_print):
#                            "LEFT TOP WIDTH HEIGHT" of a control, "WIDTH HEIGHT" of "client"
#   close_window             close the window as a user does and expect exit status 0
# and, from common.sh: expect_fields A B C, expect_recomputed PREFIX, claim_clipboard FILE, ...

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TOVREL_PID=
TOVREL_WINDOW=
DRIVER_TOVREL_OWNER=
DRIVER_WINDOW=

driver_stop() {
  release_clipboard
  xsession_stop
}

driver_start() {
  DRIVER_TOVREL=$1
  DRIVER_RECOMPUTE=$2
  DRIVER_WORKDIR=$3
  DRIVER_WMPING=${DRIVER_WMPING:-$(dirname "$DRIVER_RECOMPUTE")/wmping}
  DRIVER_FORM=$("$(dirname "$DRIVER_RECOMPUTE")/form_print") || fail "form_print failed"
  mkdir -p "$DRIVER_WORKDIR"
  xsession_start 800x400 openbox
  trap driver_stop EXIT

  xsession_spawn "$DRIVER_TOVREL"
  TOVREL_PID=${XSESSION_PIDS[-1]}
  TOVREL_WINDOW=$(xsession_client Tovrel) || fail "the window did not appear"
  DRIVER_WINDOW=$TOVREL_WINDOW
  xdotool windowactivate --sync "$TOVREL_WINDOW"
  driver_sync
}

alive() {
  kill -0 "$TOVREL_PID" 2>/dev/null || fail "tovrel is no longer running"
}

# Returns once tovrel has handled every event sent before (wmping.cpp says how it knows). The
# bound is for a program that hangs.
driver_sync() {
  alive
  "$DRIVER_WMPING" "$TOVREL_WINDOW" 120 || fail "tovrel did not answer"
}

# Copies the field that has the focus into OUT. Before the copy keys the clipboard belongs to the
# helper that served the last paste, if it is still there (a paste still pending must find it), or
# else to nobody; once tovrel has handled the keys it is tovrel's, holding the field's text, or
# still the same as before: an empty field copies nothing.
read_focused_field() {
  local out=$1 before after
  before=$("$DRIVER_WMPING" --owner CLIPBOARD)
  if [[ -z $DRIVER_CLIP_PID || $before == 0x0 || $before == "$DRIVER_TOVREL_OWNER" ]] ||
    ! kill -0 "$DRIVER_CLIP_PID" 2>/dev/null; then
    release_clipboard clipboard
    "$DRIVER_WMPING" --disown CLIPBOARD
    before=0x0
  fi
  xdotool key ctrl+a ctrl+c
  driver_sync
  after=$("$DRIVER_WMPING" --owner CLIPBOARD)
  if [[ $after == "$before" ]]; then
    : >"$out"
  else
    DRIVER_TOVREL_OWNER=$after # the window tovrel owns its selections with
    timeout 120 xclip -o -selection clipboard >"$out" || fail "the clipboard could not be read"
  fi
}

# Text1 must have the focus. Reads the three fields, Tab by Tab, and comes back to Text1 with the
# caret at the end of its text. Helpers that served a paste stay until tovrel takes their selection
# over or the next paste comes: however late tovrel handles a paste, it finds its helper.
read_fields() {
  local prefix=$1
  driver_sync
  read_focused_field "$prefix.text1"
  xdotool key Tab
  read_focused_field "$prefix.text2"
  xdotool key Tab
  read_focused_field "$prefix.text3"
  xdotool key Tab End
  alive
}

# A Qt window's fields cannot be asked for the focus from outside: the field with the focus is told
# by its text, copied as read_fields copies it and compared with the texts last read, which must
# differ. Leaves the text of the field with the focus selected.
expect_focus() {
  local copied=$XSESSION_DIR/focus i found=
  [[ -n $FIELDS_READ ]] || fail "no fields read yet to tell the focus by"
  read_focused_field "$copied"
  for i in 1 2 3; do
    if cmp -s "$copied" "$FIELDS_READ.text$i"; then
      [[ -z $found ]] || fail "Text$found and Text$i hold the same text: the focus cannot be told"
      found=$i
    fi
  done
  [[ -n $found ]] || fail "the field with the focus holds $(show "$copied"), none of those read"
  [[ Text$found == "$1" ]] || fail "the focus is in Text$found, expected in $1"
}

# Clicks into a control of the window at a point given in client-area pixels.
click_at() {
  xdotool mousemove --window "$TOVREL_WINDOW" "$1" "$2" click "${3:-1}"
}

form_rect() {
  local line
  line=$(grep -m 1 "^$1 " <<<"$DRIVER_FORM") || fail "Form1 has no $1"
  printf '%s\n' "${line#* }"
}

# Clicks into the middle of TextN.
click_field() {
  local left top width height
  read -r left top width height < <(form_rect "Text$1")
  click_at "$((left + width / 2))" "$((top + height / 2))" "${2:-1}"
}

close_window() {
  alive
  if [[ -n ${WAYLAND_DISPLAY:-} ]]; then
    # The compositor draws the title bar beyond XWayland's reach: the window is closed as a
    # taskbar closes it.
    "$DRIVER_WMPING" --close "$TOVREL_WINDOW"
    await_exit tovrel
    return
  fi
  # A click on the close button, the rightmost one of openbox's title bar.
  local x y fl fr ft fb client_width
  read -r client_width _ < <(form_rect client)
  read -r x y < <(xwininfo -id "$TOVREL_WINDOW" |
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
  read -r fl fr ft fb < <(xprop -id "$TOVREL_WINDOW" _NET_FRAME_EXTENTS | tr -d , |
    awk '{print $3, $4, $5, $6}')
  local button_x=$((x + client_width + fr - 10)) button_y=$((y - ft / 2)) tries
  xdotool mousemove "$button_x" "$button_y" click 1
  # On a loaded machine the click was lost twice in a few dozen runs, the window still shown and
  # the program idle: while the window is shown, the click is repeated now and then (a click on a
  # window already closing does nothing more).
  for ((tries = 1; tries < 1200; tries++)); do
    kill -0 "$TOVREL_PID" 2>/dev/null || break
    if ((tries % 200 == 0)) && xwininfo -id "$TOVREL_WINDOW" 2>/dev/null | grep -q IsViewable; then
      xdotool mousemove "$button_x" "$button_y" click 1
    fi
    sleep 0.05
  done
  await_exit tovrel
}
