#!/usr/bin/env bash
# The end-to-end session test: a virtual X display, a session bus with the accessibility bus,
# then session.py drives the real program from outside.
#   run_session.sh VARROW FMTOOL DEFAULT_LIBRARY WORKDIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${VARROW_E2E_INNER:-}" ]; then
  # A private session bus, ended with this script.
  VARROW_E2E_INNER=1 exec dbus-run-session -- "$0" "$@"
fi
varrow=$1 fmtool=$2 library=$3 work=$4
rm -rf "$work" && mkdir -p "$work"

source "$here/display.sh"
start_display "$work"
# The accessibility bus puts its socket in the runtime folder: one of its own for every run,
# so that sessions running side by side never meet.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
add_cleanup_pid $!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
# The pyatspi bindings are Debian's, for the system interpreter.
PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$here/session.py" "$varrow" "$fmtool" "$library" "$work"
