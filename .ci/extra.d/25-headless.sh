#!/usr/bin/env bash
# With no X server at all: the gallery drawn with no display must equal, byte for byte, the
# gallery drawn under Xvfb. (The tests labelled "headless" already ran with DISPLAY unset, their
# windows headless (EGL), in scripts/test.sh: they are not run again here.)
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD="${BUILD_DIR:-build}"
# The build directory is the one scripts/test.sh built (tests and examples).
cmake --build "$BUILD" -j"$(nproc)" --target gallery
out=out/headless
mkdir -p "$out"
rm -f "$out"/gallery-*.png
frames="${ZV_DEMO_FRAMES:-30}"
ZV_HEADLESS=0 bash scripts/with-display.sh "$BUILD/examples/gallery" "$frames" "$out/gallery-xvfb.png"
env -u DISPLAY -u WAYLAND_DISPLAY "$BUILD/examples/gallery" "$frames" "$out/gallery-no-display.png"
if ! cmp "$out/gallery-xvfb.png" "$out/gallery-no-display.png"; then
    echo "the gallery drawn with no display differs from the one drawn under Xvfb" >&2
    exit 1
fi
echo "gallery with no display equals the gallery under Xvfb"
