#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Compares two builds of velcor game by game: every ruler each bundled scenario offers,
# with three fixed clocks, 1200 months each (what the run prints, the events it writes
# and the game it saves), the pinned held worlds loaded and played on, and the
# many-games tables of each scenario with one and with two jobs; the stories: games of
# two persons and of a person beside the advisor with their records, events and the
# files kept beside their saves, the old build's records replayed (to their end and
# stopped part way) and its saves loaded, seats and all, by both builds. A change that must
# not alter any game (a redesign, a new feature beside the rules) runs it with the
# build before and the build after:
#
#   scripts/compare-builds.sh OLD_VELCOR NEW_VELCOR
#
# Prints one line per difference and a count; the status is 1 when anything differs.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 OLD_VELCOR NEW_VELCOR" >&2; exit 2; }
old="$(realpath "$1")" new="$(realpath "$2")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
data="$here/data"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
runs=0 differ=0

# run NAME ARGS...: the same run with both builds; the outputs compared byte for byte.
run() {
  local name="$1"; shift
  local side
  for side in old new; do
    local program="$old"; [ "$side" = new ] && program="$new"
    mkdir -p "$work/$side"
    (cd "$work/$side" && "$program" --headless "$@" --save "$name.txt" >"$name.out" 2>/dev/null) || true
  done
  runs=$((runs + 1))
  local file
  for file in "$name.out" "$name.txt"; do
    if ! cmp -s "$work/old/$file" "$work/new/$file"; then
      echo "differs: $file"
      differ=$((differ + 1))
    fi
  done
}

# games NAME ARGS...: a many-games table (standard output only; the timing goes to
# standard error).
games() {
  local name="$1"; shift
  "$old" --headless "$@" >"$work/$name.old" 2>/dev/null || true
  "$new" --headless "$@" >"$work/$name.new" 2>/dev/null || true
  runs=$((runs + 1))
  cmp -s "$work/$name.old" "$work/$name.new" || { echo "differs: $name"; differ=$((differ + 1)); }
}

for scenario in 1 2 3; do
  rulers=$(iconv -f cp932 -t utf-8 "$data/scenario$scenario.txt" | awk 'NF == 0 { exit } { print $1 }' | tr -d '\r')
  for ruler in $rulers; do
    for clock in 1700000000 1234567 42; do
      run "s$scenario-r$ruler-c$clock" --data "$data" --scenario "$scenario" --ruler "$ruler" --months 1200 \
        --clock "$clock" --events "s$scenario-r$ruler-c$clock.jsonl"
      cmp -s "$work/old/s$scenario-r$ruler-c$clock.jsonl" "$work/new/s$scenario-r$ruler-c$clock.jsonl" ||
        { echo "differs: s$scenario-r$ruler-c$clock.jsonl"; differ=$((differ + 1)); }
    done
  done
  for jobs in 1 2; do
    games "games-s$scenario-j$jobs" --data "$data" --scenario "$scenario" --ruler all --games 40 --months 240 \
      --clock 1700000000 --jobs "$jobs"
  done
done
# same NAME FILE...: files both builds wrote beside a run, compared byte for byte (a file
# that neither wrote is the same).
same() {
  local name="$1"; shift
  local file
  for file in "$@"; do
    [ -e "$work/old/$file" ] || [ -e "$work/new/$file" ] || continue
    cmp -s "$work/old/$file" "$work/new/$file" || { echo "differs: $file"; differ=$((differ + 1)); }
  done
}

# The stories, in each scenario: its first ruler and its last, seated together.
for scenario in 1 2 3; do
  rulers=($(iconv -f cp932 -t utf-8 "$data/scenario$scenario.txt" | awk 'NF == 0 { exit } { print $1 }' | tr -d '\r'))
  first="${rulers[0]}" last="${rulers[${#rulers[@]} - 1]}"
  for seat in rest advisor; do
    name="story-s$scenario-$seat"
    months=600; [ "$seat" = advisor ] && months=24
    extra=(); [ "$seat" = advisor ] && extra=(--rollouts 2 --horizon 2)
    run "$name" --data "$data" --scenario "$scenario" --ruler "$first" --seat "$last=$seat" "${extra[@]}" \
      --months "$months" --clock 1700000000 --record "$name.rec" --events "$name.jsonl"
    same "$name" "$name.rec" "$name.jsonl" "$name.txt.seats" "$name.txt.difficulty"
    # The old build's record and save, taken up by both.
    cp "$work/old/$name.rec" "$work/$name.rec"
    for f in "$name.txt" "$name.txt.seats" "$name.txt.difficulty"; do
      [ -e "$work/old/$f" ] && cp "$work/old/$f" "$work/$f.kept" || true
    done
    run "$name-replayed" --replay "$work/$name.rec" --events "$name-replayed.jsonl"
    same "$name-replayed" "$name-replayed.jsonl"
    run "$name-replayed-part" --replay "$work/$name.rec" --months 100
    mkdir -p "$work/loaded"
    cp "$work/$name.txt.kept" "$work/loaded/$name.txt"
    for f in seats difficulty; do
      [ -e "$work/$name.txt.$f.kept" ] && cp "$work/$name.txt.$f.kept" "$work/loaded/$name.txt.$f" || true
    done
    run "$name-loaded" --load "$work/loaded/$name.txt" --months 240 --clock 7 --record "$name-loaded.rec"
    same "$name-loaded" "$name-loaded.rec" "$name-loaded.txt.seats"
  done
  run "hard-s$scenario" --data "$data" --scenario "$scenario" --ruler "$last" --difficulty hard --months 240 \
    --clock 1234567 --record "hard-s$scenario.rec"
  same "hard-s$scenario" "hard-s$scenario.rec" "hard-s$scenario.txt.difficulty"
done
for held in "$here"/tests/pinned/*-held-clock*.txt; do
  name="$(basename "$held" .txt)-again"
  run "$name" --load "$held" --months 1200 --clock 99
done
echo "$runs runs compared, $differ outputs differ"
[ "$differ" -eq 0 ]
