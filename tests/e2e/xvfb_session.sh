# Sourced by the end-to-end tests: starts a private Xvfb and the helpers to wait on windows.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || {
  echo "SKIP: Xvfb and xdotool are needed for this test"
  exit 77
}
xvfb_dir=$(mktemp -d)
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null
  rm -rf "$xvfb_dir"
}
trap stop_xvfb EXIT  # a test with a trap of its own calls stop_xvfb from it

# Sets xvfb_pid and DISPLAY. On a loaded machine Xvfb can be slow to come up, or end at once
# when another server takes the display number it picked: it is waited for, and started again.
start_xvfb() {
  local display=$xvfb_dir/display log=$xvfb_dir/xvfb.log
  for _ in 1 2 3; do
    : >"$display"
    Xvfb -displayfd 4 -screen 0 1280x900x24 -nolisten tcp 4>"$display" >"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 600); do
      [ -s "$display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -s "$display" ]; then
      export DISPLAY=:$(head -n 1 "$display") QT_QPA_PLATFORM=xcb
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  done
  echo "FAIL: Xvfb did not start; it said:"
  cat "$log"
  exit 1
}
start_xvfb

# Prints the id of the first visible window whose name matches $1, waiting up to 10 s.
wait_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}
