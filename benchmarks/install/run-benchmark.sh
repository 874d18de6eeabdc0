#!/bin/bash
# The install sequence (its start to the start of the printer wait) against
# a plain program that writes and copies the same bytes, under Wine with the
# stand-in payload, each run in a fresh copy of the test prefix.
#   benchmarks/install/run-benchmark.sh [RUNS]   (default 7)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${1:-7}
# The install shows its message boxes (the benchmark closes them), so it
# needs a display: a virtual one where there is none.
if [ -z "${BENCH_IN_DISPLAY:-}" ]; then
  BENCH_IN_DISPLAY=1 exec "$root/scripts/with-display.sh" "$0" "$@"
fi
cmake -S "$root" -B "$build" -G "Unix Makefiles" >/dev/null
make -C "$build" -j2 bench_install wine_template >/dev/null
# A run that does not end within five minutes is stopped, never waited for.
run() {
  SETUP_BUILD_DIR=$build timeout 300 "$root/tests/wine-run.sh" "$build/wine" \
    "$build/benchmarks/install/bench_install.exe" "$1" | tr -d '\r'
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a/b}'; }
install=() plain=() files=()
for i in $(seq "$runs"); do
  install+=("$(run install)")
  plain+=("$(run plain)")
  files+=("$(run files)")
  echo "run $i: install ${install[-1]} ms, plain ${plain[-1]} ms, files only ${files[-1]} ms"
done
mi=$(printf '%s\n' "${install[@]}" | median)
mp=$(printf '%s\n' "${plain[@]}" | median)
mf=$(printf '%s\n' "${files[@]}" | median)
echo "median: install $mi ms, plain $mp ms (ratio $(ratio "$mi" "$mp")), files only $mf ms (ratio $(ratio "$mi" "$mf"))"
