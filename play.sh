#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the game and starts it on the bundled data.
# Arguments are passed on to the game (for example --headless --scenario 1 --ruler 2).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/scripts/packages.sh"
"$here/scripts/ensure-packages.sh" "${VELCOR_BUILD_PACKAGES[@]}"

cd "$here"
[ -f build/play/build.ninja ] || cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELCOR_BUILD_TESTS=OFF -DVELCOR_BUILD_BENCH=OFF >/dev/null
cmake --build build/play
exec "$here/build/play/src/velcor" "$@"
