#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A check of the checks: applies small breaks of the code one at a time to a scratch
# copy of the tree, rebuilds only what a break touches, runs the test programs that
# should notice it and prints for each break "caught by <test>" or "not caught".
# A developer's tool: slow, and not part of ./test.sh.
#
#   scripts/mutate.sh [--list FILE] [--keep-going] [--applies] [NAME-PATTERN...]
#
#   --list FILE    the breaks (default scripts/mutations.txt; its head says the format)
#   --keep-going   run every test program of a break even after one has caught it
#   --applies      only check that every break still finds its text (seconds, no build)
#   NAME-PATTERN   only the breaks whose name contains one of these texts
#
# The scratch copy and its one build directory live in $VELCOR_MUTATE_DIR (default
# /tmp/velcor-mutate) and are reused by the next run, so that each break rebuilds only
# the files it changes. The real tree is never touched.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
list="$here/scripts/mutations.txt"
keep_going=0
applies_only=0
patterns=()
while [ $# -gt 0 ]; do
  case "$1" in
    --list) list="$2"; shift 2 ;;
    --keep-going) keep_going=1; shift ;;
    --applies) applies_only=1; shift ;;
    -h|--help) awk 'NR > 1 && !/^#/ { exit } NR > 1 && !/SPDX-License-Identifier/ { sub(/^# ?/, ""); print }' "$0"; exit 0 ;;
    *) patterns+=("$1"); shift ;;
  esac
done

scratch="${VELCOR_MUTATE_DIR:-/tmp/velcor-mutate}"
tree="$scratch/tree"
build="$scratch/build"
logs="$scratch/logs"
jobs="${VELCOR_BUILD_JOBS:-2}"
mkdir -p "$tree" "$build" "$logs"

# ---- The breaks ----
names=() files=() tests=() olds=() news=()
parse_list() {
  local name="" file="" test="" old=() new=() line key value
  flush() {
    if [ -n "$name" ]; then
      if [ -z "$file" ] || [ -z "$test" ] || [ "${#old[@]}" -eq 0 ] || [ "${#old[@]}" -ne "${#new[@]}" ]; then
        echo "mutate: the break '$name' needs a file, tests and as many 'new:' as 'old:' lines" >&2
        exit 2
      fi
      names+=("$name") files+=("$file") tests+=("$test")
      # The pairs of one break, joined by a separator no source line holds.
      local joined_old joined_new i
      joined_old="${old[0]}" joined_new="${new[0]}"
      for ((i = 1; i < ${#old[@]}; i++)); do
        joined_old+=$'\x1f'"${old[i]}" joined_new+=$'\x1f'"${new[i]}"
      done
      olds+=("$joined_old") news+=("$joined_new")
    fi
    name="" file="" test="" old=() new=()
  }
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
      '#'*) continue ;;
      '') flush; continue ;;
    esac
    key="${line%%:*}"
    value="${line#*:}"
    value="${value# }"
    case "$key" in
      break) flush; name="$value" ;;
      file) file="$value" ;;
      tests) test="$value" ;;
      old) old+=("$value") ;;
      new) new+=("$value") ;;
      *) echo "mutate: $list: cannot read '$line'" >&2; exit 2 ;;
    esac
  done <"$list"
  flush
}
parse_list

selected() {
  local name="$1" p
  [ "${#patterns[@]}" -eq 0 ] && return 0
  for p in "${patterns[@]}"; do
    [[ "$name" == *"$p"* ]] && return 0
  done
  return 1
}

# ---- The scratch copy ----
# Copies the files git knows (committed or not yet) that differ from the copy, with a
# fresh time, so that the build sees every change and nothing else.
sync_tree() {
  local f
  while IFS= read -r -d '' f; do
    [ -f "$here/$f" ] || continue
    if ! cmp -s "$here/$f" "$tree/$f"; then
      mkdir -p "$tree/$(dirname "$f")"
      cp "$here/$f" "$tree/$f"
    fi
  done < <(git -C "$here" ls-files -z --cached --others --exclude-standard)
}

# Replaces each old text (which must occur exactly once) by its new text in a file
# (by default the scratch copy's). "\n" in a text stands for a line break.
apply_break() {
  local file="$1" old="$2" new="$3" path="${4:-$tree/$1}"
  OLD="$old" NEW="$new" perl -0777 -i -e '
    my @old = split /\x1f/, $ENV{OLD}, -1;
    my @new = split /\x1f/, $ENV{NEW}, -1;
    local $/; my $text = <>;
    for my $i (0 .. $#old) {
      (my $o = $old[$i]) =~ s/\\n/\n/g;
      (my $n = $new[$i]) =~ s/\\n/\n/g;
      my $count = () = $text =~ /\Q$o\E/g;
      if ($count != 1) { print $text; print STDERR "found $count times: $old[$i]\n"; exit 3; }
      $text =~ s/\Q$o\E/$n/;
    }
    print $text;' "$path"
}

restore_file() {
  cp "$here/$1" "$tree/$1" # a fresh time: the next build compiles the original again
}

