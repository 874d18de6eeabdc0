#!/bin/bash
# Runs a Windows test program under Wine, in a fresh copy of the prepared
# test prefix, so every test starts from the same machine state.
#   wine-run.sh WINE_DIR PROGRAM [ARGS...]
# WINE_KEEP_PREFIX=1 keeps the copy for a look afterwards.
set -u
wine_dir=$1; shift
template=$wine_dir/template
if [ ! -f "$template/.ready" ]; then
  echo "wine-run: no prepared prefix in $template (build the wine_template target)" >&2
  exit 1
fi
mkdir -p "$wine_dir/runs"
prefix=$(mktemp -d "$wine_dir/runs/prefix.XXXXXX")
cp -a "$template/." "$prefix/"
# WINE_RUN_C_TEMP=DIR puts C:\TEMP on DIR (a small filesystem, say). A bind
# mount (root needed), not a link: the install refuses a linked C:\TEMP.
if [ -n "${WINE_RUN_C_TEMP:-}" ]; then
  mkdir -p "$prefix/drive_c/TEMP"
  mount --bind "$WINE_RUN_C_TEMP" "$prefix/drive_c/TEMP" || exit 1
fi
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# Start the prefix's services with their output away from ours: they would
# otherwise hold the caller's pipe open after the test ends.
wine cmd /c exit </dev/null >/dev/null 2>&1
wine "$@"
rc=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
[ -n "${WINE_RUN_C_TEMP:-}" ] && umount "$prefix/drive_c/TEMP"
if [ "${WINE_KEEP_PREFIX:-0}" = 1 ]; then
  echo "wine-run: prefix kept in $prefix" >&2
else
  rm -rf "$prefix"
fi
exit $rc
