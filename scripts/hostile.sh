#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Hands the game bad files and bad names, each through both ways of loading a game:
#
#   velcor --headless --load F --months 1 --save OUT
#   velcor --load F --screenshot OUT.png           (Qt's offscreen platform)
#
# each under `timeout 10` (and a SIGKILL 5 s later). Nothing may hang or crash; a refused file ends with status
# 2, a message on standard error and no OUT; an accepted one with status 0 and OUT
# written. Both ways must agree on every file. The cases: every cut of a save at 0..171
# lines; every number line (and neighbour list) replaced by a huge, a negative, a
# non-numeric, an empty and a 10 MB value; odd file names; a FIFO, a socket, a folder,
# /dev/zero, a loop of links, a dangling link, a 2 GB sparse file; a FIFO and a 3 GB
# sparse file as the chronicle beside a save, and such a difficulty. Bundles of a save
# and its companions: cut, oversized, parts that disagree with their size or CRC-32, a
# part named twice or unknown, another version. Records played
# again after a change, signed again: each command the rules refuse, numbers out of
# range, CR LF line ends, the options a replay would ignore, and steps the rules allow
# that lead the game away from the save the record is tied to. Then the outputs: each
# of --save, --events, --csv and the picture must refuse, with status 2 and the target
# untouched, the loaded file under another name, a read-only file and what is not a
# plain file; no output may be a file a save keeps beside itself; and each file a save
# keeps beside itself is held to the save's rule and never written through a link.
#
#   scripts/hostile.sh [--quick] [VELCOR]
#
# --quick runs a sample with every kind of break (the test suite's part, well under a
# minute). VELCOR defaults to build/default/src/velcor. Prints one line per failure and
# the figures; exit status 0 when there is none.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
quick=0
if [ "${1:-}" = "--quick" ]; then
  quick=1
  shift
fi
velcor="${1:-$here/build/default/src/velcor}"
[ -x "$velcor" ] || { echo "usage: $0 [--quick] [VELCOR]  (no program at $velcor)" >&2; exit 2; }
data="$here/data"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Folders of this run's own in place of the user's, which other runs may be using.
mkdir -m 700 "$work/xdg" "$work/home" "$work/config" "$work/data" "$work/cache"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" \
  XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
cases=0 refused=0 accepted=0 hangs=0 crashes=0 failures=0
start=$SECONDS

fail() {
  failures=$((failures + 1))
  echo "FAIL $*"
}

# run NAME MODE FILE: one load; sets result to refused or accepted, or to failed after
# reporting why.
run() {
  local name="$1" mode="$2" file="$3" out status
  result=failed
  rm -f "$work/out.txt" "$work/out.png" "$work/err"
  if [ "$mode" = headless ]; then
    out="$work/out.txt"
    timeout -k 5 10 "$velcor" --headless --data "$data" --load "$file" --months 1 --save "$out" \
      >/dev/null 2>"$work/err"
  else
    out="$work/out.png"
    timeout -k 5 10 "$velcor" --data "$data" --load "$file" --screenshot "$out" >/dev/null 2>"$work/err"
  fi
  status=$?
  case "$status" in
    0)
      if [ -s "$out" ]; then result=accepted; else fail "$name ($mode): status 0 but nothing written"; fi ;;
    2)
      if ! grep -q '^velcor: ' "$work/err"; then
        fail "$name ($mode): refused without a message"
      elif [ -e "$out" ]; then
        fail "$name ($mode): refused but wrote $out"
      else
        result=refused
      fi ;;
    124 | 137) # ended by timeout's SIGTERM, or by its SIGKILL 5 s later
      hangs=$((hangs + 1))
      fail "$name ($mode): still running after 10 s" ;;
    *)
      local shown=300
      # A crash keeps its whole report (a sanitizer's trace), to be read from the failure.
      if [ "$status" -gt 128 ]; then
        crashes=$((crashes + 1))
        shown=20000
      fi
      fail "$name ($mode): status $status: $(head -c "$shown" "$work/err")" ;;
  esac
}

