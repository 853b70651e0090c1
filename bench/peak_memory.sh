#!/bin/bash
# Peak memory (maximum resident set) of the real program through a whole session under a
# private X server, with real X key events, against a process that reads the 50 start-up
# files raw. The session: the introduction cut short, a level started, walked, rotated and
# abandoned with its game-over announcement, the learn screen, the best-score table, then
# Alt+F4. Goal: under 64 MiB.
#
#   bench/peak_memory.sh BUILD_DIR
set -u
build=$1
window_probe=$build/tests/e2e/window_probe
. "$(dirname "$0")/../tests/e2e/x_session.sh"
for tool in game/chimebox bench/raw_reads bench/load_bench tests/e2e/window_probe; do
  [ -x "$build/$tool" ] || fail "no $build/$tool"
done
command -v /usr/bin/time >/dev/null || fail "GNU time is not installed"
max_rss_kib() { sed -n 's/.*Maximum resident set size (kbytes): //p' "$1"; }

mapfile -t files < <("$build/bench/load_bench" --list startup)
/usr/bin/time -v -o "${TMPDIR:-/tmp}/raw_reads.time.$$" "$build/bench/raw_reads" "${files[@]}" ||
  fail "the raw reads failed"
raw_kib=$(max_rss_kib "${TMPDIR:-/tmp}/raw_reads.time.$$")
rm -f "${TMPDIR:-/tmp}/raw_reads.time.$$"

start_x_session
SDL_AUDIODRIVER=dummy /usr/bin/time -v -o "$session_dir/time" "$(realpath "$build/game/chimebox")" \
  >/dev/null 2>"$session_dir/stderr" &
game_pid=$!
seen=$(wait_picture Chimebox 15) || exit 1
window=${seen%% *}
timeout 5 xdotool windowfocus --sync "$window" || fail "the window cannot take the focus"
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.3; done; }
sleep 1
keys ctrl Return                               # the menu, then a level
sleep 1
keys Right Down space                          # walk; Space starts the clock
sleep 2
keys ctrl+Right ctrl+Down Left Up Escape       # rotate, walk, abandon
sleep 8                                        # the game-over announcement and the score
keys Down Down Return                          # the learn screen
keys Right Down Return Escape
sleep 1
keys Down Down Return                          # the best-score table
sleep 4
keys Escape
sleep 1
xdotool key alt+F4
wait_game_exit 10 || fail "the program ended with an error"
game_kib=$(max_rss_kib "$session_dir/time")
[ -n "$game_kib" ] || fail "no figure from time"
awk -v g="$game_kib" -v r="$raw_kib" 'BEGIN {
  printf "peak memory: %.1f MiB / raw reads %.1f MiB = %.1fx; goal 64 MiB: %s\n",
         g / 1024, r / 1024, g / r, (g < 64 * 1024) ? "met" : "MISSED" }'
