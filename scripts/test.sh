#!/usr/bin/env bash
# Runs every test: a normal build, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the worker and
# engine tests built with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
# Most cases wait on the serial line or on the logger's fixed pauses, so
# more of them run side by side than there are cores.
parallel=$((jobs * 3))

echo "== normal build"
# Warnings are errors in our own checks only: a packager's compiler may
# warn about things ours does not.
strict=-DKELVRY_WARNINGS_AS_ERRORS=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$strict" >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$parallel"

echo "== address and undefined-behaviour sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRY_SANITIZE=address,undefined "$strict" \
  -DKELVRY_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$parallel"

echo "== thread sanitizer (worker, link and job)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRY_SANITIZE=thread "$strict" \
  -DKELVRY_BUILD_UI=OFF -DKELVRY_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target kelvry_engine_tests kelvry_tools_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j"$parallel" -L 'engine|tools'
