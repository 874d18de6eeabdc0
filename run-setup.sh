#!/bin/bash
# Installs what is needed, builds setup.exe and runs its wizard under Wine in
# a demo prefix (build/demo: a fresh copy of the test prefix, whose printer
# installer is our stand-in and which has one ordinary printer). On a
# machine with a display you click through the wizard yourself; without one
# it runs in a virtual display and our UI driver walks through the four
# pages as a user keeping every default would. Then it shows what the
# install left behind. Where the kernel cannot run 32-bit programs (and so
# Wine cannot run) it builds setup.exe, says why it stops there, and fails.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$root/build}
rc=0
"$root/scripts/install-and-build.sh" || rc=$?
if [ $rc -eq 3 ]; then
  echo "setup.exe is built: $build/setup.exe"
  exit 1
fi
[ $rc -eq 0 ] || exit $rc

export WINEPREFIX=$build/demo/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$build/demo"
mkdir -p "$build/demo"
cp -a "$build/wine/template" "$WINEPREFIX"
c=$WINEPREFIX/drive_c
mkdir -p "$c/setup"
# Without the maker's driver binaries (payload/maker) setup.exe installs no
# printer (the printer installer finds files missing, and the wizard waits
# its 30 seconds in vain): the demo then runs the stand-in payload build.
program=setup.exe
if [ -z "$(ls -A "$root/payload/maker" 2>/dev/null | grep -v README)" ]; then
  program=setup_standin.exe
  echo "payload/maker/ holds none of the maker's files: the demo runs setup_standin.exe"
  echo "(setup.exe with labelled stand-in bytes for them) under the name setup.exe."
fi
cp "$build/$program" "$c/setup/setup.exe"
shots=$build/artifacts/demo-screenshots
rm -rf "$shots"
mkdir -p "$shots"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Running C:\\setup\\setup.exe under Wine: click through the wizard."
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wine 'C:\setup\setup.exe' || true
  timeout 60 wineserver -w || wineserver -k
else
  echo "No display here: the wizard runs in a virtual display and the UI driver"
  echo "walks through it with the defaults."
  # Wine's services start inside the display, with their output away from ours.
  "$root/scripts/with-display.sh" bash -c '
    wine cmd /c exit </dev/null >/dev/null 2>&1
    wine "$0" "C:\setup\setup.exe" "$(winepath -w "$1")"
    rc=$?
    timeout 30 wineserver -w || wineserver -k
    exit $rc' "$build/uidriver/uidriver.exe" "$shots" | tr -d '\r'
fi

list() { if [ -d "$1" ]; then (cd "$1" && find . -maxdepth "${2:-9}" -type f | sed 's|^\./|  |' | sort); else echo "  (none)"; fi; }
query() {
  local out
  out=$(wine reg query "$@" 2>/dev/null) || { echo "  (none)"; return 0; }
  echo "$out" | tr -d '\r' | sed '/^$/d; s/^/  /'
}
echo
echo "Beside the program (C:\\setup):"
list "$c/setup"
echo "C:\\TEMP:"
list "$c/TEMP"
echo "Driver folder (C:\\windows\\system32\\spool\\drivers\\w32x86), files of this driver and its 3 folder:"
list "$c/windows/system32/spool/drivers/w32x86" 2 | grep -i -e krx -e merlo -e unidrv -e unires -e stdnames -e ziku || echo "  (none)"
echo "Uninstall entry:"
query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KRX printer'
echo "Printers:"
query 'HKLM\System\CurrentControlSet\Control\Print\Printers' | grep -i 'Printers\\' | sed 's/.*Printers\\/  /'
echo "Default printer:"
query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device | grep -i -e device -e none
wineserver -k 2>/dev/null || true
if [ -n "$(ls -A "$shots")" ]; then
  echo "Screenshots of the pages: $shots"
fi
