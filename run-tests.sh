#!/bin/bash
# Installs what is needed, builds, and runs every test under Wine.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
"$root/scripts/with-display.sh" ctest --output-on-failure -j2 "$@"
