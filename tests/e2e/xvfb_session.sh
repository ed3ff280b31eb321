# Sourced by the end-to-end tests: starts a private Xvfb and the helpers to wait on windows.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || {
  echo "SKIP: Xvfb and xdotool are needed for this test"
  exit 77
}
displayfile=$(mktemp)
Xvfb -displayfd 4 -screen 0 1280x900x24 -nolisten tcp 4>"$displayfile" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$displayfile")
export QT_QPA_PLATFORM=xcb

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
