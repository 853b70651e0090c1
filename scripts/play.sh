#!/usr/bin/env bash
# Sets up, builds and starts Chimebox.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --play
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCHIMEBOX_BENCH=OFF >/dev/null
cmake --build build/release --target chimebox
exec build/release/game/chimebox