# check NAME FILE [EXPECT]: both ways; EXPECT is refused or accepted where the rule
# fixes the outcome.
check() {
  local name="$1" file="$2" expect="${3:-}" a b
  cases=$((cases + 1))
  run "$name" headless "$file"
  a="$result"
  run "$name" screenshot "$file"
  b="$result"
  [ "$a" = failed ] || [ "$b" = failed ] && return
  [ "$a" = "$b" ] || fail "$name: headless $a, screenshot $b"
  [ -z "$expect" ] || [ "$a" = "$expect" ] || fail "$name: $a, expected $expect"
  case "$a" in refused) refused=$((refused + 1)) ;; accepted) accepted=$((accepted + 1)) ;; esac
}

# The save of a game in progress: the first turn of scenario 1 as 劉備.
good="$work/good.txt"
"$velcor" --headless --data "$data" --scenario 1 --ruler 1 --months 0 --clock 1700000000 --save "$good" \
  >/dev/null 2>&1 || { echo "cannot make a save to start from" >&2; exit 1; }
[ "$(wc -l <"$good")" -eq 172 ] || { echo "the save is not of 172 lines" >&2; exit 1; }

# Writes the save with line N (1-based) replaced by what the command given prints.
with_line() {
  local n="$1"
  shift
  head -n $((n - 1)) "$good"
  "$@"
  printf '\r\n'
  tail -n +$((n + 1)) "$good"
}

check "the save itself" "$good" accepted

# Cut short: every count of whole lines, and a cut in the middle of a line.
if [ "$quick" -eq 1 ]; then cuts=(0 1 4 41 171); else cuts=($(seq 0 171)); fi
for n in "${cuts[@]}"; do
  head -n "$n" "$good" >"$work/cut.txt"
  check "cut after $n lines" "$work/cut.txt" refused
done
head -c 500 "$good" >"$work/cut.txt"
check "cut after 500 bytes" "$work/cut.txt" refused

# Line 1, 2, 3, 4 and items 2..12 of each country: the numbers and the neighbour lists.
if [ "$quick" -eq 1 ]; then
  number_lines=(1 2 6 7 172)
else
  number_lines=(1 2 3 4)
  for c in $(seq 0 13); do
    for item in $(seq 2 12); do number_lines+=($((4 + 12 * c + item))); done
  done
fi
ten_mb="$work/ten-mb"
head -c 10485760 /dev/zero | tr '\0' '7' >"$ten_mb"
for n in "${number_lines[@]}"; do
  for kind in huge negative text empty 10MB; do
    case "$kind" in
      huge) with_line "$n" printf '%s' 99999999999999999999 ;;
      negative) with_line "$n" printf '%s' -7 ;;
      text) with_line "$n" printf '%s' abc ;;
      empty) with_line "$n" true ;;
      10MB) with_line "$n" cat "$ten_mb" ;;
    esac >"$work/num.txt"
    # Line 1 names the player's ruler: nothing but 1..15 will do.
    expect=""
    [ "$n" -eq 1 ] && expect=refused
    check "line $n $kind" "$work/num.txt" "$expect"
  done
done
rm -f "$ten_mb"

# Odd names, all of a good save: spaces, a leading dash, a line end, Shift-JIS bytes, the
# longest name there is; and names that cannot be files.
names=("with space.txt" "-dash.txt" $'line\nend.txt' $'\x95\x5c\x8e\xa6.txt' "$(printf 'n%.0s' $(seq 251)).txt")
for name in "${names[@]}"; do
  cp "$good" "$work/$name"
  check "name $(printf '%q' "$name" | head -c 40)" "$work/$name" accepted
done
check "a name too long" "$work/$(printf 'n%.0s' $(seq 300)).txt" refused
check "a path through a file" "$good/x.txt" refused
check "a missing file" "$work/missing.txt" refused

