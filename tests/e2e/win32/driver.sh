# The Win32 window's driver for the end-to-end tests (tests/e2e/cases.txt describes what a driver
# provides): starts Tovrel.exe under Wine in an X session (xsession.sh), with Wine drawing the
# Windows frame itself (Decorated=N) so that the X window is the Win32 window rectangle, types into
# it with xdotool and reads it back with tovrel_reader, a console program in the same Wine prefix.
# Source it after xsession.sh; everything it starts is stopped when the test's shell exits.
#
#   driver_start TOVREL_EXE READER_EXE WORKDIR DPI   start the session, the program and the reader;
#                            with DRIVER_SHOW=minimized the program starts as a shortcut set to
#                            "Run: Minimized" starts it
#   reader COMMAND...        one command to tovrel_reader (reader.cpp lists them); its answer in
#                            READER_REPLY
#   expect_focus TextN       the keyboard focus is in TextN

here_win32=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here_win32/../common.sh"
source "$here_win32/../../win32/wineprefix.sh"

TOVREL_PID=
DRIVER_WINDOW=
READER_REPLY=

driver_stop() {
  release_clipboard
  if [[ -n ${READER_PID:-} ]]; then
    echo quit >&"${READER[1]}" 2>/dev/null || true
  fi
  # Only this test's prefix: its Wine processes end with the X session they belong to.
  wineserver -k 2>/dev/null || true
  xsession_stop
}

# The Windows path of a file of this machine, through Wine's drive Z:.
winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

driver_start() {
  local exe=$1 reader_exe=$2 dpi=$4
  DRIVER_WORKDIR=$3/$dpi
  mkdir -p "$DRIVER_WORKDIR"
  xsession_start 1280x800 openbox
  trap driver_stop EXIT
  # The prefix is made with the display there: Wine keeps the screen it first saw.
  wineprefix_use "$3/wineprefix"
  wineserver -k 2>/dev/null || true
  wineprefix_registry <<REG
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
REG
  wineprefix_dpi "$dpi"

  case ${DRIVER_SHOW:-normal} in
    normal) xsession_spawn wine "$exe" ;;
    # The launcher ends with the program's exit status.
    minimized) xsession_spawn wine "$reader_exe" launch-minimized "$(winpath "$exe")" ;;
    *) fail "unknown show command: $DRIVER_SHOW" ;;
  esac
  TOVREL_PID=${XSESSION_PIDS[-1]}
  coproc READER { wine "$reader_exe" 2>/dev/null; }
  READER_PID=$READER_PID
  IFS= read -r -t 120 READER_REPLY <&"${READER[0]}" || fail "the reader did not start"
  READER_REPLY=${READER_REPLY%$'\r'}
  [[ $READER_REPLY == ready ]] || fail "the reader: $READER_REPLY"
  DRIVER_WINDOW=$(timeout 120 xdotool search --sync --onlyvisible --name '^Tovrel$' | head -n 1)
  [[ -n $DRIVER_WINDOW ]] || fail "the window did not appear"
  # expect_recomputed runs "$DRIVER_RECOMPUTE" IN SIGNED BITS: the reader's Recompute, in Wine.
  DRIVER_RECOMPUTE=$XSESSION_DIR/recompute
  {
    echo '#!/usr/bin/env bash'
    echo "source '$here_win32/driver.sh'"
    echo "exec wine '$reader_exe' recompute \"\$(winpath \"\$1\")\" \"\$(winpath \"\$2\")\" \"\$(winpath \"\$3\")\""
  } >"$DRIVER_RECOMPUTE"
  chmod +x "$DRIVER_RECOMPUTE"
  # Form1 is the active Win32 window, but openbox leaves the X focus where it was when Wine maps
  # it; a user would click it. windowactivate asks openbox for it as a pager does.
  xdotool windowactivate --sync "$DRIVER_WINDOW"
  driver_sync
}

alive() {
  kill -0 "$TOVREL_PID" 2>/dev/null || fail "Tovrel.exe is no longer running"
}

reader() {
  echo "$*" >&"${READER[1]}" || fail "the reader has ended"
  IFS= read -r -t 120 READER_REPLY <&"${READER[0]}" || fail "the reader did not answer: $*"
  READER_REPLY=${READER_REPLY%$'\r'} # a Windows line end
  [[ $READER_REPLY != error* ]] || fail "the reader: $READER_REPLY ($*)"
}

driver_sync() {
  alive
  reader sync
}

read_fields() {
  local prefix=$1
  driver_sync
  release_clipboard
  reader fields "$(winpath "$prefix")"
  # As the other driver leaves it: the caret at the end of Text1.
  xdotool key End
  driver_sync
  alive
}

expect_focus() {
  driver_sync
  reader focus
  [[ $READER_REPLY == "$1" ]] || fail "the focus is in $READER_REPLY, expected in $1"
}

click_field() {
  reader center "Text$1"
  local x y
  read -r x y <<<"$READER_REPLY"
  xdotool mousemove "$x" "$y" click "${2:-1}"
}

close_window() {
  local x y
  alive
  reader center close
  read -r x y <<<"$READER_REPLY"
  xdotool mousemove "$x" "$y" click 1
  await_exit Tovrel.exe
}
