#!/usr/bin/env bash
# Runs the test suite under valgrind memcheck, every test in a process of its own (as ctest
# does), two at a time. A test fails on any memory error or definite leak; suppressions
# (tests/valgrind.supp) cover only the system OpenGL driver and fontconfig. Slow: about
# 20 s a test under llvmpipe, so give a pattern to run part of the suite.
#   scripts/valgrind.sh [PATTERN]   PATTERN: extended regex over "binary Suite.Test" lines,
#                                   e.g. 'lifetime_gl_test|BadInput' (default: everything but
#                                   the soak test)
#   BUILD_DIR      build directory (default: build)
#   ZV_CMAKE_ARGS  extra arguments for cmake's configure step
#   VALGRIND_ARGS  extra arguments for valgrind (e.g. --gen-suppressions=all)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

# Worker mode, used below: one test under memcheck, its log in $ZV_LOGS.
if [ "${1:-}" = --one ]; then
    exe="$2" name="$3"
    log="$ZV_LOGS/$(basename "$exe")-${name//\//_}.log"
    # Tests that count allocations replace the global operator new and delete; memcheck's
    # own operator new then meets the test's delete and every such pair would be reported
    # as mismatched. Those reports are off for such binaries only (AddressSanitizer still
    # checks new/delete pairing for the whole suite).
    own=()
    if nm -C "$exe" | grep ' T operator delete(void\*)$' >/dev/null; then
        own+=(--show-mismatched-frees=no)
    fi
    # shellcheck disable=SC2086
    if valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
            --show-leak-kinds=definite --errors-for-leak-kinds=definite --num-callers=40 \
            --suppressions="$ROOT/tests/valgrind.supp" "${own[@]}" ${VALGRIND_ARGS:-} \
            "$exe" --gtest_filter="$name" > "$log" 2>&1; then
        echo "ok     $name"
    else
        echo "FAILED $name (see $log)"
    fi
    exit 0
fi

PATTERN="${1:-.}"

bash scripts/install-deps.sh

BUILD="${BUILD_DIR:-build}"
# shellcheck disable=SC2086
bash scripts/configure.sh "$BUILD" ${ZV_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
BUILD="$(cd "$BUILD" && pwd)"
LOGS="$BUILD/valgrind"
rm -rf "$LOGS"
mkdir -p "$LOGS"

# One line per test: "<binary> <Suite.Test>", parameterised names included.
list="$LOGS/tests.txt"
for exe in "$BUILD"/tests/*_test; do
    [ -x "$exe" ] || continue
    [ "$(basename "$exe")" = soak_gl_test ] && continue
    "$exe" --gtest_list_tests | awk -v exe="$exe" '
        /^[^ ]/ { suite = $1; next }
        /^  /   { print exe " " suite $1 }'
done | grep -E -- "$PATTERN" > "$list" || true
total=$(wc -l < "$list")
[ "$total" -gt 0 ] || { echo "no test matches '$PATTERN'"; exit 1; }
echo "running $total test(s) under valgrind memcheck; logs in $LOGS"

export ZV_TEST_OUTPUT_DIR="$BUILD/test-output"
export ZV_LOGS="$LOGS" VALGRIND_ARGS="${VALGRIND_ARGS:-}"

run() { bash scripts/with-display.sh "$@"; }
run xargs -a "$list" -P 2 -L 1 bash "$ROOT/scripts/valgrind.sh" --one | tee "$LOGS/summary.txt"
failed=$(grep -c '^FAILED' "$LOGS/summary.txt" || true)
echo "valgrind: $((total - failed)) of $total test(s) clean, $failed failed"
[ "$failed" -eq 0 ]
