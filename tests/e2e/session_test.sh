#!/bin/bash
# A whole session of the real program as a player has it, under a private X server with
# SDL's disk audio driver and real key events: the introduction cut short, the menu walked,
# the speaker test, the learn screen, a level walked, turned and abandoned, a level won and
# its score heard, the best-score table walked, the score sent to the reference server and
# its place heard, and the farewell, ending with status 0. The captured audio is checked
# where the game's sound is known: heard, silent, or on the left channel only.
#
# The program runs from the build's game folder: config.dat is written there for the run
# and removed, and best.dat gets its bytes back (the won level is recorded in it).
#
#   session_test.sh CHIMEBOX WINDOW_PROBE SCORE_SERVER SCORE_HOST
set -u
chimebox=$1
window_probe=$2
score_server=$3
score_host=$4
. "$(dirname "$0")/x_session.sh"

game_dir=$(dirname "$chimebox")
port=${score_host##*:}
# The disk driver writes what the program opened: float32 stereo at 48 kHz.
bytes_per_second=$((48000 * 2 * 4))

# Nothing else may be listening where the program sends its score.
if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "SKIP: 127.0.0.1:$port is in use"
  exit 77
fi
[ ! -e "$game_dir/config.dat" ] || { echo "FAIL: $game_dir/config.dat exists already" >&2; exit 1; }

start_x_session
server_pid=
had_best=0
[ -e "$game_dir/best.dat" ] && had_best=1 && cp -p "$game_dir/best.dat" "$session_dir/best.dat.saved"
restore_game_dir() {
  rm -f "$game_dir/config.dat"
  if [ "$had_best" = 1 ]; then cp -p "$session_dir/best.dat.saved" "$game_dir/best.dat"; fi
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; fi
  server_pid=
}
trap 'restore_game_dir; end_x_session' EXIT

printf 'Ada\nTester\n1 Loop Lane\nLocalhost\n' > "$game_dir/config.dat"
"$score_server" --listen "$score_host" --db "$session_dir/scores.db" >"$session_dir/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
  [ -s "$session_dir/server.out" ] && break
  sleep 0.05
done
grep -q "$port" "$session_dir/server.out" || fail "the score server did not start: $(cat "$session_dir/server.out")"

audio="$session_dir/audio.raw"
export SDL_DISKAUDIOFILE=$audio
start_game "$chimebox" disk
seen=$(wait_picture Chimebox 15) || exit 1
window=${seen%% *}
timeout 5 xdotool windowfocus --sync "$window" || fail "the window cannot take the keyboard focus"

# Where the audio stands now, in bytes of the capture.
now() { stat -c %s "$audio"; }
# key KEYS... [SECONDS]: real key events to the window, then a pause.
key() { xdotool key --delay 30 "$@"; }
pause() { sleep "$1"; }
# level FROM_BYTE SECONDS CHANNEL: RMS level in dB of one channel (1 left, 2 right) of the
# capture, SECONDS long from a byte offset; -200 for digital silence.
level() {
  local from=$(( ($1 / 8) * 8 )) count
  count=$(awk -v s="$2" 'BEGIN { printf "%d", s * 48000 * 8 }')
  local db
  db=$(dd if="$audio" iflag=skip_bytes,count_bytes skip="$from" count="$count" status=none |
       sox -t raw -r 48000 -e floating-point -b 32 -c 2 - -n remix "$3" stats 2>&1 |
       awk '/RMS lev dB/ {print $4}')
  case "$db" in ''|-inf) echo -200 ;; *) echo "$db" ;; esac
}
heard() {  # heard WHAT FROM SECONDS: some sound on either channel
  local l r
  l=$(level "$2" "$3" 1); r=$(level "$2" "$3" 2)
  awk -v l="$l" -v r="$r" 'BEGIN { exit !(l > -50 || r > -50) }' || fail "$1: nothing heard (L $l dB, R $r dB)"
  echo "heard $1: L $l dB, R $r dB"
}
silent() {  # silent WHAT FROM SECONDS
  local l r
  l=$(level "$2" "$3" 1); r=$(level "$2" "$3" 2)
  awk -v l="$l" -v r="$r" 'BEGIN { exit !(l < -90 && r < -90) }' || fail "$1: not silent (L $l dB, R $r dB)"
  echo "silent $1: L $l dB, R $r dB"
}
at() { awk -v b="$1" -v s="$2" -v r="$bytes_per_second" 'BEGIN { printf "%d", b + s * r }'; }

