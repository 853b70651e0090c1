#!/bin/bash
# Start-up time of the real program to its first paint, under a private X server with SDL's
# dummy audio driver: from starting the process to the first moment its window "Chimebox"
# shows a picture (more than one colour), as an X client polling every 2 ms sees it.
# Prints each run and the median.
#
#   bench/startup_to_paint.sh BUILD_DIR [RUNS]
set -u
build=$1
runs=${2:-5}
chimebox=$build/game/chimebox
window_probe=$build/tests/e2e/window_probe
. "$(dirname "$0")/../tests/e2e/x_session.sh"
[ -x "$chimebox" ] || fail "no program at $chimebox"
[ -x "$window_probe" ] || fail "no probe at $window_probe"

start_x_session
times=()
for ((run = 1; run <= runs; run++)); do
  start=$(date +%s%N)
  start_game "$chimebox"
  seen=$(wait_picture Chimebox 15) || exit 1
  ms=$((($(date +%s%N) - start) / 1000000))
  times+=("$ms")
  echo "run $run: ${ms} ms"
  timeout 5 xdotool windowfocus --sync "${seen%% *}" && xdotool key alt+F4
  wait_game_exit 5 || true
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
echo "median of $runs runs: ${median} ms"
