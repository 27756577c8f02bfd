#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole games pinned: for each bundled scenario, its first and its last ruler and two
# fixed clocks, a headless run of 1200 months whose printed lines and saved game are
# kept in tests/pinned/ as
#   scenario<S>-ruler<R>-clock<C>.out   what the run printed
#   scenario<S>-ruler<R>-clock<C>.txt   the game it saved at the end
# The player only rests, so these games end when he falls. The games named
# scenario<S>-ruler<R>-held-clock<C> start from the scenario's country file with the
# first ruler's countries held by an army no computer ruler attacks (2,000,000
# soldiers at training 100, fed for a century), loaded with --load: the computer
# rulers then play all 1200 months.
# The first game is also kept as the events its run writes with --events
#   scenario<S>-ruler<R>-clock<C>.events.jsonl
# and is played a second time with the events written, which must print and save the
# very same bytes as the run without them.
# ctest compares fresh runs with them byte for byte (the test pinned_games).
#
#   scripts/pin-games.sh                  regenerate the pins (builds velcor in build/default)
#   scripts/pin-games.sh --check VELCOR   compare the runs of the program VELCOR with the pins
#
# A change that alters a game on purpose (a rule, a draw, the bundled data) runs the
# first form and says in its commit why the games changed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pins="$here/tests/pinned"
data="$here/data"
months=1200
clocks=(1700000000 1234567)

usage() {
  echo "usage: $0                   regenerate tests/pinned/" >&2
  echo "       $0 --check VELCOR    compare with tests/pinned/" >&2
  exit 2
}

# The rulers scenario S offers, in file order: the lines up to the first empty one.
offered() {
  local line
  while IFS= read -r line || [ -n "$line" ]; do
    line="${line%$'\r'}"
    [ -z "$line" ] && break
    echo "$line"
  done <"$data/scenario$1.txt"
}

# Scenario S's country file with ruler R as the player, the cursor before country 0
# and R's countries held (see the head of this file), written to OUT.
held_start() {
  LC_ALL=C awk -v R="$2" 'BEGIN { RS = "\r\n"; ORS = "\r\n" }
    NR == 1 { print R; next }
    NR == 2 { print -1; next }
    NR >= 5 && NR <= 172 {
      item = (NR - 5) % 12 + 1
      if (item == 3) ruler = $0 + 0
      if (ruler == R && item == 7) { print 2000000; next }
      if (ruler == R && item == 8) { print 100; next }
      if (ruler == R && item == 9) { print 100000000; next }
    }
    { print }' "$data/country$1.txt" >"$3"
}

# One line per pinned game: "S R C" for a new game, "S R C held" for a held one.
games() {
  local s rulers
  for s in 1 2 3; do
    mapfile -t rulers < <(offered "$s")
    if [ "${#rulers[@]}" -eq 0 ]; then
      echo "pin-games: $data/scenario$s.txt offers no ruler" >&2
      exit 1
    fi
    local picked=("${rulers[0]}")
    [ "${#rulers[@]}" -gt 1 ] && picked+=("${rulers[-1]}")
    local r c
    for r in "${picked[@]}"; do
      for c in "${clocks[@]}"; do
        echo "$s $r $c"
      done
    done
    for c in "${clocks[@]}"; do
      echo "$s ${rulers[0]} $c held"
    done
  done
}

name_of() {
  if [ -n "${4:-}" ]; then echo "scenario$1-ruler$2-held-clock$3"; else echo "scenario$1-ruler$2-clock$3"; fi
}

# Runs one game into DIR/NAME.out and DIR/NAME.txt (and its events into
# DIR/NAME.events.jsonl when VELCOR_PIN_EVENTS is set); fails when the program does.
play() {
  local velcor="$1" dir="$2" s="$3" r="$4" c="$5" held="${6:-}"
  local name start status=0 events=()
  name="$(name_of "$s" "$r" "$c" "$held")"
  local game=(--scenario "$s" --ruler "$r")
  if [ -n "$held" ]; then
    start="$dir/$name.start"
    held_start "$s" "$r" "$start"
    game=(--load "$start")
  fi
  [ -n "${VELCOR_PIN_EVENTS:-}" ] && events=(--events "$dir/$name.events.jsonl")
  "$velcor" --headless --data "$data" "${game[@]}" --months "$months" --clock "$c" \
    --save "$dir/$name.txt" "${events[@]}" >"$dir/$name.out" 2>"$dir/$name.err" || status=$?
  [ -n "$held" ] && rm -f "$start"
  if [ "$status" -ne 0 ] || [ -s "$dir/$name.err" ]; then
    echo "pin-games: $name: exit status $status" >&2
    cat "$dir/$name.err" >&2
    return 1
  fi
  rm -f "$dir/$name.err"
}

