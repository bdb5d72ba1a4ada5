#!/usr/bin/env bash
# Builds the test configuration (Debug, warnings as errors, ASan + UBSan) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DDORVALEN_WERROR=ON -DDORVALEN_SANITIZE=ON -DDORVALEN_TESTS=ON >/dev/null
cmake --build "$build" -j2

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j2 "$@"
