#!/bin/bash
# A printer maker's build, configured in a folder of its own and building
# only the two programs: it refuses without the maker's files and names
# them, says when it is a test build, names a maker DLL that is no 32-bit
# Windows DLL, a maker file it does not take and a text payload that is
# none, embeds the maker's GPD in every set, signs both programs so that
# osslsigncode verifies them, carries the maker's version details, company
# and printer name (the program alone installs that printer, under Wine
# when WINE_DIR holds a prepared prefix), and refuses an expired
# certificate, leaving no program behind.
#   maker_build_test.sh SOURCE_DIR WORK_DIR [TOOLCHAIN_FILE RC_COMPILER WINE_DIR]
set -u
src=$1
work=$2
toolchain=${3:-$src/cmake/mingw-i686.cmake}
windres=${4:-i686-w64-mingw32-windres}
wine_dir=${5:-}
build=$work/build
maker=$work/maker
rm -rf "$work"
mkdir -p "$maker"
failures=0
check() {   # check WHAT COMMAND...: the command succeeds
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; return 0; fi
  echo "FAIL $what"
  failures=$((failures + 1))
  return 1
}
says() { [[ $output == *"$1"* ]]; }
quietly() { "$@" >/dev/null 2>&1; }
fails() { ! "$@" >/dev/null 2>&1; }
configure() {
  cmake -S "$src" -B "$build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DPREPARE_WINE_PREFIX=OFF \
    -DMAKER_PAYLOAD_DIR="$maker" "$@" >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
}
build() { output=$(cmake --build "$build" -j"$(nproc)" --target "$@" 2>&1); }
holds() { T=$2 perl -0777 -ne 'exit(index($_, $ENV{T}) < 0)' "$1"; }   # holds FILE TEXT: its bytes hold the text
no_programs() { [ ! -e "$build/setup.exe" ] && [ ! -e "$build/uninstaller/uninstall.exe" ]; }

# The maker's files as the catalogue names them: <id>_<file name>, model KRX.
mapfile -t names < <(sed -n 's/.*{\([0-9]*\), .*"\([^"]*\)", "maker:"}.*/\1_\2/p' "$src/payload/catalogue.cpp" |
                     sed 's/%s/KRX/')
