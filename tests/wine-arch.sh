# Sourced by the test scripts: WINEARCH, and `wine` for it.
#   . wine-arch.sh win32|win64
# A 64-bit prefix runs the 64-bit build of the tests with Wine's 64-bit
# loader alone, on hosts whose kernel cannot run 32-bit programs; the
# program shipped is always the 32-bit build.
export WINEARCH=$1
if [ "$WINEARCH" = win64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  wine() { /usr/lib/wine/wine64 "$@"; }
fi
