#!/bin/bash
# Size benchmark (not a test): builds setup.exe and uninstall.exe (or takes
# the build in $BUILD_DIR, default build/) and reports each file's size;
# for setup.exe also its embedded payload (the OWNER_DATA resources, summed
# from the file) and the size beyond it; and whether each goal holds.
#   benchmarks/size/run.sh [--no-build]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$root/build}
if [ "${1:-}" != --no-build ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G "Unix Makefiles" -DPAYLOAD_INCOMPLETE_OK=ON >/dev/null
  cmake --build "$build" --target setup uninstaller -j2 >/dev/null
fi
setup=$build/setup.exe
uninstall=$build/uninstaller/uninstall.exe

# Goals, in bytes (1 KB = 1024 bytes).
setup_goal=$((150 * 1024))
uninstall_goal=$((100 * 1024))

kb() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }
holds() { if [ "$1" -le "$2" ]; then echo yes; else echo no; fi; }

setup_bytes=$(stat -c %s "$setup")
read -r payload_count payload_bytes < <(perl "$here/owner_data_bytes.pl" "$setup")
beyond=$((setup_bytes - payload_bytes))
uninstall_bytes=$(stat -c %s "$uninstall")

echo "| program | file | payload (OWNER_DATA) | beyond the payload | goal | holds |"
echo "|---|---|---|---|---|---|"
echo "| setup.exe | $setup_bytes B ($(kb "$setup_bytes")) | $payload_bytes B in $payload_count resources ($(kb "$payload_bytes")) | $beyond B ($(kb "$beyond")) | beyond the payload <= $(kb "$setup_goal") | $(holds "$beyond" "$setup_goal") |"
echo "| uninstall.exe | $uninstall_bytes B ($(kb "$uninstall_bytes")) | - | - | file <= $(kb "$uninstall_goal") | $(holds "$uninstall_bytes" "$uninstall_goal") |"
