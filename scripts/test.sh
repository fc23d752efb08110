#!/usr/bin/env bash
# Installs what is missing, builds libzarvo with its tests and runs every test.
# Runs under Xvfb when there is no display. Exits non-zero on any failure.
#   BUILD_DIR     build directory (default: build)
#   ZV_CMAKE_ARGS extra arguments for cmake's configure step
#   CTEST_ARGS    extra arguments for ctest (for instance "-L soak" or "-R Image")
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD="${BUILD_DIR:-build}"
# Configured exactly as scripts/demo.sh configures it, so that after the demo only the tests
# are left to compile (and after the tests, nothing is left for the demo). The examples are
# built here too: they must compile with warnings as errors as well.
# shellcheck disable=SC2086
bash scripts/configure.sh "$BUILD" ${ZV_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"

run() { bash scripts/with-display.sh "$@"; }
# Leaks inside the system GL driver and fontconfig are suppressed; ours never are.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# shellcheck disable=SC2086
# One test at a time: the X server now and then refuses a connection made at the same
# moment as another one, which would fail an unrelated test at random.
run ctest --test-dir "$BUILD" --output-on-failure ${CTEST_ARGS:-}
