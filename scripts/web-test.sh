#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game in a browser, tested: builds it (scripts/web.sh), plays the pinned games
# with the engine under node (the native program's bytes, tests/pinned/), then calls the
# page's engine under node and drives the page in Debian's chromium (web/tests/, with
# puppeteer-core from npm as pinned by web/tests/package-lock.json). The native program the records are replayed with is
# VELCOR (default build/default/src/velcor, which ./test.sh has built).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/packages.sh"
"$here/scripts/ensure-packages.sh" "${VELCOR_WEB_TEST_PACKAGES[@]}"
command -v npm >/dev/null 2>&1 || "$here/scripts/ensure-packages.sh" npm
cd "$here"

"$here/scripts/web.sh"
"$here/scripts/pin-games.sh" --check build/web-cmake/velcor

tests=web/tests
if [ ! -f "$tests/node_modules/.package-lock.json" ] || [ "$tests/package-lock.json" -nt "$tests/node_modules/.package-lock.json" ]; then
  (cd "$tests" && npm ci --no-audit --no-fund --loglevel=error)
fi
VELCOR="${VELCOR:-$here/build/default/src/velcor}" node --test "$tests/"
