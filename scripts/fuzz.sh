#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang (AddressSanitizer and UndefinedBehavior-
# Sanitizer) and runs them side by side, each for a bounded time under Xvfb. The font fuzzer
# is seeded with the smallest DejaVu face, copied in at run time, and a tiny bitmap font
# written here; the text fuzzer with a few strings. Inputs that crash are kept in $BUILD/artifacts/<target>/, the
# grown corpus in $BUILD/corpus/<target>/. Exits non-zero when any target found a crash.
#   FUZZ_SECONDS  seconds per target (default 60)
#   FUZZ_TARGETS  targets to run (default: every fuzz/*_fuzzer.cpp)
#   BUILD_DIR     build directory (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

ZV_WITH_CLANG=1 bash scripts/install-deps.sh

BUILD="${BUILD_DIR:-build-fuzz}"
SECS="${FUZZ_SECONDS:-60}"
cmake -S fuzz -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
BUILD="$(cd "$BUILD" && pwd)"

targets="${FUZZ_TARGETS:-$(cd fuzz && ls ./*_fuzzer.cpp | sed 's|^\./||; s|\.cpp$||')}"

# Seeds: written fresh on every run, never committed.
seeds="$BUILD/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/font_load_fuzzer" "$seeds/text_draw_fuzzer"
smallest=$(ls -S /usr/share/fonts/truetype/dejavu/DejaVu*.ttf | tail -n 1)
cp "$smallest" "$seeds/font_load_fuzzer/"
cat > "$seeds/font_load_fuzzer/seed.bdf" <<'BDF'
STARTFONT 2.1
FONT -zarvo-seed-medium-r-normal--8-80-75-75-c-60-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 6 8 0 -1
STARTPROPERTIES 2
FONT_ASCENT 7
FONT_DESCENT 1
ENDPROPERTIES
CHARS 2
STARTCHAR space
ENCODING 32
SWIDTH 750 0
DWIDTH 6 0
BBX 1 1 0 0
BITMAP
00
ENDCHAR
STARTCHAR A
ENCODING 65
SWIDTH 750 0
DWIDTH 6 0
BBX 5 7 0 0
BITMAP
20
50
88
F8
88
88
88
ENDCHAR
ENDFONT
BDF
# Text first; the sizes, position and area are taken from the input's last bytes.
printf 'Hello, world\n\x00\x00\x00\x10\x00\x00\x20\x41\x00\x00\x48\x42\x00\x01\x00\x02\x01\x10\x00\x00\x00' \
    > "$seeds/text_draw_fuzzer/hello"
printf 'x axis\xc3\xa9\xe2\x82\xac\x7f\x01\nsecond\x00\x00\x00\x00\xff\xff\xff\xff\x00\x00\x80\x7f' \
    > "$seeds/text_draw_fuzzer/utf8"
head -c 300 /dev/zero | tr '\0' 'W' > "$seeds/text_draw_fuzzer/long"

run() { bash scripts/with-display.sh "$@"; }
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

# The targets run side by side, each for the whole FUZZ_SECONDS on a core of its own (a
# fuzzer is one thread), so the step takes FUZZ_SECONDS however many targets there are.
fuzz() {
    local t=$1 extra=()
    [ "$t" = text_draw_fuzzer ] && extra+=(-max_len=1024)
    run "$BUILD/$t" -max_total_time="$SECS" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$BUILD/artifacts/$t/" "${extra[@]}" \
        "$BUILD/corpus/$t" "$seeds/$t" > "$BUILD/logs/$t.log" 2>&1
}
declare -A pids
for t in $targets; do
    mkdir -p "$BUILD/corpus/$t" "$BUILD/artifacts/$t" "$BUILD/logs"
    echo "== fuzzing $t for ${SECS} s"
    fuzz "$t" &
    pids[$t]=$!
done
failed=0
summary=""
for t in $targets; do
    rc=0
    wait "${pids[$t]}" || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD/logs/$t.log" | tail -n 1)
    crashes=$(find "$BUILD/artifacts/$t" -type f | wc -l)
    line="$t: ${runs:-?} executions in ${SECS} s, exit code $rc, ${crashes} crash input(s) in $BUILD/artifacts/$t"
    echo "[fuzz] $line"
    summary+="[fuzz] $line"$'\n'
    if [ "$rc" -ne 0 ]; then
        failed=1
        tail -n 60 "$BUILD/logs/$t.log"
    fi
done
printf '%s' "$summary"
exit "$failed"
