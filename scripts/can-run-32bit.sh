#!/bin/bash
# Can this machine execute 32-bit x86 programs? Wine's 32-bit loader is one;
# a kernel without IA-32 emulation refuses it with "Exec format error", and
# then Wine can run nothing here.
#   exit 0  it runs;
#   exit 2  the kernel refuses it: prints why and what would fix it;
#   other   the loader failed some other way: an ordinary failure, reported.
set -u
export LC_ALL=C   # the shell's own error text, matched below, in English
loader=/usr/lib/wine/wine
output=$("$loader" --version 2>&1)
rc=$?
[ $rc -eq 0 ] && exit 0
# The shell's words when execve fails with ENOEXEC on a binary file.
if [ $rc -eq 126 ] && [[ $output == *"$loader: cannot execute binary file: Exec format error"* ]]; then
  echo "This machine cannot run 32-bit programs: its kernel refuses Wine's 32-bit loader"
  echo "($loader: Exec format error), so Wine cannot run the tests or the wizard"
  echo "here. What would fix it: booting the kernel with ia32_emulation=on on its"
  echo "command line, or a kernel built with IA-32 emulation (CONFIG_IA32_EMULATION)."
  exit 2
fi
echo "can-run-32bit: $loader --version failed (exit $rc): $output" >&2
exit 1
