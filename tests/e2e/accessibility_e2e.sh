#!/usr/bin/env bash
# The window as a screen reader meets it, read through AT-SPI by a real client (pyatspi) on a
# private session bus: a frame named "Tovrel" holding the three fields, each named by its caption,
# and no relation that the fields do not have.
#   accessibility_e2e.sh TOVREL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# A session bus of the test's own, on which the accessibility bus is started on demand.
if [[ -z ${TOVREL_OWN_SESSION_BUS:-} ]]; then
  exec env TOVREL_OWN_SESSION_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
source "$here/xsession.sh"

xsession_start 800x400 openbox
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
xsession_spawn "$1"
# Debian's python3, whose modules pyatspi and gi the set-up installs.
/usr/bin/python3 "$here/accessibility_check.py"
