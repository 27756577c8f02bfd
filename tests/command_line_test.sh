#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program from outside: without a display, with a file name that is not UTF-8, its
# outputs on a full disk and over the files it reads, a pipe as its settings file, and
# ended by a signal. Usage: command_line_test.sh VELCOR DATA_DIR
set -uo pipefail
velcor="$1"
data="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Folders of this run's own in place of the user's.
mkdir -m 700 "$work/xdg" "$work/user" "$work/user/home" "$work/user/config" "$work/user/data" "$work/user/cache"
export HOME="$work/user/home" XDG_CONFIG_HOME="$work/user/config" XDG_DATA_HOME="$work/user/data" \
  XDG_CACHE_HOME="$work/user/cache" XDG_RUNTIME_DIR="$work/xdg" ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
failures=0
fail() {
  failures=$((failures + 1))
  echo "FAIL $*"
}

# expect STATUS NAME COMMAND...: runs the command under timeout, output in out and err.
expect() {
  local want="$1" name="$2" status
  shift 2
  timeout -k 5 20 "$@" >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" -eq "$want" ] || fail "$name: status $status, expected $want: $(head -c 400 "$work/err")"
}

# Without a display: help and bad options need none; the windows say in one line what
# runs without one.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
expect 0 "--help without a display" "${nodisplay[@]}" "$velcor" --help
grep -q '^usage: velcor' "$work/out" || fail "--help printed no usage"
expect 2 "a bad option without a display" "${nodisplay[@]}" "$velcor" --frobnicate
grep -q 'unknown option --frobnicate' "$work/err" || fail "a bad option: $(cat "$work/err")"
expect 0 "the headless mode without a display" "${nodisplay[@]}" "$velcor" --headless --help
for display in "" ":4711"; do
  expect 2 "the windows without a display (DISPLAY=$display)" \
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$velcor"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "not one line without a display: $(cat "$work/err")"
  grep -q 'needs a display.*--headless.*QT_QPA_PLATFORM=offscreen' "$work/err" ||
    fail "the line does not say what runs without a display: $(cat "$work/err")"
done

# A saved game whose name is Shift-JIS bytes loads in both modes.
export QT_QPA_PLATFORM=offscreen
sjis=$'\x95\x5c\x8e\xa6'
"$velcor" --headless --data "$data" --scenario 1 --ruler 1 --months 0 --save "$work/$sjis.txt" >/dev/null 2>&1
expect 0 "a Shift-JIS name, headless" "$velcor" --headless --data "$data" --load "$work/$sjis.txt" --months 0
expect 0 "a Shift-JIS name, screenshot" "$velcor" --data "$data" --load "$work/$sjis.txt" --screenshot "$work/$sjis.png"
[ -s "$work/$sjis.png" ] || fail "no picture under the Shift-JIS name"

# A picture writes nothing but the picture: neither in the player's folders nor in the
# scratch folder, nor where it runs when there is no home folder, whether it resumes a
# game or starts one (which reaches a turn that would be kept as an autosave).
fresh() {
  rm -rf "$work/fresh"
  mkdir -p "$work/fresh/home" "$work/fresh/config" "$work/fresh/data" "$work/fresh/cache" "$work/fresh/tmp" \
    "$work/fresh/here"
}
in_fresh=(XDG_CONFIG_HOME="$work/fresh/config" XDG_DATA_HOME="$work/fresh/data" XDG_CACHE_HOME="$work/fresh/cache"
  TMPDIR="$work/fresh/tmp")
[ -e /.qttest ] && qttest_at_root=1 || qttest_at_root=0
for how in "--load $work/$sjis.txt" "--scenario 1 --ruler 1"; do
  for home in set unset; do
    fresh
    run=(env -C "$work/fresh/here" -u HOME)
    [ "$home" = set ] && run+=(HOME="$work/fresh/home")
    run+=("${in_fresh[@]}")
    # shellcheck disable=SC2086 # the words of $how are options
    expect 0 "a picture ($how, HOME $home)" "${run[@]}" "$velcor" --data "$data" $how --screenshot "$work/shot.png"
    [ -s "$work/shot.png" ] || fail "a picture ($how, HOME $home): no picture"
    written="$(find "$work/fresh" -mindepth 2)"
    [ -z "$written" ] || fail "a picture ($how, HOME $home) wrote more than the picture: $written"
    rm -f "$work/shot.png"
  done
