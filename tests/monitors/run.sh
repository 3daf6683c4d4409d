#!/usr/bin/env bash
# The saver full screen on desktops of two monitors, one per row of the
# table: an Xorg server of its own with the dummy driver, whose outputs
# DUMMY0 and DUMMY1 xrandr lays out (Xvfb has one output, and Wine counts
# RandR outputs). Screenshots of the X screen are judged by check_shot.py
# and kept in SHOTS_DIR.
#   run.sh x11 PROGRAM SHOTS_DIR             the Linux program
#   run.sh wine SCR DISPLAY_CHANGE SHOTS_DIR the x86_64 .scr, /s, under wine64 in the
#                                            prefix $QUORVELIN_WINEPREFIX
# Exit status 0 when every row passes, 77 (skipped) when not run as root,
# which Xorg needs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
kind=$1 program=$2
if [ "$kind" = wine ]; then helper=$3 shots=$4; else shots=$3; fi

# Name, the Linux program's mode, DUMMY0 and DUMMY1 (MODE+X+Y), then the
# second monitor's changes while the saver runs: a new mode, off, and back.
layouts=(
  "equal   --root       1024x768+0+0 1024x768+1024+0"
  "unequal --fullscreen 1280x720+0+0 1024x768+1280+100 800x600+1280+100 off 1024x768+1280+100"
)

[ "$(id -u)" -eq 0 ] || { echo "monitors: skipped: Xorg with the dummy driver must run as root"; exit 77; }
mkdir -p "$shots"
work=$(mktemp -d /tmp/quorvelin-monitors.XXXXXX)
pid= xorg=
finish() {
  [ -z "$pid" ] || { kill "$pid"; wait "$pid"; } 2>/dev/null || true
  [ "$kind" != wine ] || bash "$here/../win32/wine-run.sh" 64 --stop
  { kill "$xorg"; wait "$xorg"; rm -rf "$work"; } 2>/dev/null || true
}
trap finish EXIT

Xorg -displayfd 3 -config "$here/xorg-dummy.conf" -configdir "$work" -logfile "$work/xorg.log" -nolisten tcp \
  -noreset 3>"$work/display" >/dev/null 2>&1 &
xorg=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "monitors: Xorg did not start:"; tail "$work/xorg.log"; exit 1; }
export DISPLAY=:$(cat "$work/display")

# An output to MODE+X+Y, or off.
place() {
  if [ "$2" = off ]; then xrandr --output "$1" --off; return; fi
  xrandr --addmode "$1" "${2%%+*}" 2>/dev/null || true
  xrandr --output "$1" --mode "${2%%+*}" --pos "$(echo "${2#*+}" | tr + x)"
}

# The second monitor changed as a user would: with xrandr for the Linux
# program, in the system's display settings for the .scr (Wine tells its
# windows of its own changes only).
change() {
  if [ "$kind" = x11 ]; then place DUMMY1 "$1"; return; fi
  local geometry=${1/off/0x0+0+0}
  bash "$here/../win32/wine-run.sh" 64 "$helper" '\\.\DISPLAY2' $(echo "$geometry" | tr x+ '  ')
}

monitors() { xrandr --listmonitors | awk 'NR > 1 { g = $3; gsub(/\/[0-9]+/, "", g); print g }'; }

# Screenshots until the checker accepts one for the state or LIMIT seconds pass.
await() {
  local state=$1 shot=$2 end=$((SECONDS + $3)) verdict=
  while [ $SECONDS -lt $end ]; do
    kill -0 "$pid" 2>/dev/null || { echo "FAIL $kind $shot: the program ended"; return 1; }
    import -window root "$work/shot.png" 2>/dev/null && cp "$work/shot.png" "$shots/$kind-$shot.png" &&
      verdict=$(/usr/bin/python3 "$here/check_shot.py" "$state" "$work/shot.png" $(monitors)) &&
      { echo "ok $kind $shot: $verdict"; return 0; }
    sleep 1
  done
  echo "FAIL $kind $shot: $verdict"
  return 1
}

# The prefix is made before the first desktop is laid out and its server has
# ended, so the saver's own start reads the monitors afresh: a first start
# that also makes the prefix could keep the display it saw while booting.
[ "$kind" != wine ] || bash "$here/../win32/wine-run.sh" 64 --boot

failed=0
for row in "${layouts[@]}"; do
  read -r name mode first second changes <<<"$row"
  place DUMMY1 "$second"
  place DUMMY0 "$first"
  if [ "$kind" = x11 ]; then "$program" "$mode" --fps 1000 & else bash "$here/../win32/wine-run.sh" 64 "$program" /s & fi
  pid=$!
  step=0 bad=0
  await title "$name-title" 180 && await steady "$name-steady" 300 || bad=1
  for to in $changes; do
    step=$((step + 1))
    [ $bad -eq 0 ] && change "$to" && await steady "$name-change$step-$to" 60 || bad=1
  done
  failed=$((failed | bad))
  { kill "$pid"; wait "$pid"; } 2>/dev/null || true
  pid=
done
exit $failed
