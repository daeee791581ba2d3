# Shared by everything that runs the Windows build under Wine: the tests, ctest's emulator and the
# benchmark. Source this file, then call wineprefix_use with the folder of the prefix:
#
#   wineprefix_use DIR
#
# The first call creates a 64-bit prefix in DIR and waits until Wine has finished setting it up;
# later calls (also from other processes, at the same time) reuse it. Afterwards WINEPREFIX,
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
# tests want (Decorated=N, LogPixels). It returns when they are in the prefix's registry; programs
# read such settings when they start, so a program already running keeps the old ones.

export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wineprefix_use() {
  local dir=${1:?wineprefix_use needs the folder of the prefix}
  mkdir -p "$(dirname "$dir")"
  dir=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
  export WINEPREFIX=$dir
  # The stamp is written last: a prefix without it is one whose set-up did not finish.
  local stamp=$dir/.tovrel-ready
  if [[ -f $stamp ]]; then
    return 0
  fi
  (
    # One process sets the prefix up; any other waits here and then finds the stamp.
    flock 9
    if [[ -f $stamp ]]; then
      exit 0
    fi
    rm -rf "$dir"
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

wineprefix_registry() {
  local file
  file=$(mktemp "${TMPDIR:-/tmp}/wineprefix.XXXXXX.reg")
  cat >"$file"
  wine regedit /S "Z:${file//\//\\}" >/dev/null 2>&1
  local status=$?
  rm -f "$file"
  return $status
}
