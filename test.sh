#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and runs every test: first the plain build, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the tests
# that run the turn worker beside the windows under ThreadSanitizer, then a short run
# of each fuzz target, then the game in a browser (built with emscripten, its engine
# against the pinned games under node, its page in chromium).
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

# ThreadSanitizer: the engine and the windows with a real worker thread, including
# closing the program in the middle of the computer's turn and of a battle. Qt's own
# libraries are not instrumented, so their internal locking is invisible to the
# checker; it looks at the accesses our code makes (the worker never calls Qt).
echo "== tsan =="
[ -f build/tsan/build.ninja ] || cmake --preset tsan >/dev/null
tsan_tests=(rules_test model_test platform_qt_test gui_test)
cmake --build --preset tsan --target "${tsan_tests[@]}"
for t in "${tsan_tests[@]}"; do
  XDG_RUNTIME_DIR="$here/build/tsan/xdg-runtime" \
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1" \
    timeout 600 "build/tsan/tests/$t" --gtest_brief=1
done

echo "== fuzz =="
"$here/scripts/fuzz.sh" 20

echo "== web =="
"$here/scripts/web-test.sh"
echo "All tests passed."
