#!/bin/bash
# Configures and builds everything into ./build (or $BUILD_DIR).
#   build.sh [CMAKE_OPTION...]   e.g. -DPREPARE_WINE_PREFIX=OFF
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G "Unix Makefiles" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
