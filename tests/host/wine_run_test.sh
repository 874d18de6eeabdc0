#!/bin/bash
# tests/wine-run.sh gives each test a prefix of its own: what one run
# writes reaches neither the template nor the next run, what it leaves
# running ends with it, nothing of it stays behind, and the program's exit
# code is the run's. WINE_KEEP_PREFIX=1 keeps the prefix.
#   wine_run_test.sh WINE_DIR
set -u
wine_run=$(cd "$(dirname "$0")/.." && pwd)/wine-run.sh
wine_dir=$1
template=$wine_dir/template
failed=0
check() {  # check WHAT COMMAND...
  local what=$1; shift
  "$@" || { echo "FAILED: $what"; failed=1; }
}
registry() { cat "$template"/*.reg | md5sum; }

before=$(registry)
mark="wine_run_test_$$"
prefix=$(WINE_RUN_TEST_MARK=$mark "$wine_run" "$wine_dir" cmd /c \
  "echo %WINEPREFIX%& echo mine> C:\\marker.txt & reg add HKCU\\Software\\WineRunTest /f >nul & start /b timeout /t 60 /nobreak >nul & exit 7")
check "the program's exit code is the run's" [ $? -eq 7 ]
prefix=${prefix%$'\r'}
check "the run had a prefix of its own" [ "${prefix:-$template}" != "$template" ]
check "the template keeps its files" [ ! -e "$template/drive_c/marker.txt" ]
check "the template keeps its registry" [ "$(registry)" = "$before" ]
check "nothing of the run stays behind" [ ! -e "$(dirname "$prefix")" ]
check "what the run left running has ended" [ -z "$(grep -ls "WINE_RUN_TEST_MARK=$mark" /proc/[0-9]*/environ)" ]

"$wine_run" "$wine_dir" cmd /c "if exist C:\\marker.txt exit 3"
check "the next run does not see the file" [ $? -eq 0 ]
"$wine_run" "$wine_dir" reg query HKCU\\Software\\WineRunTest >/dev/null 2>&1
check "the next run does not see the registry key" [ $? -ne 0 ]

kept=$(WINE_KEEP_PREFIX=1 "$wine_run" "$wine_dir" cmd /c "echo mine> C:\\marker.txt" 2>&1 >/dev/null |
       sed -n 's/^wine-run: prefix kept in //p')
check "a kept prefix holds what the run wrote" [ -f "$kept/drive_c/marker.txt" ]
check "the template keeps its files with WINE_KEEP_PREFIX=1 too" [ ! -e "$template/drive_c/marker.txt" ]
[ -n "$kept" ] && rm -rf "$(dirname "$kept")"
exit $failed