# Things that are not plain files.
mkfifo "$work/fifo"
check "a FIFO" "$work/fifo" refused
python3 -c 'import socket,sys; s=socket.socket(socket.AF_UNIX); s.bind(sys.argv[1])' "$work/socket" 2>/dev/null &&
  check "a socket" "$work/socket" refused
mkdir "$work/folder"
check "a folder" "$work/folder" refused
check "/dev/zero" /dev/zero refused
ln -s loop-b "$work/loop-a"
ln -s loop-a "$work/loop-b"
check "a loop of links" "$work/loop-a" refused
ln -s nowhere.txt "$work/dangling"
check "a dangling link" "$work/dangling" refused
truncate -s 2G "$work/sparse.txt"
check "a 2 GB sparse file" "$work/sparse.txt" refused

# Bundles of the save (one file with what it keeps beside it): a good one of the save
# and seats is played; cut, oversized, a part whose size or CRC-32 disagrees, a part
# named twice, an unknown part, another version and no save are refused.
printf 'P1P\r\n' >"$work/seats-part"
bundle() { # bundle OUT [VERSION] NAME FILE...: the head from the files as they are
  python3 - "$@" <<'PY'
import sys, zlib
out, version, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
parts = [(rest[i], open(rest[i + 1], 'rb').read()) for i in range(0, len(rest), 2)]
head = 'VELCOR-BUNDLE %s\n' % version + ''.join('%s %d %08x\n' % (n, len(b), zlib.crc32(b)) for n, b in parts)
open(out, 'wb').write(head.encode() + b'\n' + b''.join(b for _, b in parts))
PY
}
bundle "$work/good.velcor" 1 save "$good"
check "a bundle" "$work/good.velcor" accepted
size=$(stat -c %s "$work/good.velcor")
head -c $((size - 1)) "$work/good.velcor" >"$work/b.velcor"
check "a bundle cut short" "$work/b.velcor" refused
head -c 40 "$work/good.velcor" >"$work/b.velcor"
check "a bundle cut in its head" "$work/b.velcor" refused
{ cat "$work/good.velcor"; printf 'x'; } >"$work/b.velcor"
check "a bundle with bytes left over" "$work/b.velcor" refused
bundle "$work/b.velcor" 1 save "$good" save "$good"
check "a bundle naming the save twice" "$work/b.velcor" refused
bundle "$work/b.velcor" 1 save "$good" "../outside" "$good"
check "a bundle with an unknown part" "$work/b.velcor" refused
bundle "$work/b.velcor" 2 save "$good"
check "a bundle of another version" "$work/b.velcor" refused
bundle "$work/b.velcor" 1 seats "$work/seats-part"
check "a bundle without a save" "$work/b.velcor" refused
sed '2s/ [0-9a-f]*$/ 00000000/' "$work/good.velcor" >"$work/b.velcor"
check "a bundle whose CRC-32 disagrees" "$work/b.velcor" refused
sed '2s/^save \([0-9]*\)/save 1\1/' "$work/good.velcor" >"$work/b.velcor"
check "a bundle whose size disagrees" "$work/b.velcor" refused
head -c 20000000 /dev/zero >"$work/zeros"
bundle "$work/b.velcor" 1 save "$work/zeros"
check "a bundle with an oversized part" "$work/b.velcor" refused
{ cat "$work/good.velcor"; head -c 34000000 /dev/zero; } >"$work/b.velcor"
check "an oversized bundle" "$work/b.velcor" refused
rm -f "$work/zeros" "$work/b.velcor"

# A save whose chronicle beside it is not a plain file or is far too large: the save
# loads all the same, its chronicle set aside unread.
cp "$good" "$work/beside-fifo"
mkfifo "$work/beside-fifo.chronicle.jsonl"
check "a FIFO as the chronicle" "$work/beside-fifo" accepted
cp "$good" "$work/beside-huge"
truncate -s 3G "$work/beside-huge.chronicle.jsonl"
check "a 3 GB chronicle" "$work/beside-huge" accepted

