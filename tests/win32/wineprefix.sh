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
