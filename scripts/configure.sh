#!/usr/bin/env bash
# Configures a build directory the one way that scripts/demo.sh, scripts/test.sh and
# scripts/soak.sh all use, so that they can share it: whichever runs second finds everything
# the first compiled up to date and builds only its own targets. An option that differs
# between them (ZV_WERROR is on every compile line) would recompile the whole library.
# The library, its examples and its tests are all configured, with warnings as errors; each
# script then builds only the targets it needs.
#   configure.sh <build dir> [more cmake arguments]   (later arguments override these)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="$1"
shift
cmake -S . -B "$BUILD" -DZV_WERROR=ON -DZV_BUILD_TESTS=ON -DZV_BUILD_EXAMPLES=ON "$@"
