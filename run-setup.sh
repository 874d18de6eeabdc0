#!/bin/bash
# Installs what is needed, builds setup.exe and runs it under Wine in a demo
# prefix (build/demo), then shows what it left on the machine.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export WINEPREFIX=$build/demo/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.ready" ]; then
  rm -rf "$build/demo"
  mkdir -p "$build/demo"
  cp -a "$build/wine/template" "$WINEPREFIX"
fi
app=$WINEPREFIX/drive_c/setup
mkdir -p "$app"
cp "$build/setup.exe" "$app/setup.exe"
echo "Running C:\\setup\\setup.exe under Wine..."
"$root/scripts/with-display.sh" wine 'C:\setup\setup.exe'
wineserver -w
echo
echo "What start-up wrote beside the program (C:\\setup):"
(cd "$app" && find . -mindepth 1 | sort | sed 's/^\.\//  /')
echo
echo "setting.dll:"
sed 's/^/  /; s/\r$//' "$app/setting.dll"; echo
