#!/bin/bash
# The 32-bit check against loaders the kernel really refuses or that fail
# otherwise: each case bind-mounts a file over Wine's loader in a private
# mount namespace (root needed; exit 77 skips).
set -u
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/can-run-32bit.sh
loader=/usr/lib/wine/wine
[ "$(id -u)" -eq 0 ] && [ -x "$loader" ] && unshare -m true 2>/dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect CASE FILE EXIT_CODE [TEXT]: the check, with FILE as the loader,
# exits EXIT_CODE and (when given) says TEXT.
expect() {
  local output rc
  output=$(unshare -m bash -c 'mount --bind "$1" "$2" && "$3"' _ "$2" "$loader" "$check" 2>&1)
  rc=$?
  if [ $rc -ne "$3" ] || [[ $output != *"${4:-}"* ]]; then
    echo "FAIL $1: exit $rc, expected $3${4:+ saying \"$4\"}; it said: $output"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

# Wine's own loader marked as an ARM program: a 32-bit program the kernel
# cannot execute, as an x86-64 kernel without IA-32 emulation cannot run it.
cp "$loader" "$work/foreign"
printf '\x28\x00' | dd of="$work/foreign" bs=1 seek=18 conv=notrunc status=none
expect "refused as foreign" "$work/foreign" 2 "ia32_emulation=on"

# Failures that are not the kernel refusing the format.
cp "$loader" "$work/not-executable" && chmod a-x "$work/not-executable"
expect "not executable" "$work/not-executable" 1 "Permission denied"
printf '#!/bin/sh\necho "wine: Exec format error"\nexit 126\n' >"$work/says-it"
chmod +x "$work/says-it"
expect "a loader that fails saying the words" "$work/says-it" 1 "failed (exit 126)"
expect "the real loader" "$loader" 0

[ $failures -eq 0 ]
