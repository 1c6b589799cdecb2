# Sourced by the end-to-end scripts: a virtual X display on a free number, and clean-up of
# everything started here however the script ends.
cleanup_pids=()
add_cleanup_pid() { cleanup_pids+=("$1"); }
cleanup() {
  local pid
  for pid in "${cleanup_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${cleanup_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# start_display WORKDIR: starts Xvfb on the first free display and exports DISPLAY.
start_display() {
  local fifo="$1/display-number"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp -noreset 7>"$fifo" >"$1/xvfb.log" 2>&1 &
  add_cleanup_pid $!
  local number
  if ! read -r -t 20 number <"$fifo"; then
    echo "Xvfb did not start; its output:" >&2
    cat "$1/xvfb.log" >&2
    exit 1
  fi
  export DISPLAY=":$number"
}
