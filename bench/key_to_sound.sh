#!/bin/bash
# Key to sound on the real SDL platform under a private X server, with SDL's dummy audio
# driver (which asks for a period every 256 frames, as a sound card would).
#
#   bench/key_to_sound.sh BUILD_DIR [PRESSES]
set -u
build=$1
presses=${2:-1000}
. "$(dirname "$0")/../tests/e2e/x_session.sh"
[ -x "$build/bench/key_to_sound" ] || fail "no $build/bench/key_to_sound"
start_x_session
SDL_AUDIODRIVER=dummy "$build/bench/key_to_sound" "$(realpath "$build/game/chimebox")" "$presses"
