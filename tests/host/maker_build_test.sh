#!/bin/bash
# A printer maker's build, configured in a folder of its own and building
# only the two programs: it refuses without the maker's files and names
# them, names a maker DLL that is no 32-bit Windows DLL, signs both programs
# so that osslsigncode verifies them, and carries the maker's version details.
#   maker_build_test.sh SOURCE_DIR WORK_DIR
set -u
src=$1
work=$2
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
  cmake -S "$src" -B "$build" -G "Unix Makefiles" -DPREPARE_WINE_PREFIX=OFF -DMAKER_PAYLOAD_DIR="$maker" "$@" \
    >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
}
build() { output=$(cmake --build "$build" -j"$(nproc)" --target "$@" 2>&1); }

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

# --- The x64 set's maker files --------------------------------------------
# Named with the others while missing; each must be a 64-bit Windows DLL
# (PE32+, x64), an x86 DLL in an x64 place named; once there, none is missed.
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
echo 'int x;' | i686-w64-mingw32-gcc-posix -shared -x c - -o "$work/good.dll"
cp "$build/uninstaller/uninstall.exe" "$work/program.exe"
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
build setup
check "setup.exe builds with every maker file" [ $? -eq 0 ]
check "and lacks nothing" says "payload: lacks nothing"

# version_of FILE: the version resource's file version and text values, as
# windres writes them back.
version_of() {
  i686-w64-mingw32-windres -J coff -i "$1" -O rc | sed -n '/VERSIONINFO/,/^END/p' |
    grep -e ' FILEVERSION' -e '"FileVersion"' -e '"CompanyName"' -e '"LegalCopyright"' | sed 's/^ *//'
}
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
  -DMAKER_COMPANY='Acme "Receipt" Printers' -DMAKER_COPYRIGHT='© 2026 Acme\Printers'
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

# --- Without the x64 set (-DPAYLOAD_X64=OFF) --------------------------------
# The x64 files are not needed, none of the set is embedded, and the build
# says that this setup.exe refuses 64-bit Windows.
for name in "${names64[@]}"; do rm -f "$maker/$name"; done
configure -DPAYLOAD_X64=OFF
build setup
check "without the x64 set setup.exe builds without the x64 files" [ $? -eq 0 ] || echo "$output"
check "and says it will refuse 64-bit Windows" says "payload: no x64 set: this setup.exe will refuse 64-bit Windows"
embeds=$(grep '^payload: embeds' <<<"$output")
none_of_x64() { [ -n "$embeds" ] && [[ $embeds != *" 257"* && $embeds != *" 26"[0-7]* ]]; }
check "and embeds nothing of the x64 set" none_of_x64
# --------------------------------------------------------------------------

[ $failures -eq 0 ] && rm -rf "$work"
[ $failures -eq 0 ]
