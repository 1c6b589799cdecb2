#!/usr/bin/env bash
# Start-up time of the installed program with the default library, measured from outside:
# from launching the process until its main window is mapped on a virtual X display (polled
# with xdotool every few milliseconds). Installs the build into a staging folder first.
#   bench/startup_time.sh [RUNS]     (default 10; needs a built build/, Xvfb and xdotool)
# "first start" runs have an empty home (the library is created from the shipped one);
# "later start" runs read the library made by the first.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  # A desktop always has a session bus; without one the program waits for one to be started.
  exec dbus-run-session -- "$0" "$@"
fi
runs=${1:-10}
work=$(mktemp -d)
source tests/e2e/display.sh
trap 'cleanup; rm -rf "$work"' EXIT
DESTDIR="$work/root" cmake --install build --prefix /usr >/dev/null
start_display "$work"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# One start with the given home; prints milliseconds to the mapped window.
start_once() {
  local home=$1 t0 t1 pid
  t0=$(date +%s%N)
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    "$work/root/usr/bin/varrow" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^Manage Orla Fuel Models' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended before its window appeared" >&2; exit 1; }
    sleep 0.002
  done
  t1=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo $(((t1 - t0) / 1000000))
}

summary() {
  sort -n | awk -v what="$1" '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-12s runs %d  min %d ms  median %d ms  max %d ms\n", what, NR, v[1], m, v[NR] }'
}

start_once "$work/warm-up" >/dev/null # loads the shared libraries into the page cache
for i in $(seq "$runs"); do start_once "$work/first-$i"; done | summary "first start"
start_once "$work/later" >/dev/null
for i in $(seq "$runs"); do start_once "$work/later"; done | summary "later start"
