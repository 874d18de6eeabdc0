#!/bin/bash
# Prepares the Wine prefix that every test starts from:
#   make-prefix.sh PREFIX_DIR [PRINTUI_STANDIN_DLL] [PREFIX_TOOL_EXE]
# a 32-bit prefix with a virtual desktop, CJK font replacements, the
# printer-installer stand-in in place of Wine's printui.dll and, through the
# prefix tool, one ordinary printer as a real system has. With
# WINEARCH=win64 a 64-bit prefix, where 32-bit programs run under WoW64 as
# on 64-bit Windows (the tests that need one give no tools).
set -eu
prefix=$1
standin=${2:-}
tool=${3:-}
rm -rf "$prefix" "$prefix.tmp"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX=$prefix.tmp WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's 64-bit loader makes and sets a 64-bit prefix itself.
wine=wine
[ "$WINEARCH" = win64 ] && wine=/usr/lib/wine/wine64
$wine wineboot -i >/dev/null 2>&1
reg() { $wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
for font in SimSun NSimSun PMingLiU MingLiU; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "WenQuanYi Zen Hei"
done
if [ -n "$standin" ]; then
  cp "$standin" "$WINEPREFIX/drive_c/windows/system32/printui.dll"
  reg 'HKCU\Software\Wine\DllOverrides' /v printui /d native
fi
if [ -n "$tool" ]; then
  wine "$tool" </dev/null >/dev/null 2>&1
fi
wineserver -w
touch "$WINEPREFIX/.ready"
mv "$WINEPREFIX" "$prefix"
