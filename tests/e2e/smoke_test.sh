#!/bin/bash
# The real program under a private X server: its window "Chimebox" shows the title picture,
# F1 lays the About box over it and Escape takes it away, and Alt+F4 ends the program with
# status 0. Without a window manager Alt+F4 reaches the program as keys, so this also shows
# that the program itself takes it as the close request.
#
#   smoke_test.sh CHIMEBOX_BINARY WINDOW_PROBE_BINARY
set -u
chimebox=$1
window_probe=$2
. "$(dirname "$0")/x_session.sh"

start_x_session
start_game "$chimebox"

seen=$(wait_picture Chimebox 15) || exit 1
read -r window colours title_hash <<<"$seen"
echo "window $window shows $colours colours"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended by itself"
if grep -q "Error!" "$session_dir/stderr"; then fail "start-up reported an error"; fi

timeout 5 xdotool windowfocus --sync "$window" || fail "the window cannot take the keyboard focus"

xdotool key F1
timeout 10 "$window_probe" Chimebox 5000 differs "$title_hash" >/dev/null ||
  fail "F1 drew no About box"
xdotool key Escape
timeout 10 "$window_probe" Chimebox 5000 same "$title_hash" >/dev/null ||
  fail "Escape did not bring the title picture back"

xdotool key alt+F4
status=0
wait_game_exit 5 || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after Alt+F4"
if grep -q "Error!" "$session_dir/stderr"; then fail "the program reported an error"; fi
echo "PASS"
