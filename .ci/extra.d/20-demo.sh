#!/usr/bin/env bash
# The demo as a newcomer meets it, headless: scripts/demo.sh runs every example under Xvfb and
# writes out/<example>.png; the pictures are then read back and checked (not blank, the
# expected colours in the expected places).
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD="${BUILD_DIR:-build}"
# The build directory is the one scripts/test.sh built, configured the same way: the demo
# compiles nothing again.
ZV_DEMO_HEADLESS=1 ZV_DEMO_FRAMES="${ZV_DEMO_FRAMES:-30}" BUILD_DIR="$BUILD" bash scripts/demo.sh
# The checker is one of the tests (already built when scripts/test.sh ran first).
cmake --build "$BUILD" -j"$(nproc)" --target demo_pictures_gl_test
ZV_DEMO_PICTURES="$PWD/out" "$BUILD/tests/demo_pictures_gl_test"