# ---- Building and running ----
targets_of() {
  local t out=()
  for t in $1; do
    if [ "$t" = pinned ]; then out+=(velcor); else out+=("$t"); fi
  done
  echo "${out[@]}"
}

# Runs one test program; prints what caught the break, if anything, and returns 0 when
# it did.
run_test() {
  local test="$1" log="$2" status=0
  if [ "$test" = pinned ]; then
    timeout 900 "$tree/scripts/pin-games.sh" --check "$build/src/velcor" >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] && return 1
    echo "pinned games ($(grep -m1 -o 'scenario[0-9]*-ruler[0-9]*-clock[0-9]*\.[a-z]*' "$log" || echo "exit $status"))"
    return 0
  fi
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$build/xdg-runtime" \
    timeout 900 "$build/tests/$test" --gtest_brief=1 --gtest_fail_fast=1 >"$log" 2>&1 || status=$?
  [ "$status" -eq 0 ] && return 1
  local failed
  failed="$(grep -m1 -o '^\[  FAILED  \] [A-Za-z0-9_/.]*' "$log" | sed 's/^\[  FAILED  \] //' || true)"
  if [ -n "$failed" ]; then
    echo "$test ($failed)"
  elif [ "$status" -eq 124 ]; then
    echo "$test (timed out)"
  else
    echo "$test (ended with status $status)"
  fi
  return 0
}

if [ "$applies_only" -eq 1 ]; then
  probe="$(mktemp)"
  trap 'rm -f "$probe"' EXIT
  bad=0
  count=0
  for i in "${!names[@]}"; do
    selected "${names[i]}" || continue
    count=$((count + 1))
    cp "$here/${files[i]}" "$probe"
    if ! apply_break "${files[i]}" "${olds[i]}" "${news[i]}" "$probe" 2>"$probe.err"; then
      echo "does not apply: ${names[i]}: $(cat "$probe.err")"
      bad=1
    fi
    rm -f "$probe.err"
  done
  echo "mutate: $count breaks checked"
  exit "$bad"
fi

echo "mutate: syncing the scratch copy in $tree"
sync_tree
if [ ! -f "$build/build.ninja" ]; then
  echo "mutate: configuring $build"
  cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELCOR_BUILD_BENCH=OFF >"$logs/configure.log"
fi

# Every test program the selected breaks use must build and pass before any break.
all_tests=()
for i in "${!names[@]}"; do
  selected "${names[i]}" || continue
  for t in ${tests[i]}; do
    [[ " ${all_tests[*]} " == *" $t "* ]] || all_tests+=("$t")
  done
done
[ "${#all_tests[@]}" -gt 0 ] || { echo "mutate: no break selected" >&2; exit 2; }
echo "mutate: building and running ${all_tests[*]} on the unbroken tree"
if ! nice cmake --build "$build" -j "$jobs" --target $(targets_of "${all_tests[*]}") >"$logs/baseline-build.log" 2>&1; then
  echo "mutate: the unbroken tree does not build; see $logs/baseline-build.log" >&2
  exit 1
fi
for t in "${all_tests[@]}"; do
  if caught="$(run_test "$t" "$logs/baseline-$t.log")"; then
    echo "mutate: $caught fails on the unbroken tree; see $logs/baseline-$t.log" >&2
    exit 1
  fi
done

tried=0
caught_count=0
not_caught=()
for i in "${!names[@]}"; do
  selected "${names[i]}" || continue
  name="${names[i]}" file="${files[i]}"
  tried=$((tried + 1))
  slug="$(printf '%s' "$name" | tr -c 'A-Za-z0-9' '-' | cut -c1-60)"
  trap 'restore_file "$file"' EXIT
  if ! apply_break "$file" "${olds[i]}" "${news[i]}" 2>"$logs/$slug.apply.log"; then
    restore_file "$file"
    echo "$tried. $name: NOT APPLIED ($(cat "$logs/$slug.apply.log"))"
    not_caught+=("$name (not applied)")
    continue
  fi
  result=""
  if ! nice cmake --build "$build" -j "$jobs" --target $(targets_of "${tests[i]}") >"$logs/$slug.build.log" 2>&1; then
    result="does not build"
  else
    for t in ${tests[i]}; do
      if found="$(run_test "$t" "$logs/$slug.$t.log")"; then
        result="${result:+$result, }$found"
        [ "$keep_going" -eq 1 ] || break
      fi
    done
  fi
  restore_file "$file"
  trap - EXIT
  if [ -z "$result" ]; then
    echo "$tried. $name: not caught"
    not_caught+=("$name")
  elif [ "$result" = "does not build" ]; then
    echo "$tried. $name: does not build (see $logs/$slug.build.log)"
    not_caught+=("$name (does not build)")
  else
    echo "$tried. $name: caught by $result"
    caught_count=$((caught_count + 1))
  fi
done

echo
echo "mutate: $tried breaks tried, $caught_count caught"
for n in "${not_caught[@]}"; do
  echo "  not caught: $n"
done
