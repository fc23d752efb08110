#!/usr/bin/env bash
# Installs what is missing, builds libzarvo with its tests and runs every test: those that need
# no X server with DISPLAY unset, then those that do under Xvfb when there is no display.
# Exits non-zero on any failure.
#   BUILD_DIR     build directory (default: build)
#   ZV_CMAKE_ARGS extra arguments for cmake's configure step
#   CTEST_ARGS    extra arguments for both ctest runs (for instance "-R Image")
#   ZV_TEST_JOBS  tests run at a time (default: the number of cores)
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
# Tests run side by side, as many at a time as there are cores (ZV_TEST_JOBS to change it).
jobs="${ZV_TEST_JOBS:-$(nproc)}"
status=0
# First the tests that need no X server (labels "pure": no GL at all, and "headless": GL
# windows that may be display-less), with DISPLAY unset and every window headless (EGL).
echo "-- tests that need no X server, with no display (ctest -L 'pure|headless' -LE xserver)"
# shellcheck disable=SC2086
env -u DISPLAY -u WAYLAND_DISPLAY ZV_HEADLESS=1 \
    ctest --test-dir "$BUILD" --output-on-failure -j"$jobs" -L 'pure|headless' -LE xserver \
    ${CTEST_ARGS:-} \
    || status=1
# Then the tests that need the X server (label "xserver"), under Xvfb when there is no display.
# Those that drive the pointer and the keys or read the screen run alone (RUN_SERIAL in
# tests/CMakeLists.txt); the others side by side.
echo "-- tests that need the X server (ctest -L xserver)"
# shellcheck disable=SC2086
run ctest --test-dir "$BUILD" --output-on-failure -j"$jobs" -L xserver ${CTEST_ARGS:-} || status=1
exit $status
