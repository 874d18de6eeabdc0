#!/bin/bash
# Installs what building and testing need on Debian 12 (as root, or with sudo).
set -eu
packages=(cmake make g++ g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
          mingw-w64-i686-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          mingw-w64-x86-64-dev googletest wine wine32:i386 wine64 xvfb x11-utils imagemagick fonts-wqy-zenhei locales
          procps osslsigncode openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if [ ${#missing[@]} -gt 0 ]; then
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# The system languages the tests run under. Wine names files on disk in the
# locale's encoding: without these, GBK and Big5 file names cannot be made.
for l in en_US zh_CN zh_TW de_DE; do
  locale -a | grep -qx "$l.utf8" || $sudo localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
