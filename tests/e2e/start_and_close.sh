#!/usr/bin/env bash
# The built program opens a real window and ends with status 0 when the window is closed.
# Arguments are given to show that they change nothing.
set -u
program=$1
xclose=$2
. "$(dirname "$0")/xvfb_session.sh"

"$program" -platform offscreen --reverse -style bogus &
app=$!
id=$(wait_window '^Quorvane$') || { echo "FAIL: no window named Quorvane"; kill $app; exit 1; }
"$xclose" "$id"
wait $app
status=$?
[ $status -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
echo "window $id closed; exit status 0"
