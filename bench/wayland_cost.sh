#!/usr/bin/env bash
# A steady frame's cost on Wayland against X11 at the same size: the program
# full screen on one 640x480 output, drawn by Mesa's llvmpipe both times, on
# Xvfb (GLX) and on a headless sway of its own (EGL; pixman composites).
# After the intro it is measured for COST_SECONDS (15) at 30 frames/s (half
# the output's 60 Hz, which both reach on a busy machine too): its CPU share
# of one core from /proc/PID/stat, and from that its CPU time per frame. Sway refuses
# root, so as root it and the program run as nobody. The display server's
# CPU time is counted beside the program's: it copies (Xvfb) or composites
# (sway) each frame. Prints a markdown table.
#   wayland_cost.sh [PROGRAM]   PROGRAM defaults to build/native/host/linux/quorvelin
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/native/host/linux/quorvelin}")
seconds=${COST_SECONDS:-15}
fps=30
# The saver's intro lasts 1304 frames; its steady phase comes after.
settle=$((1304 / fps + 3))
tick=$(getconf CLK_TCK)
[ -x "$program" ] || { echo "wayland_cost: no program at $program (build the native preset)" >&2; exit 1; }

run=$(mktemp -d /tmp/quorvelin-wayland-cost.XXXXXX)
chmod 755 "$run"
as=()
if [ "$(id -u)" = 0 ]; then
  chown nobody:nogroup "$run"
  as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$run"' EXIT

ticks() { awk '{sub(/^.*\) /, ""); print $12 + $13 + $14 + $15}' "/proc/$1/stat"; }

# measure LABEL SERVER COMMAND...: a table row of the program's CPU share and
# CPU time per frame, the display server's (SERVER, a pid: Xvfb or sway,
# which copies or composites the frames) and the two together.
measure() {
  local label=$1 server=$2
  shift 2
  "$@" --fullscreen --fps "$fps" >/dev/null 2>&1 &
  local pid=$!
  pids+=("$pid")
  sleep "$settle"
  local before after serverBefore serverAfter
  before=$(ticks "$pid")
  serverBefore=$(ticks "$server")
  sleep "$seconds"
  after=$(ticks "$pid")
  serverAfter=$(ticks "$server")
  kill "$pid"
  awk -v l="$label" -v a="$after" -v b="$before" -v sa="$serverAfter" -v sb="$serverBefore" -v t="$tick" \
    -v s="$seconds" -v f="$fps" 'BEGIN {
      own = (a - b) / t / s; server = (sa - sb) / t / s
      printf "| %s | %.1f | %.2f | %.2f | %.2f |\n", l, 100 * own, 1000 * own / f, 1000 * server / f,
             1000 * (own + server) / f }'
}

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$run/display" >/dev/null 2>&1 &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done

printf 'xwayland disable\noutput HEADLESS-1 mode 640x480@60Hz\n' >"$run/config"
"${as[@]}" env -i PATH=/usr/bin:/bin HOME="$run" XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless \
  WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$run/config" >/dev/null 2>&1 &
sway=$!
pids+=("$sway")
for _ in $(seq 100); do [ -S "$run/wayland-1" ] && break; sleep 0.1; done

echo "Steady frame, 640x480, llvmpipe, $fps frames/s, ${seconds} s after the intro;"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| host | program: CPU % of one core | program: CPU ms per frame | server: CPU ms per frame | both: CPU ms per frame |"
echo "|---|---:|---:|---:|---:|"
measure "X11 (Xvfb, GLX)" "$xvfb" env -u WAYLAND_DISPLAY DISPLAY=":$(head -n1 "$run/display")" LIBGL_ALWAYS_SOFTWARE=1 \
  "$program" --x11
measure "Wayland (headless sway, EGL)" "$sway" "${as[@]}" env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$run" \
  WAYLAND_DISPLAY=wayland-1 LIBGL_ALWAYS_SOFTWARE=1 "$program" --wayland
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
