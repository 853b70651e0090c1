#!/bin/bash
# A player's best.dat survives rebuilding the data and reinstalling the game, byte for
# byte; a fresh install gets an empty one.
# usage: best_dat_kept.sh <build-dir> <game-dir> <install-subdir>
set -euo pipefail
build=$1
game=$2
subdir=$3

work=$(mktemp -d)
saved=""
if [ -e "$game/best.dat" ]; then
  saved="$work/saved.dat"
  cp -p "$game/best.dat" "$saved"
fi
restore() {
  if [ -n "$saved" ]; then cp -p "$saved" "$game/best.dat"; else rm -f "$game/best.dat"; fi
  rm -rf "$work"
}
trap restore EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Two scrambled records, zero bytes and high bytes included: nothing may rewrite them.
printf '\072\116\071\122\020\010\025\073\062\063\052\020\071\377\012' > "$work/known.dat"

cp "$work/known.dat" "$game/best.dat"
cmake --build "$build" --target chimebox_data >/dev/null
cmp "$work/known.dat" "$game/best.dat" || fail "an up-to-date data build changed best.dat"

# With a recording gone the builder really runs again over the folder.
rm -f "$game/menu/quit.vgz"
cmake --build "$build" --target chimebox_data >/dev/null
[ -s "$game/menu/quit.vgz" ] || fail "the data build did not make menu/quit.vgz again"
cmp "$work/known.dat" "$game/best.dat" || fail "rebuilding the data changed best.dat"

# A fresh install is a runnable tree with an empty best.dat.
cmake --install "$build" --prefix "$work/fresh" >/dev/null
tree="$work/fresh/$subdir"
for f in best.dat title.bmp icon.bmp icon16.bmp about.bmp config.dat.example \
         menu/arrows.vgz score/SayLivesRemaining.vgz level1/1_1.vgz TestSpk/f_left.vgz; do
  [ -e "$tree/$f" ] || fail "the install lacks $f"
done
[ ! -s "$tree/best.dat" ] || fail "a fresh install's best.dat is not empty"

# A player's install keeps its scores through two reinstalls.
mkdir -p "$work/player/$subdir"
cp "$work/known.dat" "$work/player/$subdir/best.dat"
for round in 1 2; do
  cmake --install "$build" --prefix "$work/player" >/dev/null
  cmp "$work/known.dat" "$work/player/$subdir/best.dat" || fail "install $round changed best.dat"
done
echo "best.dat kept"
