#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A networked game on the loopback address, a headless host and a headless player: the
# host's save, record and events, the player's, and the same game at one screen are the
# same bytes, whether the player rests or is advised, or the seat is handed to the
# computer and back. A case may break the game: the player killed and joining again,
# or the host killed after a remote command and going on from its record, or the player
# stopped past the host's limit of a turn.
# Usage: network_game_test.sh VELCOR DATA_DIR
set -uo pipefail
velcor="$1"
data="$2"
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work" XDG_DATA_HOME="$work" XDG_CACHE_HOME="$work"
failures=0
fail() {
  failures=$((failures + 1))
  echo "FAIL $*"
}
game=(--data "$data" --scenario 1 --ruler 1 --months 120 --clock 1000)
advisor=(--player advisor --rollouts 4 --horizon 3)

# host DIR ARGS...: a host in the background; its invitation in $invitation.
host() {
  local dir="$1"
  shift
  # Emptied first: a host resumed must not be taken for listening on its earlier
  # run's invitation line.
  : >"$dir/host.out"
  timeout -k 5 40 "$velcor" --headless "$@" >>"$dir/host.out" 2>>"$dir/host.err" &
  hostpid=$!
  pids+=("$hostpid")
  invitation=""
  for _ in $(seq 100); do
    invitation="$(grep -m1 '^velcor://' "$dir/host.out")" && break
    sleep 0.1
  done
  [ -n "$invitation" ] || fail "$dir: the host printed no invitation: $(head -c 300 "$dir/host.err")"
}
# join DIR ARGS...: a player in the background; with via=stdin the invitation comes on
# the standard input.
join() {
  local dir="$1" given="$invitation"
  shift
  [ "${via:-}" = stdin ] && given=-
  timeout -k 5 40 "$velcor" --headless --data "$data" --join "$given" "$@" --save "$dir/p.txt" \
    --events "$dir/p.events" --record "$dir/p.record" >"$dir/p.out" 2>>"$dir/p.err" <<<"$invitation" &
  playerpid=$!
  pids+=("$playerpid")
}
# until_commands FILE N: waits until the record holds N commands of the players.
until_commands() {
  for _ in $(seq 300); do
    count="$(grep -a -c -E '^(rest|domestic|move|war)' "$1" 2>/dev/null)"
    [ "${count:-0}" -ge "$2" ] && return 0
    sleep 0.05
  done
  fail "$1 never held $2 commands"
}

# name | the host's seats | the player's | the same seats at one screen (-: none) | what breaks
cases=(
  "through|--seat 3=remote|rest|--seat 3=rest|none"
  "advised|--seat 3=remote|advisor|--seat 3=advisor|none"
  "dropped|--seat 3=remote|advisor|--seat 3=advisor|player"
  "host killed|--seat 3=remote|advisor|--seat 3=advisor|host"
  "handed over|--seat 3=remote --seat-change 30:3=computer --seat-change 60:3=remote|rest|--seat 3=rest --seat-change 30:3=computer --seat-change 60:3=rest|none"
  "past the limit|--seat 3=remote --turn-limit 1|advisor|-|stopped"
)
n=0
for row in "${cases[@]}"; do
  IFS='|' read -r name seats player screen breaks <<<"$row"
  n=$((n + 1))
  dir="$work/$n"
  mkdir "$dir"
  play=()
  [ "$player" = advisor ] && play=("${advisor[@]}")
  # shellcheck disable=SC2086
  host "$dir" "${game[@]}" $seats --host 0 --record "$dir/host.record" --save "$dir/host.txt" --events "$dir/host.events"
  join "$dir" "${play[@]}"
  case "$breaks" in
  player)
    until_commands "$dir/host.record" 60
    pkill -KILL -P "$playerpid" # the player itself, under its timeout
    wait "$playerpid" 2>/dev/null
    via=stdin join "$dir" "${play[@]}"
    ;;
  stopped)
    # The player stops answering: the host rests his seat each time his turn's time runs
    # out, and what he sends when he wakes up late is refused.
    until_commands "$dir/host.record" 60
    pkill -STOP -P "$playerpid"
    sleep 3
    pkill -CONT -P "$playerpid"
    grep -q "time ran out" "$dir/host.err" || fail "$name: the host never rested the stopped player's seat"
    ;;
  host)
    until_commands "$dir/host.record" 60
    pkill -KILL -P "$hostpid"
    wait "$hostpid" 2>/dev/null
    wait "$playerpid"
    status=$?
    [ "$status" -eq 2 ] || fail "$name: the player ended with $status when the host was lost"
    port="${invitation#velcor://127.0.0.1:}"
    port="${port%%#*}"
    before="$invitation"
    host "$dir" --data "$data" --host "$port" --resume "$dir/host.record" --months 120 --clock 1000 \
      --save "$dir/host.txt" --events "$dir/host.events"
    [ "$invitation" = "$before" ] || fail "$name: the resumed host gave another invitation"
    join "$dir" "${play[@]}"
    ;;
  esac
  wait "$playerpid" || fail "$name: the player failed: $(head -c 300 "$dir/p.err")"
  wait "$hostpid" || fail "$name: the host failed: $(head -c 300 "$dir/host.err")"
  for f in txt events record; do
    cmp -s "$dir/host.$f" "$dir/p.$f" || fail "$name: the host's and the player's $f differ"
  done
  # The host rested a seat whose time ran out: no game at one screen plays so; the
  # host's record played back comes to its save.
  if [ "$screen" = - ]; then
    "$velcor" --headless --data "$data" --replay "$dir/host.record" --save "$dir/replayed.txt" >/dev/null 2>&1 &&
      cmp -s "$dir/host.txt" "$dir/replayed.txt" || fail "$name: the host's record does not play back to its save"
    continue
  fi
  # shellcheck disable=SC2086
  "$velcor" --headless "${game[@]}" $screen "${play[@]:2}" --record "$dir/one.record" --save "$dir/one.txt" \
    --events "$dir/one.events" >/dev/null 2>&1 || fail "$name: the game at one screen failed"
  cmp -s "$dir/host.txt" "$dir/one.txt" || fail "$name: the save differs from the game at one screen"
  # The record plays the same steps on the same readings: only the seats word of its
  # start and of a change of hands (a remote seat's letter against a person's) and the
  # checksum over them differ.
  seatless() { sed -E -e '/^start /s/ [-pra0-3]{15}$//' -e '/^seat /s/ [-pra0-3]$//' -e '/^crc32 /d' "$1"; }
  cmp -s <(seatless "$dir/host.record") <(seatless "$dir/one.record") ||
    fail "$name: the record differs from the game at one screen"
  # A seat's change of hands is an event that names the kind of seat.
  [ "$name" != "handed over" ] && ! cmp -s "$dir/host.events" "$dir/one.events" &&
    fail "$name: the events differ from the game at one screen"
done
[ "$failures" -eq 0 ] && echo "network game: all $n cases passed"
exit $((failures > 0))