# A save whose difficulty beside it is not a plain file, is far too large or is binary:
# the save loads all the same, at normal, the difficulty set aside.
cp "$good" "$work/diff-fifo"
mkfifo "$work/diff-fifo.difficulty"
check "a FIFO as the difficulty" "$work/diff-fifo" accepted
cp "$good" "$work/diff-huge"
truncate -s 3G "$work/diff-huge.difficulty"
check "a 3 GB difficulty" "$work/diff-huge" accepted
if [ "$quick" -eq 0 ]; then
  cp "$good" "$work/diff-folder"
  mkdir "$work/diff-folder.difficulty"
  check "a folder as the difficulty" "$work/diff-folder" accepted
  cp "$good" "$work/diff-binary"
  head -c 300 /dev/urandom >"$work/diff-binary.difficulty"
  check "a binary difficulty" "$work/diff-binary" accepted
fi

# Records played again (velcor --headless --replay), changed and signed again with
# their crc32 line recomputed: a replay plays only what the rules allow, so a command
# they refuse (and a number out of range) is refused at its line, with status 2 and no
# save; a step the rules allow plays. Line ends changed to CR LF read as the record.
rec="$work/rec.txt.record"
"$velcor" --headless --data "$data" --scenario 1 --ruler 1 --months 3 --clock 1700000000 --save "$work/rec.txt" \
  --record "$rec" >/dev/null 2>&1 || { echo "cannot make a record to start from" >&2; exit 1; }
# The player's country at his first turn (the cursor of the save made there), a country
# not his, one not its neighbour and a neighbour of another ruler.
own="$(sed -n 2p "$good" | tr -d '\r')"
neighbours=",$(sed -n "$((4 + 12 * own + 2))p" "$good" | tr -d '\r'),"
other=$(((own + 1) % 14))
far=""
hostile=""
for c in $(seq 0 13); do
  [ "$c" -eq "$own" ] && continue
  case "$neighbours" in
    *",$c,"*) [ -z "$hostile" ] && [ "$(sed -n "$((4 + 12 * c + 3))p" "$good" | tr -d '\r')" != 1 ] && hostile=$c ;;
    *) [ -z "$far" ] && far=$c ;;
  esac