done
[ "$qttest_at_root" -eq 1 ] || [ ! -e /.qttest ] || fail "a picture without a home folder wrote /.qttest"

# The outputs. Two options never write one file, nor an output a file the game reads.
game=(--headless --scenario 1 --ruler 1 --clock 1700000000)
expect 2 "--events and --save naming one file" "$velcor" "${game[@]}" --data "$data" --months 0 --events "$work/one.txt" \
  --save "$(dirname "$work/one.txt")/./one.txt"
[ -e "$work/one.txt" ] && fail "two outputs of one file: written"
mkdir "$work/datacopy"
cp "$data"/*.txt "$work/datacopy/"
expect 2 "--save naming a file of --data" "$velcor" "${game[@]}" --months 0 --data "$work/datacopy" \
  --save "$work/datacopy/country1.txt"
cmp -s "$data/country1.txt" "$work/datacopy/country1.txt" || fail "--save wrote over the data"

# A file that cannot be written whole (a limit on the size of files stands in for a full
# disk) keeps its previous bytes; the other outputs are written all the same, each
# failure is reported and the status is 1.
small_disk=(bash -c 'trap "" XFSZ; ulimit -f 8; exec "$@"' small_disk)
printf 'previous events\n' >"$work/events.jsonl"
expect 1 "--events on a full disk" "${small_disk[@]}" "$velcor" "${game[@]}" --data "$data" --months 24 \
  --events "$work/events.jsonl" --save "$work/after.txt"
[ "$(cat "$work/events.jsonl")" = "previous events" ] || fail "the events file was torn on a full disk"
[ "$(wc -l <"$work/after.txt" 2>/dev/null)" = 172 ] || fail "a failed --events kept --save from being written"
grep -q "events.jsonl: " "$work/err" || fail "the failed --events not reported: $(cat "$work/err")"
printf 'previous picture' >"$work/previous.png"
cp "$work/previous.png" "$work/shot.png"
expect 1 "--screenshot on a full disk" "${small_disk[@]}" "$velcor" --data "$data" --load "$work/$sjis.txt" \
  --screenshot "$work/shot.png"
cmp -s "$work/previous.png" "$work/shot.png" || fail "the picture was torn on a full disk"

# Printed lines that cannot be written fail the run with one line on standard error.
for printing in "--headless --data $data --scenario 1 --ruler 1 --months 0" "--headless --help" "--help"; do
  # shellcheck disable=SC2086 # the words of the command
  timeout -k 5 20 "$velcor" $printing >/dev/full 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "$printing >/dev/full: status $status"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$printing >/dev/full: not one line: $(cat "$work/err")"
done

# A pipe in the place of a settings file: the program starts from the default settings
# at once, says so, and leaves the pipe as it was.
for settings in Brakka/Velcor.conf Brakka.conf; do
  rm -rf "$work/fifo-config"
  mkdir -p "$work/fifo-config/Brakka"
  mkfifo "$work/fifo-config/$settings"
  expect 0 "a FIFO as $settings" env XDG_CONFIG_HOME="$work/fifo-config" "$velcor" --data "$data" --first-paint
  grep -q "settings file .*$settings" "$work/err" || fail "a FIFO as $settings: not said: $(cat "$work/err")"
  [ -p "$work/fifo-config/$settings" ] || fail "a FIFO as $settings: replaced"
done

# The gothic is found whatever language the locale lists the font families in (a
# Japanese locale names them in Japanese): no word about fonts under either locale.
for locale in ja_JP.UTF-8 C; do
  expect 0 "a picture under LANG=$locale" env LANG="$locale" LC_ALL="$locale" LANGUAGE=ja HOME="$work/home" \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    "$velcor" --data "$data" --scenario 1 --ruler 2 --clock 1700000000 --screenshot "$work/locale.png"
  ! grep -qi 'font' "$work/err" || fail "fonts under LANG=$locale: $(cat "$work/err")"
done

# A signal ends the windowed program with status 0, and a second one is not ignored.
"$velcor" --data "$data" >/dev/null 2>&1 &
pid=$!
sleep 2
kill -TERM "$pid"
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  fail "still running 5 s after SIGTERM"
  kill -KILL "$pid"
fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "status $status after SIGTERM"

echo "failures: $failures"
[ "$failures" -eq 0 ]
