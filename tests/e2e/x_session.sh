# Shared by the end-to-end tests and the start-up benchmark (sourced, not run): a private
# X server for the real program, and cleanup of everything started on every way out.
#
# After start_x_session: DISPLAY points at the server, $session_dir is a scratch folder.
# start_game runs the program there and sets $game_pid; its standard error goes to
# $session_dir/stderr. The caller sets $window_probe to the window_probe tool.

session_dir=
xvfb_pid=
game_pid=

end_x_session() {
  if [ -n "$game_pid" ]; then kill -KILL "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  [ -n "$session_dir" ] && rm -rf "$session_dir"
  game_pid= xvfb_pid= session_dir=
}

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$session_dir" ] && [ -s "$session_dir/stderr" ]; then
    echo "--- the program's standard error:" >&2
    cat "$session_dir/stderr" >&2
  fi
  exit 1
}

start_x_session() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed"
  command -v xdotool >/dev/null || fail "xdotool is not installed"
  session_dir=$(mktemp -d)
  trap end_x_session EXIT
  trap 'exit 1' INT TERM HUP
  # -displayfd: the server picks a free display and writes its number once it is ready.
  # -noreset: a desktop's server outlives every program, but a bare Xvfb resets itself when
  # its last client leaves and then compiles its keymap again (about 15 ms of its time),
  # which the next program started would wait for.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$session_dir/display" \
    2>"$session_dir/xvfb.log" &
  xvfb_pid=$!
  local tries=0
  until [ -s "$session_dir/display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$session_dir/xvfb.log" >&2; fail "Xvfb did not start"; }
    tries=$((tries + 1))
    [ "$tries" -le 200 ] || fail "Xvfb gave no display within 10 s"
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$session_dir/display")"
}

# start_game BINARY [AUDIO_DRIVER]: SDL's dummy audio driver unless told otherwise.
start_game() {
  SDL_AUDIODRIVER=${2:-dummy} "$1" >/dev/null 2>"$session_dir/stderr" &
  game_pid=$!
}

# wait_picture WINDOW_NAME SECONDS: prints "WINDOW_ID COLOURS HASH" once the window shows a
# picture of more than one colour.
wait_picture() {
  timeout $(($2 + 5)) "$window_probe" "$1" $(($2 * 1000)) ||
    fail "no window named $1 showing a picture within $2 s"
}

# press_ok N SECONDS: waits for the program's Nth message box (captioned "Error!"), presses
# Enter on it. The program writes each message to standard error before its box opens, and
# boxes may reuse a window id, so the count on standard error tells one box from the next.
# Without a window manager nothing gives a box the focus, so this does.
press_ok() {
  local seen box tries=0
  until [ "$(grep -c '^Error!: ' "$session_dir/stderr")" -ge "$1" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended before message $1"
    tries=$((tries + 1))
    [ "$tries" -le $(($2 * 20)) ] || fail "no message $1 within $2 s"
    sleep 0.05
  done
  seen=$(wait_picture 'Error!' "$2") || exit 1
  box=${seen%% *}
  timeout 5 xdotool windowfocus --sync "$box" || fail "message box $1 cannot take the focus"
  xdotool key Return
}

# wait_game_exit SECONDS: the program's exit status, or fails when it is still running.
wait_game_exit() {
  local tries=0
  while kill -0 "$game_pid" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le $(($1 * 20)) ] || fail "the program did not end within $1 s"
    sleep 0.05
  done
  local status=0
  wait "$game_pid" || status=$?
  game_pid=
  return "$status"
}
