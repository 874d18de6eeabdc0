#!/bin/bash
# Installs what is needed, builds, and runs every test under Wine. Where the
# kernel cannot run 32-bit programs (so Wine cannot) it builds what it can,
# says why no test runs, and fails.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
host=0
why=$("$root/scripts/can-run-32bit.sh") || host=$?
if [ $host -eq 2 ]; then
  echo "This machine cannot run 32-bit programs: building without Wine's test prefix."
  "$root/scripts/build.sh" -DPREPARE_WINE_PREFIX=OFF
  echo "$why"
  echo "Everything else is built; no test ran."
  exit 1
fi
[ $host -eq 0 ] || exit $host
"$root/scripts/build.sh" -DPREPARE_WINE_PREFIX=ON
cd "${BUILD_DIR:-$root/build}"
# Two tests a processor: much of a Wine test is waiting (see README, Tests).
"$root/scripts/with-display.sh" ctest --output-on-failure -j$((2 * $(nproc))) "$@"
