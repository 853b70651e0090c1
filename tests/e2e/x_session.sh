# Shared by the end-to-end tests and the start-up benchmark (sourced, not run): a private
# X server for the real program, and cleanup of everything started on every way out.
#
# After start_x_session: DISPLAY points at the server, $session_dir is a scratch folder.
# start_game runs the program there with SDL's dummy audio driver and sets $game_pid;
# its standard error goes to $session_dir/stderr.

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
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$session_dir/display" \
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

# start_game BINARY
start_game() {
  SDL_AUDIODRIVER=dummy "$1" >/dev/null 2>"$session_dir/stderr" &
  game_pid=$!
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
