#!/bin/bash
# Configures and builds everything into ./build (or $BUILD_DIR): the tests'
# build, so setup.exe is built even while payload/maker lacks the maker's
# files (a maker's own build is in README, For printer makers).
#   build.sh [CMAKE_OPTION...]   e.g. -DPREPARE_WINE_PREFIX=OFF
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G "Unix Makefiles" -DPAYLOAD_INCOMPLETE_OK=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
