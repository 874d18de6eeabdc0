#!/bin/sh
# Runs one step of the build (every compile, link and custom command goes
# through it). When the step fails, the programs earlier builds left in the
# build folder go with it, so that a release script that misses the exit
# code finds no stale setup.exe or uninstall.exe to ship. The same files as
# SHIPPED_PROGRAM_FILES in cmake/maker.cmake.
#   forget_on_failure.sh BUILD_DIR COMMAND [ARGUMENT...]
build=$1
shift
"$@" && exit 0
rc=$?
rm -f "$build/setup.exe" "$build/uninstaller/uninstall.exe" "$build/payload/uninstall.exe"
exit $rc
