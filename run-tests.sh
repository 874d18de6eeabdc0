#!/bin/bash
# Installs what is needed, builds, and runs every test under Wine. Where the
# kernel cannot run 32-bit programs (so Wine cannot) it builds what it can,
# says why no test runs, and fails.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
rc=0
"$root/scripts/install-and-build.sh" || rc=$?
if [ $rc -eq 3 ]; then
  echo "Everything else is built; no test ran."
  exit 1
fi
[ $rc -eq 0 ] || exit $rc
cd "${BUILD_DIR:-$root/build}"
# Two tests a processor: much of a Wine test is waiting (see README, Tests).
"$root/scripts/with-display.sh" ctest --output-on-failure -j$((2 * $(nproc))) "$@"
