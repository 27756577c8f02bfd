#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (preset fuzz, in build/fuzz) and runs each for
# SECONDS_PER_TARGET seconds (default 20) on a scratch copy of its seed corpus in
# fuzz/corpus/<target>/, so the committed seeds do not grow, with the tokens of
# fuzz/<target>.dict when there is one. Prints the executions per
# target; exits non-zero when any target finds a crash, a leak, a timeout or a broken
# rule. The input that did it is kept in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh          # twenty seconds, the four targets side by side
#   scripts/fuzz.sh 600      # ten minutes each
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-20}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS_PER_TARGET]" >&2
  exit 2
fi

source "$here/scripts/packages.sh"
"$here/scripts/ensure-packages.sh" "${VELCOR_FUZZ_PACKAGES[@]}"
cd "$here"

targets=(country_file_fuzzer scenario_file_fuzzer sjis_fuzzer save_bundle_fuzzer)
build=build/fuzz
[ -f "$build/build.ninja" ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

artifacts="$build/artifacts"
mkdir -p "$artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# The targets run side by side, each on one core, so the run takes SECONDS_PER_TARGET
# however many targets there are.
pids=()
for target in "${targets[@]}"; do
  work="$build/corpus-work/$target"
  log="$build/$target.log"
  rm -rf "$work" "$build/$target.status"
  mkdir -p "$work"
  cp fuzz/corpus/"$target"/* "$work"/
  echo "== $target: ${seconds} s =="
  options=(-max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/$target-")
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  ( status=0
    "$build/fuzz/$target" "${options[@]}" "$work" >"$log" 2>&1 || status=$?
    echo "$status" >"$build/$target.status" ) &
  pids+=("$!")
done
wait "${pids[@]}"

failed=()
summary=()
for target in "${targets[@]}"; do
  log="$build/$target.log"
  status="$(cat "$build/$target.status" 2>/dev/null || echo 1)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    grep -E 'ERROR|rule broken|SUMMARY|Test unit written|artifact_prefix' "$log" >&2 || true
    summary+=("$target: FAILED (exit $status, ${runs:-?} executions; log $log)")
  else
    summary+=("$target: ${runs:-?} executions, no crash")
  fi
done

echo "== fuzzing, ${seconds} s per target =="
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (inputs in $artifacts/)" >&2
  exit 1
fi
