#!/usr/bin/env bash
# Installs what is missing, builds libzarvo with its examples and runs them all.
# With a display each example runs until you press Escape or close its window; without one
# each runs under Xvfb for a fixed number of frames and writes its last frame to
# out/<example>.png.
#   BUILD_DIR        build directory (default: build)
#   ZV_DEMO_FRAMES   frames per example when headless (default: 90)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD" -DZV_BUILD_EXAMPLES=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

mkdir -p out
examples=$(find "$BUILD/examples" -maxdepth 1 -type f -executable | sort)
status=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && [ -z "${ZV_DEMO_HEADLESS:-}" ]; then
    for exe in $examples; do
        echo "== $(basename "$exe") (Escape closes it)"
        "$exe" || status=1
    done
else
    frames="${ZV_DEMO_FRAMES:-90}"
    for exe in $examples; do
        name=$(basename "$exe")
        echo "== $name ($frames frames, headless)"
        ZV_DEMO_FRAMES="$frames" ZV_DEMO_OUT="out/$name.png" \
            xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" || status=1
    done
    echo "Pictures: $(ls out/*.png 2>/dev/null | tr '\n' ' ')"
fi
exit $status
