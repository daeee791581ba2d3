#!/usr/bin/env bash
# Starts the installed program on a private X server and requires its window's class (WM_CLASS)
# to be the StartupWMClass of the installed desktop entry: that is how docks and task switchers on
# X11 match the running window to the entry, its name and its icon.
#
#   check_window_class.sh STAGE APP_ID
set -euo pipefail
stage=$1 app_id=$2
source "$(dirname "$0")/../e2e/xsession.sh"

desktop_entry=$stage/usr/share/applications/$app_id.desktop
wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
if [[ -z $wanted ]]; then
  echo "FAIL: $desktop_entry has no StartupWMClass"
  exit 1
fi

xsession_start 800x600 openbox
xsession_spawn "$stage/usr/bin/tovrel"
window=
# Polls for the window; the bound (two minutes) is only for a program that never shows one.
for ((tries = 0; tries < 1200; tries++)); do
  window=$(xdotool search --onlyvisible --name '^Tovrel$' 2>/dev/null | head -n 1) || true
  [[ -n $window ]] && break
  sleep 0.1
done
if [[ -z $window ]]; then
  echo "FAIL: no window titled Tovrel appeared"
  exit 1
fi

# WM_CLASS(STRING) = "instance", "class": both are matched against StartupWMClass.
classes=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = //p')
echo "WM_CLASS: $classes; StartupWMClass: $wanted"
if [[ $classes != *"\"$wanted\""* ]]; then
  echo "FAIL: the window's class does not name StartupWMClass=$wanted"
  exit 1
fi
