#!/bin/bash
# Runs a Windows test program under Wine, in a fresh copy of the prepared
# test prefix, so every test starts from the same machine state.
#   wine-run.sh WINE_DIR PROGRAM [ARGS...]
# The copy is an overlay on the template in a mount namespace of the test's
# own: nothing is copied, and the mounts go with the test however it ends.
# Where no namespace can be had (not root), the template is copied whole.
# WINE_KEEP_PREFIX=1 keeps a whole copy for a look afterwards.
# WINE_RUN_ARCH=win64 runs in the 64-bit template (template64) instead.
set -u
wine_dir=$(cd "$1" && pwd) || exit 1; shift
template=$wine_dir/template
[ "${WINE_RUN_ARCH:-}" = win64 ] && template=$wine_dir/template64
if [ ! -f "$template/.ready" ]; then
  echo "wine-run: no prepared prefix in $template (build the wine_template target)" >&2
  exit 1
fi
keep=${WINE_KEEP_PREFIX:-0}
if [ -z "${WINE_RUN_OWN_MOUNTS:-}" ] && [ "$keep" != 1 ] && unshare --mount true 2>/dev/null; then
  WINE_RUN_OWN_MOUNTS=1 exec unshare --mount "$0" "$wine_dir" "$@"
fi
own=${WINE_RUN_OWN_MOUNTS:-}
mkdir -p "$wine_dir/runs"
run=$(mktemp -d "$wine_dir/runs/run.XXXXXX")
prefix=$run/prefix
mkdir "$prefix"
if [ -z "$own" ] || ! mkdir "$run/upper" "$run/work" ||
   ! mount -t overlay overlay -o "lowerdir=$template,upperdir=$run/upper,workdir=$run/work" "$prefix" 2>/dev/null; then
  own=
  cp -a "$template/." "$prefix/"
fi
# WINE_RUN_C_TEMP=DIR puts C:\TEMP on DIR (a small filesystem, say). A bind
# mount (root needed), not a link: the install refuses a linked C:\TEMP.
if [ -n "${WINE_RUN_C_TEMP:-}" ]; then
  mkdir -p "$prefix/drive_c/TEMP"
  mount --bind "$WINE_RUN_C_TEMP" "$prefix/drive_c/TEMP" || exit 1
fi
. "$(dirname "$0")/wine-arch.sh" "$(cat "$template/.arch" 2>/dev/null || echo win32)"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
wine "$@"
rc=$?

# The prefix's services (and anything the test left running) end with it.
# In the test's own namespace every Wine process is this prefix's: killed
# outright, as the prefix is thrown away, not saved on the way out as
# wineserver -k does (half a second). Linux programs the test started (the
# screenshots' converter) finish on their own.
if [ -n "$own" ]; then
  pids=()
  for p in $(pgrep --ns $$ --nslist mnt); do
    case $(basename "$(readlink "/proc/$p/exe" 2>/dev/null)") in wine*) pids+=("$p") ;; esac
  done
  [ ${#pids[@]} -gt 0 ] && kill -KILL "${pids[@]}" 2>/dev/null
  for p in "${pids[@]}"; do
    for _ in $(seq 100); do
      grep -qs '^State:[[:space:]]*[^Z[:space:]]' "/proc/$p/status" || break
      sleep 0.01
    done
  done
else
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
fi
[ -n "${WINE_RUN_C_TEMP:-}" ] && umount "$prefix/drive_c/TEMP"
if [ -n "$own" ]; then
  umount "$prefix" 2>/dev/null || umount -l "$prefix"
fi
if [ "$keep" = 1 ]; then
  echo "wine-run: prefix kept in $prefix" >&2
else
  rm -rf "$run"
fi
exit $rc