# The introduction starts at the first paint, cut short by Control: the menu's prompt and
# background follow.
t=$(now)
pause 1.2
[ "$(now)" -gt "$t" ] || fail "the disk driver captured nothing"
heard "the introduction" "$(at "$t" 0.4)" 0.6
key ctrl
t=$(now); pause 0.6
heard "the menu prompt" "$(at "$t" 0.1)" 0.4

# The menu walked: entry 1, 4, 5 and back to 4.
key Down Down Down Up; pause 0.3

# The speaker test blocks for its four sounds and a second after each.
t=$(now)
key Return; pause 7.2
heard "the speaker test" "$(at "$t" 0.1)" 0.5

# The learn screen: entry 5, its first description, the next one, a game sound, and back.
key Down Return; pause 0.5
key Down; pause 0.4
key Return; pause 0.4
key Escape; pause 0.3

# A level: the cursor's cell, top left, is heard from the left only; the background loop
# waits for Space, so the level is silent once the cell has ended.
key Up Up; pause 0.3
t=$(now)
key Return; pause 1.8
left=$(level "$(at "$t" 0.1)" 0.3 1); right=$(level "$(at "$t" 0.1)" 0.3 2)
awk -v l="$left" -v r="$right" 'BEGIN { exit !(l > -40 && r < -80) }' ||
  fail "the top left cell is not heard on the left only (L $left dB, R $right dB)"
echo "the top left cell: L $left dB, R $right dB"
silent "the level before Space" "$(at "$t" 1.2)" 0.5

# Walked, started, a row turned, abandoned; Control cuts the game-over words and the score.
key Right Down; pause 0.3
key space; pause 1.2
xdotool keydown ctrl key Right keyup ctrl; pause 0.7
key Escape; pause 0.4
key ctrl; pause 0.3
key ctrl; pause 0.3

# A level won: the clock stopped with Control held resets the board; a turn and its inverse
# solve it. The game-over words and the score follow, then the menu.
key Return; pause 0.3
key space; pause 1.2
xdotool keydown ctrl; pause 0.1
key space; pause 1.2
key Right; pause 0.7
t=$(now)
key Left; pause 0.2
xdotool keyup ctrl
pause 6.5
heard "the final score" "$(at "$t" 1.2)" 2.0

# The best-score table: entry 7, its opening skipped, two entries walked, and back.
key Down Down Down Down Return; pause 0.6
key Down; pause 2.0
key Down; pause 1.5
key Escape; pause 0.3

# The score sent to the reference server; its place is spoken after six seconds.
key Down Return; pause 0.5
t=$(now)
key y; pause 10.5
stored=$(sqlite3 "$session_dir/scores.db" \
  "SELECT first_name || ' ' || last_name || ' ' || score FROM scores;" 2>&1)
case "$stored" in
  "Ada Tester "1[0-9][0-9][0-9][0-9]) ;;
  *) fail "the server holds [$stored], not Ada Tester's won score" ;;
esac
heard "the place" "$(at "$t" 8.0)" 1.0

# The farewell, and the program ends by itself.
t=$(now)
key Escape
status=0
wait_game_exit 8 || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
heard "the farewell" "$(at "$t" 0.2)" 1.0
if grep -q "Error!" "$session_dir/stderr"; then fail "the program reported an error"; fi
echo "PASS"
