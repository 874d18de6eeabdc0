#!/bin/bash
# Runs a command with an X display: the current one, or a private Xvfb.
set -u
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
for n in $(seq 90 140); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do xdpyinfo -display :$n >/dev/null 2>&1 && break; sleep 0.1; done
  if xdpyinfo -display :$n >/dev/null 2>&1; then
    DISPLAY=:$n "$@"
    rc=$?
    kill $xvfb 2>/dev/null
    exit $rc
  fi
  kill $xvfb 2>/dev/null
done
echo "with-display: could not start Xvfb" >&2
exit 1
