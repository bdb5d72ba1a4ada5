#!/usr/bin/env bash
# Builds the link tests with ThreadSanitizer in build/tsan and runs them.
# Qt itself is not instrumented; scripts/tsan.supp lists what that makes it misreport.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/tsan
tests=(tst_linkqueue tst_replies tst_sender tst_simulator tst_dbimages tst_controllersync)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DDORVALEN_WERROR=ON -DDORVALEN_TSAN=ON \
  -DDORVALEN_TESTS=ON -DDORVALEN_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${tests[@]}"

export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
ctest --test-dir "$build" --output-on-failure -R "^($(IFS='|'; echo "${tests[*]}"))\$" "$@"
