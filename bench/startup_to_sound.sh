#!/bin/bash
# Start-up of the real program to the first mixed sample of its introduction, against a
# process that reads the same 50 start-up files raw, under a private X server.
# See bench/startup_probe.cpp for how the moment is found.
#
#   bench/startup_to_sound.sh BUILD_DIR [RUNS]
set -u
build=$1
runs=${2:-21}
. "$(dirname "$0")/../tests/e2e/x_session.sh"
for tool in game/chimebox bench/startup_probe bench/raw_reads bench/load_bench; do
  [ -x "$build/$tool" ] || fail "no $build/$tool"
done
mapfile -t files < <("$build/bench/load_bench" --list startup)
[ "${#files[@]}" -eq 50 ] || fail "expected the 50 start-up files, got ${#files[@]}"

start_x_session
"$build/bench/startup_probe" "$runs" "$(realpath "$build/game/chimebox")" "$build/bench/raw_reads" "${files[@]}"
