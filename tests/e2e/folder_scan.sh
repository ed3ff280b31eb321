#!/usr/bin/env bash
# The folder scan as a user does it, on the built program under Xvfb: press the button, type
# the folder's name into the chooser and press Enter, dismiss each "Failed to read file." box, then
# copy the text area with Edit > Select All and Edit > Copy and compare the clipboard. A second
# run closes the chooser without a choice: the program must end with status 0.
# Arguments: the program, the fixture maker (make_scan_folder).
set -u
program=$1
maker=$2

. "$(dirname "$0")/xvfb_session.sh"
command -v xclip >/dev/null || { echo "FAIL: xclip is needed to read the clipboard"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE
fail() {
  echo "FAIL: $*"
  command -v import >/dev/null && import -window root "$work/screen.png" 2>/dev/null &&
    cp "$work/screen.png" "${TMPDIR:-/tmp}/quorvane-e2e-failure.png" &&
    echo "screen saved in ${TMPDIR:-/tmp}/quorvane-e2e-failure.png"
  echo "program output:"; cat "$work"/run*.log 2>/dev/null
  exit 1
}

# Ids of the program's visible windows whose title matches $1, except $2. Titles are read
# the way window managers do (_NET_WM_NAME first): a search by name alone misses windows
# whose WM_NAME Qt leaves unset.
windows() {
  local w
  for w in $(xdotool search --onlyvisible --class '^[Qq]uorvane$' 2>/dev/null); do
    [ "$w" = "${2:-none}" ] && continue
    xdotool getwindowname "$w" 2>/dev/null | grep -Eq "$1" && echo "$w"
  done
}
# Waits up to $3 seconds (default 10) for such a window and prints its id.
wait_window() {
  local id
  for _ in $(seq $((${3:-10} * 20))); do
    id=$(windows "$1" "${2:-}" | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}
wait_gone() {
  for _ in $(seq 200); do
    windows "$1" | grep -qx "$2" || return 0
    sleep 0.05
  done
  return 1
}

# The button: 40,34 178x22 in the content area, below a menu bar of unknown height. A click
# that misses lands on the empty content and does nothing.
press_button() {
  local main=$1 y chooser
  for y in 64 70 58 76 52 45; do
    xdotool mousemove --window "$main" 129 "$y" click 1
    chooser=$(wait_window '^This is a window title\.$' "" 2) && { echo "$chooser"; return 0; }
  done
  return 1
}

"$maker" "$work/music" >"$work/expected" || fail "cannot make the folder"
messages=$(head -n 1 "$work/expected" | cut -d' ' -f2)
tail -n +2 "$work/expected" >"$work/expected-text"

# ---- a scan ----
# The chooser starts in the home: there only the folder's own name is typed, since a typed
# path makes the dialog load each folder on the way, which can clear the name field mid-typing.
HOME=$work "$program" >"$work/run1.log" 2>&1 &
app=$!
pids+=($app)
main=$(wait_window '^Quorvane$') || fail "no window named Quorvane"
chooser=$(press_button "$main") || fail "pressing the button showed no folder chooser"
sleep 0.3
xdotool type --delay 10 music
xdotool key Return
wait_gone '^This is a window title\.$' "$chooser" || fail "the chooser did not close on Enter"

for i in $(seq "$messages"); do
  box=$(wait_window '^Quorvane$' "$main") || fail "message box $i of $messages did not come"
  sleep 0.2
  xdotool key Return
  wait_gone '^Quorvane$' "$box" || fail "message box $i did not close"
done
sleep 1.5
[ -z "$(windows '^Quorvane$' "$main")" ] || fail "more message boxes than the $messages expected"
kill -0 "$app" 2>/dev/null || fail "the program ended after a scan"

xdotool mousemove --window "$main" 409 230 click 1  # into the text area
sleep 0.3
xdotool key alt+e
sleep 0.4
xdotool key a  # Select All
sleep 0.3
xdotool key alt+e
sleep 0.4
xdotool key c  # Copy
sleep 0.4
xclip -o -selection clipboard >"$work/copied" 2>/dev/null
cmp -s "$work/copied" "$work/expected-text" || {
  echo "expected:"; cat "$work/expected-text"; echo "copied:"; cat "$work/copied"
  fail "the text area does not show the expected lines"
}
kill "$app"
wait "$app" 2>/dev/null

# ---- no folder chosen ----
"$program" >"$work/run2.log" 2>&1 &
app=$!
pids+=($app)
main=$(wait_window '^Quorvane$') || fail "no window named Quorvane on the second run"
chooser=$(press_button "$main") || fail "pressing the button showed no folder chooser"
sleep 0.3
xdotool key Escape
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "closing the chooser without a choice did not end the program"
wait "$app"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status after closing the chooser, not 0"
echo "scan shown and copied as expected; closing the chooser ended the program with status 0"
