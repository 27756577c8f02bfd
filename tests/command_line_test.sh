#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program from outside: without a display, with a file name that is not UTF-8, and
# ended by a signal. Usage: command_line_test.sh VELCOR DATA_DIR
set -uo pipefail
velcor="$1"
data="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR="$work/xdg" ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
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

# A picture of a saved game leaves the player's settings, recent files and autosaves
# as they were.
mkdir "$work/home"
expect 0 "a picture of a saved game" env HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
  XDG_DATA_HOME="$work/data" "$velcor" --data "$data" --load "$work/$sjis.txt" --screenshot "$work/shot.png"
written="$(find "$work/config" "$work/data" -type f 2>/dev/null)"
[ -z "$written" ] || fail "a picture wrote into the player's folders: $written"

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
