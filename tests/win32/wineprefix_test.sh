#!/usr/bin/env bash
# The prefix set-up never deletes a folder it did not make: pointed by TOVREL_WINEPREFIX (or by
# the prefix argument) at someone's own Wine prefix or at any other folder or file, wine-run
# refuses with a message and a non-zero status, and what was there is still there. Wine itself is
# replaced by a stand-in that only notes that it was started: a refusal comes before any of it.
#
#   wineprefix_test.sh WORK_DIR
set -euo pipefail
work=${1:?usage: wineprefix_test.sh WORK_DIR}
wine_run=$(cd "$(dirname "$0")" && pwd)/wine-run
rm -rf "$work"
mkdir -p "$work/bin"
for tool in wine wineserver; do
  printf '#!/bin/sh\necho %s >>"%s/started"\n' "$tool" "$work" >"$work/bin/$tool"
  chmod +x "$work/bin/$tool"
done

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# name | how the prefix is named (env: TOVREL_WINEPREFIX, arg: wine-run's first argument) | what
# is at the prefix's path beforehand (prefix: a Wine prefix of someone else's, file: a plain file)
cases=(
  "everyday prefix named by TOVREL_WINEPREFIX|env|prefix"
  "everyday prefix named by the argument|arg|prefix"
  "plain file named by TOVREL_WINEPREFIX|env|file"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name how what <<<"$entry"
  target=$work/${name// /-}
  case $what in
    prefix) mkdir -p "$target/drive_c" && echo mine >"$target/system.reg" ;;
    file) echo mine >"$target" ;;
  esac
  before=$(ls -lRa --time-style=+%s "$target")
  if [[ $how == env ]]; then
    env=(TOVREL_WINEPREFIX="$target")
    argument=$work/unused-prefix
  else
    env=()
    argument=$target
  fi
  status=0
  env "${env[@]}" PATH="$work/bin:$PATH" "$wine_run" "$argument" program.exe \
    2>"$work/stderr" || status=$?
  after=$(ls -lRa --time-style=+%s "$target" 2>&1)
  ((status != 0)) || fail "$name: wine-run succeeded"
  grep -qF "$target is not a Wine prefix" "$work/stderr" ||
    fail "$name: no message that names $target: $(cat "$work/stderr")"
  [[ $before == "$after" ]] || fail "$name: what was there was changed or deleted"
  [[ ! -e $work/started ]] || fail "$name: Wine was started: $(cat "$work/started")"
  [[ ! -e $work/unused-prefix ]] || fail "$name: the build's own prefix was made instead"
  rm -f "$work/started"
done

((failures == 0)) || exit 1
echo "every foreign prefix was left as it was"
