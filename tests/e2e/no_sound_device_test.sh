#!/bin/bash
# The real program on a system without sound: the two start-up messages, in order, as real
# message boxes and on standard error; the window then opens all the same, and Alt+F4
# ends the program with status 0.
#
#   no_sound_device_test.sh CHIMEBOX_BINARY WINDOW_PROBE_BINARY
set -u
chimebox=$1
window_probe=$2
. "$(dirname "$0")/x_session.sh"

start_x_session
# An audio driver SDL does not have leaves the program without a sound device.
start_game "$chimebox" no-such-driver

press_ok 1 15
press_ok 2 5
expected=$'Error!: DSound not created\nError!: Error in second initialisation'
messages=$(grep '^Error!: ' "$session_dir/stderr")
[ "$messages" = "$expected" ] || fail "expected the messages:
$expected
got:
$messages"

seen=$(wait_picture Chimebox 10) || exit 1
window=${seen%% *}
timeout 5 xdotool windowfocus --sync "$window" || fail "the window cannot take the keyboard focus"
xdotool key alt+F4
status=0
wait_game_exit 5 || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after Alt+F4"
echo "PASS"
