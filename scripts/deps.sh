#!/usr/bin/env bash
# Installs the Debian packages Chimebox builds, runs and tests with (only what is missing).
set -euo pipefail

# What builds the game, its data and its tools.
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libmysofa-dev libmysofa-utils libsoxr-dev libcurl4-openssl-dev
  flite1-dev libcairo2-dev fonts-dejavu-core
  libcpp-httplib-dev libsqlite3-dev
)
if [ "${1:-}" != "--play" ]; then
  # What the tests, the benchmarks and the fuzzers need besides.
  PACKAGES+=(
    libgtest-dev libgmock-dev libbenchmark-dev libopenal-dev
    clang-14 libclang-rt-14-dev
    xvfb xdotool libx11-dev sox sqlite3
  )
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
