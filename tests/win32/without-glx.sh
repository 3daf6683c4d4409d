#!/usr/bin/env bash
# Runs a command on a virtual X display of its own that has no GLX, so the
# saver's OpenGL context cannot be made: the failure path of context creation.
#   without-glx.sh COMMAND [ARGS...]
set -euo pipefail

export WINEPREFIX="${QUORVELIN_WINEPREFIX:-$PWD/wineprefix}"
# A server still serving the previous test on the other display goes first.
/usr/lib/wine/wineserver -w 2>/dev/null || true

fd_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 800x600x24 -extension GLX 3>"$fd_file" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$fd_file"
}
trap cleanup EXIT
for _ in $(seq 50); do
  [ -s "$fd_file" ] && break
  sleep 0.1
done
[ -s "$fd_file" ] || { echo "without-glx.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$fd_file")"
"$@"
