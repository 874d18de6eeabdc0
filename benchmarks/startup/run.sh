#!/bin/bash
# Start-up benchmark: under Wine, the time from process start until the
# welcome page is visible, for setup.exe and for a minimal dialog program of
# ours on the same Wine, in a copy of the test prefix. Prints both medians
# and their ratio.   RUNS=31 benchmarks/startup/run.sh
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${RUNS:-31}
"$root/scripts/build.sh"
cmake --build "$build" --target minimal_dialog startup_bench >/dev/null

mkdir -p "$build/wine/runs"
prefix=$(mktemp -d "$build/wine/runs/bench.XXXXXX")
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
cp -a "$build/wine/template/." "$prefix/"
. "$root/tests/wine-arch.sh" "$(cat "$build/wine/template/.arch" 2>/dev/null || echo win32)"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Both programs in one folder of the prefix; setup.exe's first run (the
# warm-up) writes its language and settings files, so the timed runs are
# ordinary later starts.
mkdir -p "$prefix/drive_c/bench"
cp "$build/setup.exe" "$build/benchmarks/startup/minimal_dialog.exe" "$prefix/drive_c/bench/"
# Wine's services start inside the display, with their output away from ours.
export RUNS=$runs
export WINE=${WINELOADER:-wine}
"$root/scripts/with-display.sh" timeout 900 bash -c '
  wine() { command $WINE "$@"; }   # a WINE of plain "wine" must not call this function again
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wine "$0" "$RUNS" "C:\bench\setup.exe" "C:\bench\minimal_dialog.exe" >"$1" 2>/dev/null
  rc=$?; wineserver -k; exit $rc' "$build/benchmarks/startup/startup_bench.exe" "$prefix/bench.txt"
out=$(tr -d '\r' <"$prefix/bench.txt")
echo "$out"
echo "$out" | awk '
  /^median/ { m[++n] = $2 }
  END {
    if (n != 2) exit 1
    printf "\nsetup.exe       median %.1f ms\nminimal dialog  median %.1f ms\nratio           %.2f (target: at most 1.20)\n", m[1], m[2], m[1] / m[2]
  }'
