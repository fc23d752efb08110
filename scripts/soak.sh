#!/usr/bin/env bash
# Builds libzarvo with its tests and runs the soak tests alone (label "soak", left out of the
# default run): a 2 x 2 gallery drawn for 5000 frames with new data every frame, and 200
# windows made and destroyed with an image, a plot and a histogram each. Prints resident
# memory and owned OpenGL names before and after. Exits non-zero on any failure.
#   BUILD_DIR     build directory (default: build)
#   ZV_CMAKE_ARGS extra arguments for cmake's configure step
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD="${BUILD_DIR:-build}"
# The same configuration as scripts/test.sh's, so that its build is reused as it is.
# shellcheck disable=SC2086
bash scripts/configure.sh "$BUILD" ${ZV_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target soak_gl_test

run() { bash scripts/with-display.sh "$@"; }
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
status=0
# The two scenarios side by side: each measures its own process.
run ctest --test-dir "$BUILD" -C soak -L soak -j"$(nproc)" --output-on-failure || status=$?
grep -h '^\[soak\]' "$BUILD/Testing/Temporary/LastTest.log" || true
exit "$status"
