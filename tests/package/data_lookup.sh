#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program finds its data from its own place: copies of it in scratch install trees
# of each layout, run from a directory without data, must play the data of their own
# tree. Each tree holds scenario 2's files in place of scenario 1's, so a program that
# fell back to the bundled data (the source tree's, or the build's prefix) prints
# another game. The data of the current directory still comes first.
# Usage: data_lookup.sh VELCOR SOURCE_DATA_DIR
set -euo pipefail
velcor="$1"
data="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/own" "$work/empty"
cp "$data/scenario2.txt" "$work/own/scenario1.txt"
cp "$data/country2.txt" "$work/own/country1.txt"
game=(--headless --scenario 1 --ruler 2 --months 24 --clock 1700000000)

"$velcor" "${game[@]}" --data "$data" >"$work/shipped.out"
"$velcor" "${game[@]}" --data "$work/own" >"$work/own.out"
if cmp -s "$work/shipped.out" "$work/own.out"; then
  echo "FAIL: the test's own data play the same game as the shipped data"; exit 1
fi

failures=0
# plays PROGRAM from DIR and compares its printout with EXPECTED
expect_game() {
  local what="$1" program="$2" dir="$3" expected="$4" got
  got="$(cd "$dir" && "$program" "${game[@]}" 2>&1)" || { echo "FAIL: $what: exit status $?"; failures=$((failures + 1)); return; }
  if [ "$got" != "$(cat "$expected")" ]; then
    echo "FAIL: $what: not the game of $expected"; diff <(echo "$got") "$expected" | head -5 || true
    failures=$((failures + 1))
  else
    echo "ok: $what"
  fi
}

# layout name, program's directory, data directory (both under the tree)
while read -r name bindir datadir; do
  tree="$work/$name"
  mkdir -p "$tree/$bindir" "$tree/$datadir"
  cp "$velcor" "$tree/$bindir/velcor"
  cp "$work/own/"*.txt "$tree/$datadir/"
  expect_game "$name layout: $bindir/velcor finds $datadir" "$tree/$bindir/velcor" "$work/empty" "$work/own.out"
done <<'LAYOUTS'
usr bin share/velcor/data
debian-games games share/games/velcor/data
beside . data
LAYOUTS

# The current directory's data come before the program's own.
expect_game "the current directory's data first" "$work/usr/bin/velcor" "$data" "$work/shipped.out"
# Data beside the program come before those of share/.
mkdir -p "$work/usr/bin/data"
cp "$data/scenario1.txt" "$data/country1.txt" "$work/usr/bin/data/"
expect_game "data beside the program before share/velcor" "$work/usr/bin/velcor" "$work/empty" "$work/shipped.out"

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
