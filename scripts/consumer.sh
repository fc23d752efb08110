#!/usr/bin/env bash
# Installs the library built by scripts/test.sh into a prefix, then builds and runs the
# project in tests/consumer against it twice: with find_package(zarvo CONFIG) and with
# pkg-config. Also checks that every installed header compiles on its own, the package's
# version file, the library's soname, and that the library exports no internal symbols.
#   BUILD_DIR  the library's build directory (default: build); the prefix and the consumer's
#              builds go inside it
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${BUILD_DIR:-build}"
PREFIX="$PWD/$BUILD/consumer-prefix"
OUT="$PWD/$BUILD/consumer-build"
rm -rf "$PREFIX" "$OUT"
cmake --build "$BUILD" --target zarvo >/dev/null
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

run() { bash scripts/with-display.sh "$@"; }

cmp -s LICENSE "$PREFIX/share/doc/zarvo/LICENSE" || { echo "the licence was not installed"; exit 1; }

echo "-- every installed header compiles on its own"
for h in $(cd "$PREFIX/include" && find . -name '*.h' | sed 's#^\./##' | sort); do
    echo "#include <$h>" | g++ -std=c++17 -Wall -Wextra -Werror -fsyntax-only -x c++ - \
        -I"$PREFIX/include" || { echo "$h does not compile on its own"; exit 1; }
    echo "$h"
done

echo "-- find_package(zarvo CONFIG)"
cmake -S tests/consumer -B "$OUT/cmake" -DCMAKE_PREFIX_PATH="$PREFIX" >/dev/null
cmake --build "$OUT/cmake" >/dev/null
run "$OUT/cmake/consumer"

echo "-- find_package(zarvo 1.0 CONFIG) must be refused by the version file"
if cmake -S tests/consumer -B "$OUT/cmake-v1" -DCMAKE_PREFIX_PATH="$PREFIX" \
        -DZARVO_WANTED=1.0 >"$OUT/cmake-v1.log" 2>&1; then
    echo "an installed 0.x library satisfied a request for 1.0"; exit 1
fi
grep -q "requested version" "$OUT/cmake-v1.log" || { cat "$OUT/cmake-v1.log"; exit 1; }

echo "-- pkg-config"
pcdir=$(find "$PREFIX" -name zarvo.pc -printf '%h\n' | head -n 1)
libdir=$(dirname "$pcdir")
# The private dependencies (FreeType and what it pulls in: libpng, zlib...) must not reach the
# application's compile line.
cflags=$(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags zarvo)
for flag in $(pkg-config --cflags-only-I freetype2 fontconfig glfw3 x11); do
    case " $cflags " in
        *" $flag "*) echo "pkg-config --cflags zarvo brings in a private include: $flag"; exit 1 ;;
    esac
done
echo "cflags: $cflags"
# shellcheck disable=SC2046
g++ -std=c++17 tests/consumer/main.cpp -o "$OUT/consumer-pc" \
    $(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags --libs zarvo)
LD_LIBRARY_PATH="$libdir" run "$OUT/consumer-pc"

echo "-- soname"
lib=$(find "$PREFIX" -name 'libzarvo.so.*.*' | head -n 1)
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ -e "$libdir/$soname" ] || { echo "no $soname beside $lib"; exit 1; }
echo "$(basename "$lib"), soname $soname"

echo "-- exported symbols"
leaks=$(nm -D --defined-only -C "$lib" | grep -E ' (internal|wtk)::|<internal::|<wtk::' || true)
if [ -n "$leaks" ]; then
    echo "internal symbols exported:"; echo "$leaks"; exit 1
fi
echo "$(nm -D --defined-only "$lib" | wc -l) exported symbols, none internal"
