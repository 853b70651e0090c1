#!/usr/bin/env bash
# Sets up, builds from scratch and runs every test: the suite (unit, scenario and
# end-to-end tests of the real binary), the suite again under the address and undefined
# sanitizers, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-20}

echo "== Build and test (release)"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$JOBS"
(cd build/release && ctest --output-on-failure -j "$JOBS") | tee build/release-ctest.log

echo "== Build and test (address and undefined sanitizers)"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHIMEBOX_SANITIZE=ON -DCHIMEBOX_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$JOBS"
(cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$JOBS") | tee build/sanitize-ctest.log

if [ -d tests/fuzz ]; then
  echo "== Fuzz (${FUZZ_SECONDS} s a target)"
  CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCHIMEBOX_FUZZ=ON -DBUILD_TESTING=OFF -DCHIMEBOX_BENCH=OFF -DCHIMEBOX_DATA=OFF >/dev/null
  cmake --build build/fuzz -j "$JOBS" --target chimebox_fuzzers
  bash tests/fuzz/run_all.sh build/fuzz "$FUZZ_SECONDS"
fi
# One closing line for the whole run: every test of both suites (set -o pipefail has
# already stopped the script on any failure).
passed=$(cat build/release-ctest.log build/sanitize-ctest.log |
  sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\)/\2 \1/p' |
  awk '{p += $1 - $2; f += $2} END {print p " passed, " f " failed"}')
echo "$passed"
