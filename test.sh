#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: first the plain build, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, then a short
# run of each fuzz target.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/scripts/packages.sh"
"$here/scripts/ensure-packages.sh" "${VELCOR_BUILD_PACKAGES[@]}" "${VELCOR_TEST_PACKAGES[@]}"
cd "$here"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs="$(nproc)"

run_preset() {
  local preset="$1"
  echo "== $preset =="
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$jobs"
}

run_preset default
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  run_preset asan
echo "== fuzz =="
"$here/scripts/fuzz.sh" 20
echo "All tests passed."
