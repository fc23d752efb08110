#!/usr/bin/env bash
# Installs what is missing, builds libzarvo with its examples and runs them all.
# With a display each example runs until you press Escape or close its window; without one
# (or with ZV_DEMO_HEADLESS=1) each runs under Xvfb for a fixed number of frames and writes its
# last frame to out/<example>.png.
#   BUILD_DIR         build directory (default: build)
#   ZV_DEMO_FRAMES    frames per example when headless (default: 90)
#   ZV_DEMO_HEADLESS  set to 1 to run headless even with a display
#   ZV_CMAKE_ARGS     extra arguments for cmake's configure step
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD="${BUILD_DIR:-build}"
# Configured exactly as scripts/test.sh configures it, so that the two share one build: the
# demo compiles the library and the examples, and the tests later add only their own files.
# shellcheck disable=SC2086
bash scripts/configure.sh "$BUILD" ${ZV_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target zv_examples

examples=$(find "$BUILD/examples" -maxdepth 1 -type f -executable | sort)
status=0
if [ -n "${DISPLAY:-}" ] && [ -z "${ZV_DEMO_HEADLESS:-}" ] && xdpyinfo >/dev/null 2>&1; then
    for exe in $examples; do
        echo "== $(basename "$exe") (Escape closes it)"
        "$exe" || status=1
    done
else
    frames="${ZV_DEMO_FRAMES:-90}"
    mkdir -p out
    for exe in $examples; do
        name=$(basename "$exe")
        rm -f "out/$name.png" "out/${name}"_*.png
        echo "== $name ($frames frames, headless)"
        # Every example takes [frames] [picture.png]; the README's program takes the frame
        # count only and writes no picture.
        bash scripts/with-display.sh "$exe" "$frames" "out/$name.png" || {
            echo "$name failed"
            status=1
        }
    done
    echo "Pictures in out/: $(cd out && ls ./*.png 2>/dev/null | sed 's|^\./||' | tr '\n' ' ')"
fi
exit $status