done
# resign IN OUT: IN without its last line, then the crc32 line of those bytes.
resign() {
  head -n -1 "$1" >"$2"
  printf 'crc32 %s\n' "$(gzip -c <"$2" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n')" >>"$2"
}
# with_steps STEP...: the record with these steps given at the player's first turn,
# signed again.
with_steps() {
  LC_ALL=C awk -v added="$(printf '%s\n' "$@")" -v count=$# '
    /^steps [0-9]+$/ && !counted { counted = 1; print "steps " ($2 + count); next }
    $0 == "rest" && !done { done = 1; print added }
    { print }' "$rec" >"$work/unsigned.record"
  resign "$work/unsigned.record" "$work/changed.record"
}
# replay NAME EXPECT [OPTION...]: the changed record played again.
replay() {
  local name="$1" expect="$2" status result
  shift 2
  cases=$((cases + 1))
  rm -f "$work/out.txt"
  timeout -k 5 10 "$velcor" --headless --data "$data" --replay "$work/changed.record" --save "$work/out.txt" "$@" \
    >/dev/null 2>"$work/err"
  status=$?
  case "$status" in
    0) result=accepted ;;
    2) result=refused ;;
    124 | 137) hangs=$((hangs + 1)); fail "replay $name: still running after 10 s"; return ;;
    *) [ "$status" -gt 128 ] && crashes=$((crashes + 1)); fail "replay $name: status $status: $(head -c 300 "$work/err")"; return ;;
  esac
  if [ "$result" != "$expect" ]; then
    fail "replay $name: $result, expected $expect: $(head -c 300 "$work/err")"
  elif [ "$result" = refused ] && { [ -e "$work/out.txt" ] || ! grep -q '^velcor: ' "$work/err"; }; then
    fail "replay $name: refused without a message or with a save"
  else
    case "$result" in refused) refused=$((refused + 1)) ;; accepted) accepted=$((accepted + 1)) ;; esac
  fi
}
# refused_step NAME STEP...: refused at a line the record was changed at.
refused_step() {
  local name="$1"
  shift
  with_steps "$@"
  replay "$name" refused
  grep -q '記録が壊れています' "$work/err" || fail "replay $name: not said to be damaged: $(head -c 300 "$work/err")"
}
cp "$rec" "$work/changed.record"
replay "the record as written" accepted
cp "$work/out.txt" "$work/replayed.txt"
# A step the rules allow plays, but the game no longer meets the save the record was
# written beside: refused at its save line, unless it is tied to no save or played only
# part way.
# refused_at_save NAME: the changed record refused at its save line.
refused_at_save() {
  replay "$1" refused
  grep -q "記録が壊れています ($(grep -n '^save ' "$work/changed.record" | cut -d: -f1) 行目)" "$work/err" ||
    fail "replay $1: not refused at its save line: $(head -c 300 "$work/err")"
}
with_steps rest
refused_at_save "an extra rest"
replay "an extra rest, played part way" accepted --months 1
LC_ALL=C awk -v own="$own" '{ line[NR] = $0 } $0 == "rest" { last = NR }
  END { for (i = 1; i <= NR; i++) { if (i == last) print "domestic train " own; print line[i] } }' "$rec" |
  LC_ALL=C awk '/^steps [0-9]+$/ && !done { done = 1; print "steps " ($2 + 1); next } { print }' >"$work/unsigned.record"
resign "$work/unsigned.record" "$work/changed.record"
refused_at_save "a command added at the last turn"
LC_ALL=C sed 's/^save .*/save none/' "$work/unsigned.record" >"$work/untied.record"
resign "$work/untied.record" "$work/changed.record"
replay "a command added at the last turn, tied to no save" accepted
# A game of two people whose start names the other as its first player.
"$velcor" --headless --data "$data" --scenario 1 --ruler 1 --seat 2=rest --months 3 --clock 1700000000 \
  --save "$work/two.txt" --record "$work/two.record" >/dev/null 2>&1 || { echo "cannot make a record of two" >&2; exit 1; }
LC_ALL=C sed 's/^start new 1 /start new 2 /' "$work/two.record" >"$work/unsigned.record"
resign "$work/unsigned.record" "$work/changed.record"
refused_at_save "another first player"
refused_step "a domestic command in country 99" "domestic train 99"
refused_step "a domestic command in country -1" "domestic train -1"
refused_step "a domestic command in country 2147483647" "domestic train 2147483647"
refused_step "a domestic command in a country not the player's" "domestic train $other"
refused_step "a move of -1 soldiers" "move $own $hostile -1 0 0"
refused_step "a move of 2147483647 funds" "move $own $hostile 0 0 2147483647"
refused_step "a move to a country not a neighbour" "move $own $far 1 0 0"
refused_step "a move to itself" "move $own $own 1 0 0"
refused_step "a move from a country not the player's" "move $other $own 1 0 0"
refused_step "a war on itself" "war $own $own"
refused_step "a war on a country not a neighbour" "war $own $far"
refused_step "a war on country 99" "war $own 99"
refused_step "two commands in one turn" "war $own $hostile" "war $own $hostile"
LC_ALL=C sed 's/^\(save [0-9a-f]* [0-9]*\) [-0-9]*$/\1 99/' "$rec" >"$work/unsigned.record"
resign "$work/unsigned.record" "$work/changed.record"
replay "a save's cursor of 99" refused
LC_ALL=C sed 's/\r\{0,1\}$/\r/' "$rec" >"$work/changed.record"
replay "CR LF line ends" accepted
cmp -s "$work/out.txt" "$work/replayed.txt" || fail "replay CR LF line ends: another game than the record's"
# Fewer readings than the game wants: the same game at every run (a second apart).
if [ "$quick" -eq 0 ]; then
  # Tied to no save: the game goes elsewhere than the save once its readings run out.
  LC_ALL=C awk '/^readings [0-9]+$/ { n = int($2 / 2); print "readings " n; skip = $2 - n; kept = n; next }
    kept > 0 { kept--; print; next } skip > 0 { skip--; next } /^save / { print "save none"; next } { print }' \
    "$rec" >"$work/unsigned.record"
  resign "$work/unsigned.record" "$work/changed.record"
  replay "half its readings" accepted
  cp "$work/out.txt" "$work/first-run.txt"
  sleep 1
  replay "half its readings, again" accepted
  cmp -s "$work/out.txt" "$work/first-run.txt" || fail "replay half its readings: another game at another run"
