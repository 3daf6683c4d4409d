#!/usr/bin/env bash
# A steady frame's cost on Wayland against X11 at the same size: the program
# full screen on one 640x480 output, drawn by Mesa's llvmpipe both times, on
# Xvfb (GLX) and on a headless sway of its own (EGL; pixman composites).
# Both play at once, at 30 frames/s (half the output's 60 Hz, which both
# reach on a busy machine too), so that a shared machine's load weighs on
# both alike; after the intro, COST_ROUNDS (5) windows of COST_SECONDS (10)
# each give every process's CPU time per frame from /proc/PID/stat (all
# threads), and the table ends with their medians. Sway refuses
# root, so as root it and the program run as nobody. The display server's
# CPU time is counted beside the program's: it copies (Xvfb) or composites
# (sway) each frame. Prints a markdown table.
#   wayland_cost.sh [PROGRAM]   PROGRAM defaults to build/native/host/linux/quorvelin
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/native/host/linux/quorvelin}")
seconds=${COST_SECONDS:-10}
rounds=${COST_ROUNDS:-5}
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

# start COMMAND...: the program full screen at the rate, its pid in started.
start() {
  "$@" --fullscreen --fps "$fps" >/dev/null 2>&1 &
  started=$!
  pids+=("$started")
}

# Milliseconds of CPU per frame from tick counts over one window.
per_frame() { awk -v a="$2" -v b="$1" -v t="$tick" -v s="$seconds" -v f="$fps" 'BEGIN {printf "%.2f", 1000 * (a - b) / t / s / f}'; }

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

echo "Steady frame, 640x480, llvmpipe, $fps frames/s: CPU ms per frame over $rounds windows of ${seconds} s after the intro;"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| window | X11: program | X11: Xvfb | X11: both | Wayland: program | Wayland: sway | Wayland: both |"
echo "|---|---:|---:|---:|---:|---:|---:|"
start env -u WAYLAND_DISPLAY DISPLAY=":$(head -n1 "$run/display")" LIBGL_ALWAYS_SOFTWARE=1 "$program" --x11
x11=$started
start "${as[@]}" env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 LIBGL_ALWAYS_SOFTWARE=1 \
  "$program" --wayland
wayland=$started
sleep "$settle"
rows=$run/rows
for round in $(seq "$rounds"); do
  before=()
  for p in "$x11" "$xvfb" "$wayland" "$sway"; do before+=("$(ticks "$p")"); done
  sleep "$seconds"
  cells=()
  i=0
  for p in "$x11" "$xvfb" "$wayland" "$sway"; do cells+=("$(per_frame "${before[$i]}" "$(ticks "$p")")"); i=$((i + 1)); done
  x11Both=$(awk -v a="${cells[0]}" -v b="${cells[1]}" 'BEGIN {printf "%.2f", a + b}')
  waylandBoth=$(awk -v a="${cells[2]}" -v b="${cells[3]}" 'BEGIN {printf "%.2f", a + b}')
  echo "| $round | ${cells[0]} | ${cells[1]} | $x11Both | ${cells[2]} | ${cells[3]} | $waylandBoth |" | tee -a "$rows"
done
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
echo -n "| **median** |"
for column in 3 4 5 6 7 8; do echo -n " **$(awk -F'|' -v c=$column '{print $c}' "$rows" | median)** |"; done
echo
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
