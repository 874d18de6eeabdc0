#!/bin/bash
# Installs what is needed, builds setup.exe and runs its wizard under Wine in
# a demo prefix (build/demo: a fresh copy of the test prefix, whose printer
# installer is our stand-in and which has one ordinary printer). On a
# machine with a display you click through the wizard yourself; without one
# it runs in a virtual display and our UI driver walks through the four
# pages as a user keeping every default would. Then it shows what the
# install left behind. Where the kernel cannot run 32-bit programs (and so
# Wine cannot run) it builds setup.exe, says why it stops there, and fails.
#   run-setup.sh [SETTINGS_FILE] [-DMAKER_OPTION=VALUE...]
# The printer is the one setup.exe has built in (KRX, or the build's
# -DMAKER_PRINTER_NAME=...), or the one a SETTINGS_FILE names, which is put
# beside setup.exe as setting.dll.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$root/build}
settings=
options=()
for argument in "$@"; do
  case $argument in
    -D*) options+=("$argument") ;;
    *) [ -f "$argument" ] || { echo "run-setup.sh: no settings file $argument" >&2; exit 2; }
       settings=$(cd "$(dirname "$argument")" && pwd)/$(basename "$argument") ;;
  esac
done
rc=0
"$root/scripts/install-and-build.sh" "${options[@]}" || rc=$?
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
if [ "$(cat "$build/payload/payload_release.rc.lacks" 2>/dev/null)" != "lacks nothing" ]; then
  program=setup_standin.exe
  echo "setup.exe lacks maker's files (payload/maker/): the demo runs setup_standin.exe"
  echo "(setup.exe with labelled stand-in bytes for them) under the name setup.exe."
fi
cp "$build/$program" "$c/setup/setup.exe"
[ -z "$settings" ] || cp "$settings" "$c/setup/setting.dll"
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
# The printer the run installed: the one the settings beside it name (written
# from the built-in defaults when there were none).
printer=$(sed -n 's/^PrinterName=\(.*\)\r\{0,1\}$/\1/p' "$c/setup/setting.dll" 2>/dev/null | head -n 1)
printer=${printer:-KRX}
echo "Driver folder (C:\\windows\\system32\\spool\\drivers\\w32x86), files of the $printer driver and its 3 folder:"
list "$c/windows/system32/spool/drivers/w32x86" 2 | grep -i -F -e "$printer" -e unidrv -e unires -e stdnames -e ziku || echo "  (none)"
echo "Uninstall entry:"
query "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$printer printer"
echo "Printers:"
query 'HKLM\System\CurrentControlSet\Control\Print\Printers' | grep -i 'Printers\\' | sed 's/.*Printers\\/  /'
echo "Default printer:"
query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device | grep -i -e device -e none
wineserver -k 2>/dev/null || true
if [ -n "$(ls -A "$shots")" ]; then
  echo "Screenshots of the pages: $shots"
fi