fi
# Options the replay would ignore are refused as --clock and --games are.
cp "$rec" "$work/changed.record"
for option in "--difficulty hard" "--player advisor" "--advise" "--rollouts 4" "--horizon 2" "--clock 1" "--games 2"; do
  # shellcheck disable=SC2086 # an option and its value
  replay "with $option" refused $option
done

# Outputs: every file the program writes (--save, --events, --csv of --games, the
# picture) refuses the same bad targets, before anything is played: the file the game
# is loaded from under any of its names, a read-only file (whoever runs the program),
# and what is not a plain file. Each target must stay as it was.
out_cases=0
# refuse_output NAME TARGET [hard]: each output in turn names TARGET, each time with a
# fresh copy of the save loaded (and with hard, TARGET made a second name of it).
loaded="$work/loaded.txt"
refuse_output() {
  local name="$1" target="$2" before after how status
  for how in save events csv screenshot; do
    out_cases=$((out_cases + 1))
    cp "$good" "$loaded"
    [ "${3:-}" = hard ] && ln -f "$loaded" "$target"
    before="$(stat -L -c '%F %s %Y' "$target" 2>&1; [ -f "$target" ] && md5sum <"$target")"
    case "$how" in
      save | events) timeout -k 5 10 "$velcor" --headless --data "$data" --load "$loaded" --months 1 "--$how" "$target" ;;
      csv) timeout -k 5 10 "$velcor" --headless --data "$data" --load "$loaded" --months 1 --games 1 --jobs 1 --csv "$target" ;;
      screenshot) timeout -k 5 10 "$velcor" --data "$data" --load "$loaded" --screenshot "$target" ;;
    esac >/dev/null 2>"$work/err"
    status=$?
    after="$(stat -L -c '%F %s %Y' "$target" 2>&1; [ -f "$target" ] && md5sum <"$target")"
    if [ "$status" -ne 2 ] || ! grep -q '^velcor: ' "$work/err"; then
      fail "output $name (--$how): status $status: $(head -c 300 "$work/err")"
    elif [ "$before" != "$after" ]; then
      fail "output $name (--$how): the target changed"
    fi
  done
}
refuse_output "the loaded file" "$loaded"
refuse_output "the loaded file as ./name" "$work/./loaded.txt"
ln -s loaded.txt "$work/link-to-loaded.txt"
refuse_output "a link to the loaded file" "$work/link-to-loaded.txt"
refuse_output "a second name of the loaded file" "$work/hard-link.txt" hard
printf 'kept\n' >"$work/read-only.txt"
chmod 0444 "$work/read-only.txt"
refuse_output "a read-only file" "$work/read-only.txt"
refuse_output "a FIFO" "$work/fifo"
refuse_output "a folder" "$work/folder"
refuse_output "/dev/full" /dev/full

