#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The long soak of the headless game: every scenario, every ruler it offers, CLOCKS
# fixed clocks each, runs of up to YEARS years, the world checked after each of the
# player's turns and saved and reloaded along the way. Builds the default preset's
# soak test first when needed.
#
#   scripts/soak.sh [YEARS] [CLOCKS]      (default: 1000 years, 50 clocks)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
years="${1:-1000}"
clocks="${2:-50}"
for value in "$years" "$clocks"; do
  if ! [[ "$value" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [YEARS] [CLOCKS]  (whole numbers from 1)" >&2
    exit 2
  fi
done
cd "$here"
[ -f build/default/build.ninja ] || cmake --preset default >/dev/null
cmake --build --preset default --target soak_test -j "${VELCOR_BUILD_JOBS:-$(nproc)}"
echo "soak: $years years a run, $clocks clocks per ruler"
VELCOR_SOAK_YEARS="$years" VELCOR_SOAK_CLOCKS="$clocks" exec build/default/tests/soak_test
