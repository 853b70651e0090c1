#!/bin/bash
# The real program where there is no display to type into: it says so and ends at once
# with status 1, rather than speaking to a player whose keys can never reach it.
#
#   no_display_test.sh CHIMEBOX_BINARY
set -u
chimebox=$1
err=$(mktemp)
trap 'rm -f "$err"' EXIT
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
  timeout 20 "$chimebox" >/dev/null 2>"$err" || status=$?
if [ "$status" -ne 1 ]; then
  echo "FAIL: expected status 1 without a display, got $status" >&2
  cat "$err" >&2
  exit 1
fi
grep -q '^Chimebox: no display' "$err" || { echo "FAIL: no word on standard error" >&2; cat "$err" >&2; exit 1; }
echo "PASS"