# A file a save keeps beside itself is no other output's: the save's difficulty is not
# the record, its record not the events, and a record read is not the save's to remove.
for how in "--record $work/cp.txt.difficulty" "--events $work/cp.txt.record" "--replay $work/cp.txt.record"; do
  out_cases=$((out_cases + 1))
  cp "$good" "$work/cp.txt"
  cp "$rec" "$work/cp.txt.record"
  printf 'hard\n1 2\n' >"$work/cp.txt.difficulty"
  before="$(md5sum "$work/cp.txt" "$work/cp.txt.record" "$work/cp.txt.difficulty")"
  case "$how" in
    --replay*) set -- ;;
    *) set -- --load "$good" --months 1 ;;
  esac
  # shellcheck disable=SC2086 # an option and its file
  timeout -k 5 10 "$velcor" --headless --data "$data" "$@" $how --save "$work/cp.txt" >/dev/null 2>"$work/err"
  status=$?
  if [ "$status" -ne 2 ] || ! grep -q '^velcor: ' "$work/err"; then
    fail "output beside a save ($how): status $status: $(head -c 300 "$work/err")"
  elif [ "$before" != "$(md5sum "$work/cp.txt" "$work/cp.txt.record" "$work/cp.txt.difficulty")" ]; then
    fail "output beside a save ($how): a file changed"
  fi
done

# Every file a save keeps beside itself is held to the save's rule before anything is
# played (a folder, a read-only file, a FIFO refuse the run, each left as it was, and no
# save is written), and is never written through a link: a link in its place gives way,
# the file it names (another save's) left as it was. The game saved keeps two people at
# hard, so that its seats and its difficulty are written.
printf 'kept\n' >"$work/other.kept"
for suffix in seats difficulty chronicle.jsonl record; do
  for kind in folder read-only fifo link dangling; do
    out_cases=$((out_cases + 1))
    target="$work/beside.txt.$suffix"
    rm -rf "$work/beside.txt" "$target"
    case "$kind" in
      folder) mkdir "$target" ;;
      read-only) printf 'kept\n' >"$target" && chmod 0444 "$target" ;;
      fifo) mkfifo "$target" ;;
      link) ln -s other.kept "$target" ;;
      dangling) ln -s gone/nowhere "$target" ;;
    esac
    before="$(stat -c '%F' "$target"; md5sum <"$work/other.kept")"
    timeout -k 5 10 "$velcor" --headless --data "$data" --load "$good" --months 1 --seat 2=rest --difficulty hard \
      --save "$work/beside.txt" >/dev/null 2>"$work/err"
    status=$?
    case "$kind" in
      link | dangling)
        if [ "$status" -ne 0 ]; then
          fail "beside a save, .$suffix as a $kind: status $status: $(head -c 300 "$work/err")"
        elif [ -L "$target" ] || [ "$(md5sum <"$work/other.kept")" != "$(sed -n 2p <<<"$before")" ]; then
          fail "beside a save, .$suffix as a $kind: written through the link"
        fi ;;
      *)
        if [ "$status" -ne 2 ] || ! grep -q "^velcor: $target: " "$work/err"; then
          fail "beside a save, .$suffix as a $kind: status $status: $(head -c 300 "$work/err")"
        elif [ -e "$work/beside.txt" ] || [ "$before" != "$(stat -c '%F' "$target"; md5sum <"$work/other.kept")" ]; then
          fail "beside a save, .$suffix as a $kind: a file was written or changed"
        fi ;;
    esac
    chmod -f 0644 "$target"
  done
done
rm -rf "$work"/beside.txt*

echo "cases: $cases (each run twice: headless and screenshot), outputs: $out_cases"
echo "refused: $refused  accepted: $accepted  hangs: $hangs  crashes: $crashes  failures: $failures"
echo "time: $((SECONDS - start)) s"
[ "$failures" -eq 0 ]
