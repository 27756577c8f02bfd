#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start to first paint: runs the game RUNS times (default 20) under a real X server
# (Xvfb, 1920x1080) with fresh settings, each time from the moment before the process
# is started to the moment its window's first paint has reached the screen (the game
# prints that time with --first-paint and ends), and prints every run and the median
# in milliseconds. Needs Xvfb and xdotool.
#
#   scripts/first-paint.sh [VELCOR [RUNS [ZOOM]]]   # default build/default/src/velcor, 20, as remembered
set -euo pipefail
velcor="${1:-build/default/src/velcor}"
runs="${2:-20}"
zoom="${3:-}"
work="$(mktemp -d)"
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/xvfb.sh"
start_xvfb 1920x1080x24 "$work"

mkdir -m 700 "$work/runtime"
args=(--first-paint)
[ -n "$zoom" ] && args+=(--zoom "$zoom")
times=()
for i in $(seq "$runs"); do
  start=$(date +%s%N)
  painted=$(QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
            XDG_DATA_HOME="$work/data" "$velcor" "${args[@]}" 2>/dev/null | tail -n 1)
  ms=$(( (painted - start) / 1000000 ))
  times+=("$ms")
  echo "run $i: ${ms} ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "median start to first paint: ${median} ms over ${runs} runs"
