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
mkdir -p build
# The browser's packages download and install while the game builds, and are all in
# place before the first test starts: a package that installs fonts or libraries while
# a test loads them (fontconfig rereads its caches) makes that test's run differ from
# every other.
web_packages_list=("${VELCOR_WEB_PACKAGES[@]}" "${VELCOR_WEB_TEST_PACKAGES[@]}")
command -v npm >/dev/null 2>&1 || web_packages_list+=(npm)
"$here/scripts/ensure-packages.sh" "${web_packages_list[@]}" >build/web-packages.log 2>&1 &
web_packages=$!
packages_ready() {
  [ -z "${web_packages:-}" ] && return 0
  if ! wait "$web_packages"; then
    cat build/web-packages.log >&2
    exit 1
  fi
  web_packages=""
}

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs="$(nproc)"

# A build made here compiles its files in batches (CMAKE_UNITY_BUILD): a third less work
# for a whole build. It keeps only line tables for debugging (-g1: the sanitizers' stack
# traces still name file and line), a fifth to a quarter less work again. For day-to-day
# edits configure without either (see DEVELOPERS.md).
test_build_flags=(-DCMAKE_UNITY_BUILD=ON
  "-DCMAKE_CXX_FLAGS_DEBUG=-g1" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")
run_preset() {
  local preset="$1"
  echo "== $preset =="
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" "${test_build_flags[@]}" >/dev/null
  cmake --build --preset "$preset"
  packages_ready
  ctest --preset "$preset" -j "$jobs"
}

run_preset default
# Under the sanitizers every test but the turn played through the accessibility tree:
# it holds the machine alone for half a minute, and the windows it drives are the ones
# the window tests already run under them.
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  run_preset asan

# ThreadSanitizer: the engine and the windows with a real worker thread, including
# closing the program in the middle of the computer's turn and of a battle. Qt's own
# libraries are not instrumented, so their internal locking is invisible to the
# checker; it looks at the accesses our code makes (the worker never calls Qt).
echo "== tsan =="
[ -f build/tsan/build.ninja ] || cmake --preset tsan "${test_build_flags[@]}" >/dev/null
tsan_tests=(rules_test model_test platform_qt_test gui_test)
cmake --build --preset tsan --target "${tsan_tests[@]}"
# The test programs run side by side; each one's output is shown whole when it ends.
tsan_failed=()
run_tsan() {
  XDG_RUNTIME_DIR="$here/build/tsan/xdg-runtime" \
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1" \
    timeout 600 "build/tsan/tests/$1" --gtest_brief=1 >"build/tsan/$1.log" 2>&1
}
tsan_pids=()
for t in "${tsan_tests[@]}"; do
  run_tsan "$t" &
  tsan_pids+=("$!")
done
for i in "${!tsan_tests[@]}"; do
  if ! wait "${tsan_pids[$i]}"; then tsan_failed+=("${tsan_tests[$i]}"); fi
  cat "build/tsan/${tsan_tests[$i]}.log"
done
if [ ${#tsan_failed[@]} -ne 0 ]; then
  echo "ThreadSanitizer runs failed: ${tsan_failed[*]}" >&2
  exit 1
fi

echo "== fuzz =="
"$here/scripts/fuzz.sh" 10

echo "== web =="
"$here/scripts/web-test.sh"
echo "All tests passed."
