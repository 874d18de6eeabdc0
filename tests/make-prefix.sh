#!/bin/bash
# Prepares the Wine prefix that every test starts from:
#   make-prefix.sh PREFIX_DIR [PRINTUI_STANDIN_DLL] [PREFIX_TOOL_EXE] [TCPMON_STANDIN_DLL] [PRINTUI_STANDIN_32_DLL]
# a 32-bit prefix with a virtual desktop, CJK font replacements, the
# printer-installer stand-in in place of Wine's printui.dll, through the
# prefix tool one ordinary printer as a real system has, and the stand-in
# of the Standard TCP/IP Port monitor, which Wine lacks. In a 64-bit prefix
# the first three are 64-bit programs, and the 32-bit printer-installer
# stand-in goes to syswow64, where 32-bit programs find their system folder.
set -eu
prefix=$1
standin=${2:-}
tool=${3:-}
tcpmon=${4:-}
standin32=${5:-}
rm -rf "$prefix" "$prefix.tmp"
mkdir -p "$(dirname "$prefix")"
# WINE_ARCH=win64 makes a 64-bit prefix for a 64-bit build of the tests,
# on hosts whose kernel cannot run 32-bit programs (see wine-arch.sh), and
# for the tests that need 64-bit Windows: there 32-bit programs run
# under WoW64, as on 64-bit Windows.
. "$(dirname "$0")/wine-arch.sh" "${WINE_ARCH:-win32}"
export WINEPREFIX=$prefix.tmp WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot -i >/dev/null 2>&1
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
for font in SimSun NSimSun PMingLiU MingLiU; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "WenQuanYi Zen Hei"
done
if [ -n "$standin" ]; then
  cp "$standin" "$WINEPREFIX/drive_c/windows/system32/printui.dll"
  reg 'HKCU\Software\Wine\DllOverrides' /v printui /d native
fi
if [ -n "$tcpmon" ]; then
  cp "$tcpmon" "$WINEPREFIX/drive_c/windows/system32/tcpmon_standin.dll"
  reg 'HKLM\System\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port' /v Driver /d tcpmon_standin.dll
fi
if [ -n "$standin32" ]; then
  cp "$standin32" "$WINEPREFIX/drive_c/windows/syswow64/printui.dll"
fi
if [ -n "$tool" ]; then
  wine "$tool" </dev/null >/dev/null 2>&1
fi
wineserver -w
echo "$WINEARCH" > "$WINEPREFIX/.arch"
touch "$WINEPREFIX/.ready"
mv "$WINEPREFIX" "$prefix"
