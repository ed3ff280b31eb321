#!/usr/bin/env bash
# Without a usable display the program says so in one line and ends with status 1; when its
# X server goes away it ends with status 1, not a crash.
set -u
program=$1
expect_refusal() {
  local out status
  out=$(timeout 20 "$@" "$program" 2>&1)
  status=$?
  [ $status -eq 1 ] || { echo "FAIL: [$*] exit status $status"; exit 1; }
  [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] && grep -q "needs a graphical display" <<<"$out" ||
    { echo "FAIL: [$*] printed: $out"; exit 1; }
}
expect_refusal env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
for p in bogus offscreen minimal vnc; do expect_refusal env QT_QPA_PLATFORM=$p; done
expect_refusal env DISPLAY=:199 QT_QPA_PLATFORM=xcb

. "$(dirname "$0")/xvfb_session.sh"
"$program" >/dev/null 2>&1 &
app=$!
wait_window '^Quorvane$' >/dev/null || { echo "FAIL: no window"; kill $app; exit 1; }
kill -9 "$xvfb_pid"
wait $app
status=$?
[ $status -eq 1 ] || { echo "FAIL: exit status $status after the display went"; exit 1; }
echo "refused without a display; status 1 when the display went"
