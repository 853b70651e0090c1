#!/usr/bin/env bash
# Runs every fuzz target built in BUILD_DIR for SECONDS each, seeded from its corpus here;
# what it finds goes to a scratch folder in the build tree, the seeds stay as they are.
#   tests/fuzz/run_all.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=${1:?usage: run_all.sh BUILD_DIR [SECONDS]}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
found=0
for corpus in "$here"/corpus/*/; do
  name=$(basename "$corpus")
  exe=$(find "$build" -type f -perm -u+x -name "$name" | head -n 1)
  if [ -z "$exe" ]; then
    echo "fuzz: $name not built in $build" >&2
    exit 1
  fi
  scratch="$build/fuzz_found/$name"
  mkdir -p "$scratch"
  echo "== $name (${seconds} s)"
  "$exe" -max_total_time="$seconds" -print_final_stats=1 "$scratch" "$corpus"
  found=$((found + 1))
done
echo "fuzz: $found targets ran clean"
