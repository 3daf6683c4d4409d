#!/usr/bin/env bash
# The Linux program's CPU share beside its peers, on one Xvfb screen of
# 640x480 drawn by Mesa's software renderer (llvmpipe): the program full screen
# at 30 and at 64 frames/s in its steady state, and four of Debian's GL hacks
# on the root window at their default rates, one at a time. Each one's share
# of one core over CPU_SHARE_SECONDS (20) comes from /proc/PID/stat (user and
# system time of all its threads, and of children it has waited for). Installs
# the hacks (xscreensaver-gl) first, as root. Prints a markdown table, the
# hacks' median, and where the screenshots taken at the end of each run are.
# As root, the X server and each program run at nice -20, so that other work on
# a shared machine does not starve them of the frames they ask for.
#   cpu_share.sh [PROGRAM]   PROGRAM defaults to build/native/host/linux/quorvelin
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/native/host/linux/quorvelin}")
seconds=${CPU_SHARE_SECONDS:-20}
hacks=(gears glmatrix flyingtoasters bubble3d)
hackdir=/usr/libexec/xscreensaver
# The saver's intro lasts 1304 frames; its steady phase comes after.
introFrames=1304

if [ ! -x "$hackdir/gears" ] || [ ! -x "$hackdir/bubble3d" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends xscreensaver-gl >/dev/null
fi
[ -x "$program" ] || { echo "cpu_share: no program at $program (build the native preset)" >&2; exit 1; }

scratch=$(mktemp -d /tmp/quorvelin-cpu-share.XXXXXX)
shots=$scratch/shots
mkdir -p "$shots"
priority=()
if [ "$(id -u)" = 0 ]; then
  priority=(nice -n -20)
fi
# Xvfb picks a free display and writes its number to the file.
"${priority[@]}" Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$scratch/display")"
# On the virtual screen, not on a compositor the session may run.
unset WAYLAND_DISPLAY
tick=$(getconf CLK_TCK)

# CPU ticks of a process so far: utime, stime, cutime, cstime (fields 14-17).
ticks() { awk '{sub(/^.*\) /, ""); print $12 + $13 + $14 + $15}' "/proc/$1/stat"; }

# measure LABEL SETTLE_SECONDS COMMAND...: prints a table row with the share in %.
measure() {
  local label=$1 settle=$2
  shift 2
  "${priority[@]}" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$settle"
  local before after
  before=$(ticks "$pid")
  sleep "$seconds"
  after=$(ticks "$pid")
  import -window root "$shots/$label.png" 2>/dev/null || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  local lit
  lit=$(convert "$shots/$label.png" -colorspace Gray -threshold 4% -format '%[fx:100*mean]' info: 2>/dev/null || echo "?")
  awk -v l="$label" -v a="$after" -v b="$before" -v t="$tick" -v s="$seconds" -v lit="$lit" \
    'BEGIN {printf "| %s | %.1f | %.1f |\n", l, 100 * (a - b) / t / s, lit}'
}

echo "CPU share of one core over ${seconds} s on Xvfb 640x480x24 (GLX drawn by Mesa llvmpipe);"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| program | CPU % of one core | lit pixels % (final screenshot) |"
echo "|---|---:|---:|"
rows=$scratch/rows
for fps in 30 64; do
  measure "quorvelin --fullscreen --fps $fps" $(( introFrames / fps + 3 )) "$program" --fullscreen --fps "$fps"
done
for hack in "${hacks[@]}"; do
  measure "$hack -root" 3 "$hackdir/$hack" -root | tee -a "$rows"
done
median=$(awk -F'|' '{print $3}' "$rows" | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}')
echo "| **median of the ${#hacks[@]} hacks** | **$(printf '%.1f' "$median")** | |"
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg); screenshots in $shots"
