# Shared by everything that runs the Windows build under Wine: the tests, ctest's emulator and the
# benchmark. Source this file, then call wineprefix_use with the folder of the prefix:
#
#   wineprefix_use DIR
#
# The first call creates a 64-bit prefix in DIR and waits until Wine has finished setting it up;
# later calls (also from other processes, at the same time) reuse it. DIR must be a prefix made
# here, an empty folder or not exist yet: any other folder, such as someone's everyday Wine prefix,
# is left as it is and the call fails with a message. Afterwards WINEPREFIX,
# WINEARCH, WINEDEBUG and WINEDLLOVERRIDES are exported, and `wine PROGRAM.exe` runs in it.
# Every prefix made here has what every test needs:
#   - no Mono or Gecko installer prompts (mscoree and mshtml disabled);
#   - no debugger on a crash: a crashing program ends, instead of starting winedbg, which waits;
#   - Wine's own fonts (Tahoma, Marlett) in the prefix's font folder, which Debian's Wine does not
#     find otherwise (the caption's close button then shows a stray glyph).
#
#   wineprefix_registry < FILE.reg
#
# imports registry settings (REGEDIT4 text) into the prefix in use, for settings that only some
# tests want (Decorated=N). It returns when they are in the prefix's registry; programs read such
# settings when they start, so a program already running keeps the old ones.
#
#   wineprefix_dpi DPI
#
# makes the screen one of DPI dots per inch for the programs started afterwards: the system dpi
# and every monitor's dpi. It returns once the prefix's Wine session has ended (see below).
#
# The screen's dpi under Wine 8 and Wine 10 (measured with Debian 12's Wine 8.0 and Debian 13's
# Wine 10.0, X11 driver, on Xvfb, by a per-monitor aware program):
#   - The system dpi (GetDpiForSystem, the screen's LOGPIXELSX) is `HKCU\Control Panel\Desktop`
#     `LogPixels`, read by each process when it starts. Wine 8 gives every monitor that dpi too
#     (GetDpiForMonitor, GetDpiForWindow).
#   - Wine 10 keeps a dpi per monitor apart from it. The monitors are listed as the session's
#     first program starts (the first after the server started; its desktop process lists them),
#     each at the system dpi of that moment, and the list is kept while the server runs. A LogPixels
#     written within a session (as by regedit) so changes only the system dpi of the programs
#     started later in it. At LogPixels 192 in a session begun at 96 they see system dpi 192,
#     monitor dpi 96 and window dpi 96, and Wine draws caption and frame with 192-dpi metrics
#     round a window laid out at 96 (the other way round at LogPixels 96 after 192). Windows has
#     that state too, after the primary monitor's scale changed without signing out again: a
#     per-monitor aware window then follows its monitor, as Form1 does (and Windows draws a
#     PerMonitorV2 window's frame at the window's dpi). But it is not a 192-dpi screen. The
#     session after the server has ended lists the monitors at the new dpi: hence `wineserver -w`
#     in wineprefix_dpi.
#   - Wine 10's X11 driver gives every monitor the same dpi (each display source gets the system
#     dpi of the process that lists them), so a move to another monitor sends no WM_DPICHANGED:
#     only synthetic ones reach Form1 under Wine, 8 or 10. Under Xvfb Wine sees one monitor in
#     any case (RandR monitors made with xrandr --setmonitor are not monitors to Wine).
#   - Wine 10 scales programs that are not dpi aware (no manifest, no SetProcessDpiAwareness*) as
#     Windows does: at 192 dpi they see 96 dpi and a 640 x 400 screen for 1280 x 800. Wine 8 gives
#     them the real figures. Tovrel.exe's manifest (PerMonitorV2) and the test tools'
#     SetProcessDpiAwarenessContext make them per-monitor aware under both.
#   - Wine 10's caption is taller than Wine 8's (SM_CYCAPTION 26 at 96 dpi and 51 at 192; Wine 8:
#     19 and 37): compare client areas, not outer sizes, across versions.

export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wineprefix_use() {
  local dir=${1:?wineprefix_use needs the folder of the prefix}
  mkdir -p "$(dirname "$dir")"
  dir=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
  export WINEPREFIX=$dir
  # The mark is written first, into a new or empty folder: it says that this project made the
  # prefix. The stamp is written last: a prefix with the mark and without the stamp is one whose
  # set-up did not finish, and is made again.
  local mark=$dir/.tovrel-prefix stamp=$dir/.tovrel-ready
  if [[ -f $stamp ]]; then
    return 0
  fi
  wineprefix_refuse_foreign "$dir" || return 1
  (
    # One process sets the prefix up; any other waits here and then finds the stamp.
    flock 9
    if [[ -f $stamp ]]; then
      exit 0
    fi
    wineprefix_refuse_foreign "$dir" || exit 1
    if [[ -f $mark ]]; then
      rm -rf "$dir"
    fi
    mkdir -p "$dir"
    touch "$mark"
    wine wineboot -i >/dev/null 2>&1 || true
    mkdir -p "$dir/drive_c/windows/Fonts"
    ln -sf /usr/share/wine/fonts/*.ttf "$dir/drive_c/windows/Fonts/"
    wineprefix_registry <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
"Auto"="0"
REG
    # wineboot returns before the services it started have finished writing the prefix;
    # `wineserver -w` waits until every process of the prefix has ended and the server has
    # written the registry out and stopped.
    wineserver -w
    [[ -f $dir/system.reg ]] || {
      echo "wineprefix_use: Wine did not create a prefix in $dir" >&2
      exit 1
    }
    touch "$stamp"
  ) 9>"$dir.lock"
}

# Fails with a message when DIR holds anything but a prefix made here: only such a prefix, whose
# set-up did not finish, may be deleted and made again.
wineprefix_refuse_foreign() {
  local dir=$1
  if [[ -f $dir/.tovrel-prefix || ! -e $dir ]] || [[ -d $dir && -z $(ls -A "$dir") ]]; then
    return 0
  fi
  echo "wineprefix: $dir is not a Wine prefix that Tovrel's tests made, and is left as it is." \
    "Name a new or empty folder in TOVREL_WINEPREFIX (or unset it), or delete the folder" \
    "yourself if it is a prefix of your own build folder." >&2
  return 1
}

wineprefix_registry() {
  local file
  file=$(mktemp "${TMPDIR:-/tmp}/wineprefix.XXXXXX.reg")
  cat >"$file"
  wine regedit /S "Z:${file//\//\\}" >/dev/null 2>&1
  local status=$?
  rm -f "$file"
  return $status
}

wineprefix_dpi() {
  local dpi=${1:?wineprefix_dpi needs the dots per inch}
  wineprefix_registry <<REG || return 1
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:$(printf %08x "$dpi")
REG
  # The session that wrote LogPixels keeps its monitors at the old dpi under Wine 10; the next
  # program starts a new one once this one has ended (every process of it, then the server).
  wineserver -w
}
