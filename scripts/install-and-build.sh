#!/bin/bash
# Installs what is needed and builds, for the two commands and CI:
#   exit 0  built with the Wine prefix: Wine can run here;
#   exit 3  this machine cannot run 32-bit programs (so Wine cannot): built
#           everything without the prefix, and said why;
#   other   a failure (a compile error among them).
#   install-and-build.sh [CMAKE_OPTION...]   e.g. -DMAKER_PRINTER_NAME=...
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
host=0
why=$("$root/scripts/can-run-32bit.sh") || host=$?
if [ $host -eq 2 ]; then
  echo "This machine cannot run 32-bit programs: building without Wine's prefix."
  "$root/scripts/build.sh" -DPREPARE_WINE_PREFIX=OFF "$@"
  echo "$why"
  exit 3
fi
[ $host -eq 0 ] || exit $host
"$root/scripts/build.sh" -DPREPARE_WINE_PREFIX=ON "$@"
