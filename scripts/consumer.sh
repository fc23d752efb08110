#!/usr/bin/env bash
# Installs the library built by scripts/test.sh into a prefix, then builds and runs the
# project in tests/consumer against it twice: with find_package(zarvo CONFIG) and with
# pkg-config. Also checks that the library exports no internal symbols.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${BUILD_DIR:-build}"
PREFIX="$PWD/install-consumer"
rm -rf "$PREFIX" build-consumer
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

run() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then "$@"
    else xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; fi
}

echo "-- find_package(zarvo CONFIG)"
cmake -S tests/consumer -B build-consumer -DCMAKE_PREFIX_PATH="$PREFIX" >/dev/null
cmake --build build-consumer >/dev/null
LD_LIBRARY_PATH="$PREFIX/lib" run build-consumer/consumer

echo "-- pkg-config"
libdir=$(find "$PREFIX" -name zarvo.pc -printf '%h\n' | head -n 1)
# shellcheck disable=SC2046
g++ -std=c++17 tests/consumer/main.cpp -o build-consumer/consumer-pc \
    $(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs zarvo)
LD_LIBRARY_PATH="$(dirname "$libdir")" run build-consumer/consumer-pc

echo "-- exported symbols"
lib=$(find "$PREFIX" -name 'libzarvo.so.*.*' | head -n 1)
leaks=$(nm -D --defined-only -C "$lib" | grep -E ' (internal|wtk)::|<internal::|<wtk::' || true)
if [ -n "$leaks" ]; then
    echo "internal symbols exported:"; echo "$leaks"; exit 1
fi
echo "$(nm -D --defined-only "$lib" | wc -l) exported symbols, none internal"