if [ "${1:-}" = "--check" ]; then
  [ $# -eq 2 ] || usage
  velcor="$2"
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  failed=0
  expected=()
  while read -r s r c held; do
    name="$(name_of "$s" "$r" "$c" "$held")"
    expected+=("$name.out" "$name.txt")
    if [ ! -f "$pins/$name.out" ] || [ ! -f "$pins/$name.txt" ]; then
      echo "pin-games: no pin for $name: run scripts/pin-games.sh" >&2
      failed=1
      continue
    fi
    if ! play "$velcor" "$scratch" "$s" "$r" "$c" "$held"; then
      failed=1
      continue
    fi
    for kind in out txt; do
      if ! cmp -s "$pins/$name.$kind" "$scratch/$name.$kind"; then
        echo "pin-games: $name.$kind differs from the pin:" >&2
        diff -a "$pins/$name.$kind" "$scratch/$name.$kind" | head -n 20 >&2 || true
        failed=1
      fi
    done
  done < <(games)
  # The first game again with its events written: the same printout and save, and
  # the events of the pin.
  read -r s r c held < <(games)
  name="$(name_of "$s" "$r" "$c" "$held")"
  expected+=("$name.events.jsonl")
  mkdir -p "$scratch/events"
  if ! VELCOR_PIN_EVENTS=1 play "$velcor" "$scratch/events" "$s" "$r" "$c" "$held"; then
    failed=1
  else
    for kind in out txt events.jsonl; do
      if ! cmp -s "$pins/$name.$kind" "$scratch/events/$name.$kind"; then
        echo "pin-games: $name.$kind with the events written differs from the pin:" >&2
        diff -a "$pins/$name.$kind" "$scratch/events/$name.$kind" | head -n 20 >&2 || true
        failed=1
      fi
    done
  fi
  # A pin that no game makes any more (the data offer other rulers now) is stale.
  for pin in "$pins"/*.out "$pins"/*.txt "$pins"/*.jsonl; do
    [ -e "$pin" ] || continue
    base="$(basename "$pin")"
    if [[ ! " ${expected[*]} " == *" $base "* ]]; then
      echo "pin-games: $base belongs to no pinned game: run scripts/pin-games.sh" >&2
      failed=1
    fi
  done
  if [ "$failed" -ne 0 ]; then
    echo "pin-games: the games differ from tests/pinned/. If that is meant, run scripts/pin-games.sh" >&2
    echo "and say in the commit why the games changed." >&2
    exit 1
  fi
  echo "pin-games: ${#expected[@]} files match their pins"
  exit 0
fi

[ $# -eq 0 ] || usage
cd "$here"
[ -f build/default/build.ninja ] || cmake --preset default >/dev/null
cmake --build --preset default --target velcor -j "${VELCOR_BUILD_JOBS:-$(nproc)}" >/dev/null
velcor="$here/build/default/src/velcor"
mkdir -p "$pins"
rm -f "$pins"/*.out "$pins"/*.txt "$pins"/*.jsonl
count=0
first=1
while read -r s r c held; do
  if [ "$first" -eq 1 ]; then
    VELCOR_PIN_EVENTS=1 play "$velcor" "$pins" "$s" "$r" "$c" "$held"
    first=0
  else
    play "$velcor" "$pins" "$s" "$r" "$c" "$held"
  fi
  echo "pinned $(name_of "$s" "$r" "$c" "$held"): $(tail -n 1 "$pins/$(name_of "$s" "$r" "$c" "$held").out")"
  count=$((count + 1))
done < <(games)
echo "pin-games: $count games written to tests/pinned/"
