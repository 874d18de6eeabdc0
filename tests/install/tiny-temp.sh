#!/bin/bash
# Mounts or unmounts the small filesystem that the disk-full test gets as
# C:\TEMP (through WINE_RUN_C_TEMP of wine-run.sh), open to no one but its
# owner: the install refuses a C:\TEMP that every user may change. Needs
# root, as CI has.
#   tiny-temp.sh mount|umount DIR
set -u
dir=$2
case $1 in
  mount)
    mkdir -p "$dir"
    mountpoint -q "$dir" && umount "$dir"
    exec mount -t tmpfs -o size=3m,mode=0755 tmpfs "$dir" ;;
  umount)
    umount "$dir" && rmdir "$dir" ;;
esac