check "the catalogue names maker files" [ ${#names[@]} -gt 20 ]

configure
build uninstaller setup_standin
check "setup_standin.exe builds without the maker's files" [ $? -eq 0 ]
build setup
check "setup.exe refuses without the maker's files" [ $? -ne 0 ]
for name in "${names[@]}"; do
  says "  $name"$'\n' || check "the refusal names $name" false
done
check "the refusal says how to build anyway" says "-DPAYLOAD_INCOMPLETE_OK=ON"
check "the build lists the ids it embeds" says "payload: embeds 146 147 148 153 154 155 158"
check "and those it lacks" says "payload: lacks 149 150 151 152 156 157 161 163"
check "a failed build leaves no program" no_programs

# version_of FILE: the version resource's file version and text values, as
# windres writes them back.
version_of() {
  "$windres" -J coff -i "$1" -O rc | sed -n '/VERSIONINFO/,/^END/p' |
    grep -e ' FILEVERSION' -e '"FileVersion"' -e '"CompanyName"' -e '"LegalCopyright"' -e '"SpecialBuild"' |
    sed 's/^ *//'
}

# A test build goes without them, and says so last and in both programs.
configure -DPAYLOAD_INCOMPLETE_OK=ON
build setup
check "a test build builds without the maker's files" [ $? -eq 0 ]
check "and says so in its last line" \
  [ "$(tail -n 2 <<<"$output" | head -n 1)" = "setup.exe is a test build (PAYLOAD_INCOMPLETE_OK=ON), not to be shipped: it lacks ${names[*]%%_*}" ]
for program in setup.exe uninstaller/uninstall.exe; do
  check "$program says it is a test build" grep -qx \
    "VALUE \"SpecialBuild\", \"test build: the printer maker's files may be missing; not to be shipped\"" \
    <(version_of "$build/$program")
done
configure -DPAYLOAD_INCOMPLETE_OK=OFF

# --- The x64 set's maker files --------------------------------------------
# Named with the others while missing; each must be a 64-bit Windows DLL
# (PE32+, x64), an x86 DLL in an x64 place named; once there, none is missed.
build setup
mapfile -t names64 < <(grep 'S::X64' "$src/payload/catalogue.cpp" |
                       sed -n 's/.*{\([0-9]*\), .*"\([^"]*\)", "maker:"}.*/\1_\2/p' | sed 's/%s/KRX/')
check "the catalogue names the four x64 maker files" [ ${#names64[@]} -eq 4 ]
for name in "${names64[@]}"; do
  check "the refusal names the x64 file $name" says "  $name"$'\n'
done
check "the refusal says how to build without the x64 set" says "-DPAYLOAD_X64=OFF"
echo 'int x;' | x86_64-w64-mingw32-gcc-posix -shared -x c - -o "$work/good64.dll"
echo 'int x;' | i686-w64-mingw32-gcc-posix -shared -x c - -o "$work/x86.dll"
for name in "${names64[@]}"; do cp "$work/good64.dll" "$maker/$name"; done
cp "$work/x86.dll" "$maker/${names64[1]}"
build setup
check "an x86 DLL in an x64 place fails the build" [ $? -ne 0 ]
check "${names64[1]} as an x86 DLL is named" says "${names64[1]} is not a 64-bit Windows DLL (PE32+, x64): not for x64"
cp "$work/good64.dll" "$maker/${names64[1]}"
build setup
for name in "${names64[@]}"; do
  says "  $name"$'\n' && check "the x64 file $name, there, is not missed" false
done
check "the catalog is optional" says "payload: goes without the optional 267_KRX.cat"
# The DLL a maker slot takes (the rest of the test fills the 32-bit ones).
dll_for() { [[ " ${names64[*]} " == *" $1 "* ]] && echo good64.dll || echo good.dll; }
# --------------------------------------------------------------------------

# Every maker file there: a small 32-bit DLL for each DLL, text for the rest.
# A stand-in for the maker's DLLs that the spooler may call while the
# printer is made: each driver entry point there, doing nothing.
cat >"$work/good.c" <<'EOF'
#include <windows.h>
BOOL WINAPI DrvDriverEvent(DWORD a, DWORD b, LPBYTE c, LPARAM d) { return TRUE; }
BOOL WINAPI DrvPrinterEvent(LPWSTR a, INT b, DWORD c, LPARAM d) { return TRUE; }
DWORD WINAPI DrvDeviceCapabilities(HANDLE a, PWSTR b, WORD c, void* d, void* e) { return (DWORD)-1; }
LONG WINAPI DrvDocumentPropertySheets(void* a, LPARAM b) { return -1; }
LONG WINAPI DrvDevicePropertySheets(void* a, LPARAM b) { return -1; }
BOOL WINAPI DrvConvertDevMode(LPWSTR a, void* b, void* c, PLONG d, DWORD e) { return FALSE; }
BOOL WINAPI DevQueryPrintEx(void* a) { return TRUE; }
BOOL WINAPI DrvUpgradePrinter(DWORD a, LPBYTE b) { return TRUE; }
EOF
i686-w64-mingw32-gcc-posix -shared -Wl,--kill-at "$work/good.c" -o "$work/good.dll"
echo 'int main() { return 0; }' | i686-w64-mingw32-gcc-posix -x c - -o "$work/program.exe"
cp "$work/good.dll" "$work/x64.dll"   # the same DLL marked for x86-64
pe=$(od -An -tu4 -j60 -N4 "$work/good.dll" | tr -d ' ')
printf '\x64\x86' | dd of="$work/x64.dll" bs=1 seek=$((pe + 4)) conv=notrunc status=none
printf 'not a program\r\n' >"$work/text.dll"
fill() {
  local name
  for name in "${names[@]}"; do
    case ${name,,} in *.dll) cp "$work/$(dll_for "$name")" "$maker/$name" ;; *) echo "help $name" >"$maker/$name" ;; esac
  done
}
# Wrong files among the right ones fail the build, each named with why.
wrong='149_UNIDRV.DLL text.dll no MZ header
157_KRXF.dll program.exe not a DLL
200_KRXF.dll x64.dll not for i386'
fill
while read -r name file why; do cp "$work/$file" "$maker/$name"; done <<<"$wrong"
build setup
check "wrong maker files fail the build" [ $? -ne 0 ]
while read -r name file why; do
  check "$name as $file is named: $why" says "$name is not a 32-bit Windows DLL (PE32, i386): $why"
done <<<"$wrong"
fill
# A file the build does not take is named: a text payload under an id, a
# name in other letters, a settings file (the name is MAKER_PRINTER_NAME).
untaken='155_KRX.GPD krx.ini setting.dll'
for name in $untaken; do cp "$src/payload/files/KRX.GPD" "$maker/$name"; done
build setup
check "files the build does not take fail it" [ $? -ne 0 ]
for name in $untaken; do
  says "  $name"$'\n' || check "the refusal names $name" false
  rm "$maker/$name"
done
# Text payloads that are none fail it, each named with why.
grep -v GPDSpecVersion "$src/payload/files/KRX.GPD" >"$maker/KRX.GPD"
sed 's/KRXF\.DLL/KRXG.DLL/' "$src/payload/files/KRX.INF" >"$maker/KRX.INF"
printf 'binary\0\r\n' >"$maker/STDNAMES.GPD"
build setup
check "text payloads that are none fail the build" [ $? -ne 0 ]
check "a GPD without *GPDSpecVersion is named" says "$maker/KRX.GPD: a GPD must declare its *GPDSpecVersion"
check "an INF that misses a file is named" says "$maker/KRX.INF: it does not name KRXF.dll: an INF must name"
check "a binary text payload is named" says "$maker/STDNAMES.GPD: it is not text"
rm "$maker/KRX.INF" "$maker/STDNAMES.GPD"
# The maker's own GPD serves every set.
{ cat "$src/payload/files/KRX.GPD"; printf '*%% The maker'"'"'s own model, 7f3c\r\n'; } >"$maker/KRX.GPD"
build setup
check "setup.exe builds with every maker file" [ $? -eq 0 ]
check "and lacks nothing" says "payload: lacks nothing"
check "the maker's GPD is embedded in each of the four sets" [ "$(grep -aoF "own model, 7f3c" "$build/setup.exe" | wc -l)" -eq 4 ]
check "without MAKER_COMPANY and MAKER_VERSION the INF is ours" holds "$build/setup.exe" "$(cat "$src/payload/files/KRX.INF")"
check "without MAKER_PRINTER_NAME the settings name KRX" holds "$build/setup.exe" "$(cat "$src/payload/files/setting.dll")"

for program in setup.exe uninstaller/uninstall.exe; do
  check "$program unsigned without the signing options" fails osslsigncode verify -in "$build/$program"
  check "$program carries today's version details" \
    [ "$(version_of "$build/$program")" = $'FILEVERSION 1, 0, 0, 0\nVALUE "FileVersion", "1.0.0.0"' ]
done

# Signed with a throwaway certificate, with the maker's version details.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Test Printer Maker" -addext extendedKeyUsage=codeSigning 2>/dev/null
printf 'pass word\n' >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/maker.pfx" -passout "file:$work/password"
configure -DSIGN_PFX="$work/maker.pfx" -DSIGN_PASSWORD_FILE="$work/password" -DMAKER_VERSION=2.3.40.5 \
  -DMAKER_COMPANY='Acme "Receipt" Printers' -DMAKER_COPYRIGHT='© 2026 Acme\Printers' \
  -DMAKER_PRINTER_NAME="Acme T80" -DMAKER_SERIES="T80 receipt series" \
  -DMAKER_URL_INFO_ABOUT=https://acme.example/t80 -DMAKER_HELP_LINK=https://acme.example/help
build setup uninstaller
check "the signed build builds" [ $? -eq 0 ] || echo "$output"
for program in setup.exe uninstaller/uninstall.exe payload/uninstall.exe; do
  check "$program verifies" quietly osslsigncode verify -CAfile "$work/cert.pem" -in "$build/$program"
done
# The signed uninstaller is the one setup.exe carries.
od -An -tx1 -v "$build/uninstaller/uninstall.exe" | tr -d ' \n' >"$work/uninstall.hex"
check "setup.exe embeds the signed uninstall.exe" \
  grep -qFf "$work/uninstall.hex" <(od -An -tx1 -v "$build/setup.exe" | tr -d ' \n')
expected='FILEVERSION 2, 3, 40, 5
VALUE "FileVersion", "2.3.40.5"
VALUE "CompanyName", "Acme ""Receipt"" Printers"
VALUE "LegalCopyright", L"\251 2026 Acme\\Printers"'
for program in setup.exe uninstaller/uninstall.exe; do
  actual=$(version_of "$build/$program")
  check "$program carries the maker's version details" [ "$actual" = "$expected" ] || echo "$actual"
done

# The maker's texts where the customer sees them.
check "the INF's Provider is the company" holds "$build/setup.exe" $'Provider=%COMPANY%\r\n'
check "named in its strings" holds "$build/setup.exe" $'[Strings]\r\nCOMPANY="Acme ""Receipt"" Printers"\r\n'
check "the INF's DriverVer is the version of today" holds "$build/setup.exe" "DriverVer=$(date -u +%m/%d/%Y),2.3.40.5"
check "the embedded settings name the maker's printer" holds "$build/setup.exe" $'PrinterName=Acme T80'
check "the series row is the maker's" holds "$build/setup.exe" "T80 receipt series"

# The program alone installs the maker's printer, with the company as the
# entry's publisher; a setting.dll beside it still names another.
if [ -n "$wine_dir" ] && [ -f "$wine_dir/template/.ready" ]; then
  run=$work/run
  mkdir "$run"
  cp "$build/setup.exe" "$run/"
  w=$(sed 's|/|\\|g' <<<"Z:$run")
  printf '%s\r\n' '@echo off' "start /wait $w\\setup.exe /S /LOG=$w\\alone.log" \
    "reg query \"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme T80 printer\" > $w\\entry.txt" \
    >"$run/alone.bat"
  "$src/tests/wine-run.sh" "$wine_dir" cmd /c "$w\\alone.bat" >"$work/wine.log" 2>&1
  check "setup.exe alone installs Acme T80" grep -q "outcome 0: installed, the printer Acme T80 exists" "$run/alone.log" ||
    cat "$run/alone.log" "$work/wine.log"
  check "its entry's publisher is the company" grep -q 'Publisher.*Acme "Receipt" Printers' "$run/entry.txt"
  check "and its links the maker's" grep -q 'URLInfoAbout.*https://acme.example/t80' "$run/entry.txt"
  check "with the help link" grep -q 'HelpLink.*https://acme.example/help' "$run/entry.txt"
  printf '[Setting]\r\nLanguage=English\r\nPrinterName=Other T80\r\n' >"$run/setting.dll"
  "$src/tests/wine-run.sh" "$wine_dir" "$w\\setup.exe" /S "/LOG=$w\\beside.log" >>"$work/wine.log" 2>&1
  check "a setting.dll beside it names another printer" \
    grep -q "outcome 0: installed, the printer Other T80 exists" "$run/beside.log"
else
  echo "skip the install under Wine: no prepared prefix (${wine_dir:-no WINE_DIR})"
fi

# A certificate out of date is refused before anything is signed, when
# configuring and when it was renewed for an expired one in place, and the
# failed build leaves no program.
mkdir -p "$work/ca"
touch "$work/ca/index.txt"
echo 01 >"$work/ca/serial"
printf '%s\n' '[ca]' 'default_ca = old' '[old]' "database = $work/ca/index.txt" "new_certs_dir = $work/ca" \
  "serial = $work/ca/serial" 'default_md = sha256' 'policy = any' 'x509_extensions = signing' \
  '[any]' 'commonName = supplied' '[signing]' 'extendedKeyUsage = codeSigning' >"$work/ca.cnf"
openssl req -new -newkey rsa:2048 -nodes -keyout "$work/old.key" -out "$work/old.csr" -subj "/CN=Old Maker" 2>/dev/null
openssl ca -batch -config "$work/ca.cnf" -selfsign -keyfile "$work/old.key" -in "$work/old.csr" -out "$work/old.pem" \
  -startdate 20240101000000Z -enddate 20250101000000Z >/dev/null 2>&1
openssl pkcs12 -export -inkey "$work/old.key" -in "$work/old.pem" -out "$work/old.pfx" -passout "file:$work/password"
cp "$work/maker.pfx" "$work/renewed.pfx"
cmake -S "$src" -B "$build" -DSIGN_PFX="$work/old.pfx" >"$work/expired.log" 2>&1
check "configuring with an expired certificate fails" [ $? -ne 0 ]
# (cmake wraps the message's lines)
check "naming the cause" grep -qF "SIGN_PFX $work/old.pfx: its certificate (CN = Old Maker) expired on Jan 1 00:00:00 2025" \
  <(tr -s ' \n' '  ' <"$work/expired.log") || cat "$work/expired.log"
check "and leaves no program" no_programs
configure -DSIGN_PFX="$work/renewed.pfx"
build setup
check "with a certificate in date it builds again" [ $? -eq 0 ]
cp "$work/old.pfx" "$work/renewed.pfx"
build setup
check "a rebuild with the certificate expired in place fails" [ $? -ne 0 ]
check "naming the cause" says "its certificate (CN = Old Maker) expired on"
check "and leaves no program" no_programs
rm "$work/renewed.pfx"
build setup
check "a certificate file that is gone is named" says "SIGN_PFX $work/renewed.pfx: no such file"

# A printer name, company or series the build cannot carry stops the
# configuring, naming the rule it breaks.
refused="-DMAKER_PRINTER_NAME=LPT1.GPD|is a device name
-DMAKER_PRINTER_NAME=Acme/T80|holds one of the characters
-C$work/blank.cmake|begins or ends with a blank
-DMAKER_PRINTER_NAME=Acme receipt printer T80 with the longest name one could think|is longer than 57 characters
-DMAKER_PRINTER_NAME=Acme 打印机|holds a character other than printable ASCII
-DMAKER_COMPANY=Acme; Printers|holds a character other than printable ASCII, or a semicolon"
# (cmake -D drops a blank at the end; a cache script keeps it)
echo 'set(MAKER_PRINTER_NAME "Acme T80 " CACHE STRING "" FORCE)' >"$work/blank.cmake"
while IFS='|' read -r option why; do
  cmake -S "$src" -B "$build" -DMAKER_PRINTER_NAME= -DMAKER_COMPANY= "$option" >"$work/refused.log" 2>&1
  check "$option is refused: $why" grep -qF "$why" <(tr -s ' \n' '  ' <"$work/refused.log")
done <<<"$refused"

# --- Without the x64 set (-DPAYLOAD_X64=OFF) --------------------------------
# The x64 files are not needed, none of the set is embedded, and the build
# says that this setup.exe refuses 64-bit Windows.
for name in "${names64[@]}"; do rm -f "$maker/$name"; done
configure -DPAYLOAD_X64=OFF -DSIGN_PFX= -DSIGN_PASSWORD_FILE= -DMAKER_PRINTER_NAME= -DMAKER_COMPANY=
build setup
check "without the x64 set setup.exe builds without the x64 files" [ $? -eq 0 ] || echo "$output"
check "and says it will refuse 64-bit Windows" says "payload: no x64 set: this setup.exe will refuse 64-bit Windows"
embeds=$(grep '^payload: embeds' <<<"$output")
none_of_x64() { [ -n "$embeds" ] && [[ $embeds != *" 257"* && $embeds != *" 26"[0-7]* ]]; }
check "and embeds nothing of the x64 set" none_of_x64
# --------------------------------------------------------------------------

[ $failures -eq 0 ] && rm -rf "$work"
[ $failures -eq 0 ]
