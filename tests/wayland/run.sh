#!/usr/bin/env bash
# The Linux program on a real Wayland compositor, one row of the table per
# case: a headless sway of its own (pixman, outputs made with swaymsg), grim
# for screenshots judged by tests/monitors/check_shot.py, wtype for keys.
# Sway refuses to run as root, so under root it and its clients run as nobody.
#   run.sh PROGRAM SHOTS_DIR
# Exit status 0 when every row passes, 77 (skipped) without sway, grim, wtype
# or weston.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1 shots=$2
judge="/usr/bin/python3 $here/../monitors/check_shot.py"

for tool in sway swaymsg grim wtype weston weston-screenshooter; do
  command -v "$tool" >/dev/null || { echo "wayland: skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$shots"
compositor= pid= bin=
run=$(mktemp -d /tmp/quorvelin-wayland.XXXXXX)
finish() {
  [ -z "$pid" ] || { kill "$pid"; wait "$pid"; } 2>/dev/null || true
  [ -z "$compositor" ] || { kill "$compositor"; wait "$compositor"; } 2>/dev/null || true
  rm -rf "$run" $bin
}
trap finish EXIT
chmod 700 "$run"
# A copy of the program that the compositor's user can run wherever the
# build lies (a clone under /root is closed to nobody); it needs no files.
bin=$(mktemp -d /tmp/quorvelin-wayland-bin.XXXXXX)
chmod 755 "$bin"
install -m 755 "$program" "$bin/quorvelin"
program=$bin/quorvelin
as=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$run"
  as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

# The program runs (a zombie, ended but not yet waited for, does not).
alive() { case $(ps -o stat= -p "$1" 2>/dev/null) in '' | Z*) return 1 ;; esac; }

# A command in the compositor's session, as its user.
environment=(env -i PATH=/usr/bin:/bin HOME="$run" XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1
             SWAYSOCK="$run/sway.sock" LIBGL_ALWAYS_SOFTWARE=1)
session() { "${as[@]}" "${environment[@]}" "$@"; }
# launch OUT COMMAND...: started in the background, its output to OUT, its
# pid (the command's own: setpriv and env exec it) in pid.
launch() {
  local out=$1
  shift
  "${as[@]}" "${environment[@]}" "$@" >"$out" 2>&1 &
  pid=$!
}
msg() { session timeout 10 swaymsg "$@" >/dev/null; }

# Our window at WxH in the top left corner, once it is there.
place_window() {
  local end=$((SECONDS + 20))
  while [ $SECONDS -lt $end ]; do
    msg '[app_id="quorvelin"]' resize set "${1%x*}" "${1#*x}", move position 0 0 2>/dev/null && return 0
    sleep 0.2
  done
  echo "FAIL: no window to size to $1"; return 1
}

# A fresh compositor with one 800x600 output at a fast refresh (frames follow
# the compositor's callbacks); our window floats, so that it can be sized.
start_sway() {
  cat >"$run/config" <<CONFIG
xwayland disable
default_border none
output HEADLESS-1 mode 800x600@240Hz position 0 0
for_window [app_id="quorvelin"] floating enable
CONFIG
  "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$run" XDG_RUNTIME_DIR="$run" SWAYSOCK="$run/sway.sock" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$run/config" >"$run/sway.log" 2>&1 &
  compositor=$!
  for _ in $(seq 100); do [ -S "$run/sway.sock" ] && msg -t get_version && return 0; sleep 0.1; done
  echo "sway did not start:"; tail -5 "$run/sway.log"; return 1
}

# Debian's weston, headless with pixman, one 800x600 output; --debug offers
# its screenshooter.
start_weston() {
  "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$run" XDG_RUNTIME_DIR="$run" weston --backend=headless-backend.so \
    --use-pixman --width=800 --height=600 --socket=wayland-1 --debug --idle-time=0 >"$run/weston.log" 2>&1 &
  compositor=$!
  for _ in $(seq 100); do [ -S "$run/wayland-1" ] && sleep 0.5 && return 0; sleep 0.1; done
  echo "weston did not start:"; tail -5 "$run/weston.log"; return 1
}

stop_compositor() {
  { kill "$compositor"; wait "$compositor"; } 2>/dev/null || true
  compositor=
  rm -rf "${run:?}"/*
}

# A screenshot of every output to FILE: grim on sway, weston's screenshooter
# (which writes into the current folder) on weston.
screenshot() {
  if [ -S "$run/sway.sock" ]; then session timeout 10 grim "$1"; return; fi
  (cd "$run" && rm -f wayland-screenshot-*.png && session timeout 10 weston-screenshooter >/dev/null &&
    mv wayland-screenshot-*.png "$1")
}

# The program in the session, its output kept for the row.
play() { launch "$run/out.txt" "$program" "$@"; }

# The outputs as WxH+X+Y, as sway lays them out (weston's is the one 800x600).
outputs() {
  [ -S "$run/sway.sock" ] || { echo 800x600+0+0; return; }
  session swaymsg -t get_outputs -r | /usr/bin/python3 -c 'import json, sys
for o in json.load(sys.stdin):
    if o["active"]:
        r = o["rect"]; s = o["scale"]
        print("%dx%d+%d+%d" % (r["width"] * s, r["height"] * s, r["x"], r["y"]))'
}

# Screenshots of the outputs on black (grim leaves what lies between them
# white), or of one area WxH+X+Y, until the checker accepts one for the state
# or LIMIT seconds pass: await STATE SHOT LIMIT [AREA]. SHOT names the
# picture kept in SHOTS_DIR.
await() {
  local state=$1 shot=$2 area=${4:-} end=$((SECONDS + $3)) verdict= geometry monitors
  while [ $SECONDS -lt $end ]; do
    alive "$pid" || { echo "FAIL $shot: the program ended: $(cat "$run/out.txt")"; return 1; }
    rm -f "$run/grim.png" "$run/shot.png"
    # grim takes one output after another: the show is held still meanwhile,
    # so that every output's picture is of the same frame.
    kill -STOP "$pid"
    sleep 0.2
    if [ -n "$area" ]; then
      geometry=$(echo "$area" | sed -E 's/([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)/\3,\4 \1x\2/')
      monitors=("${area%%+*}+0+0")
      session timeout 10 grim -g "$geometry" "$run/grim.png" && cp "$run/grim.png" "$run/shot.png"
    else
      mapfile -t monitors < <(outputs)
      screenshot "$run/grim.png" &&
        /usr/bin/python3 - "$run/grim.png" "$run/shot.png" "${monitors[@]}" <<'PY'
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert('RGB')
black = Image.new('RGB', shot.size)
for g in sys.argv[3:]:
    size, x, y = g.split('+')
    w, h = (int(n) for n in size.split('x'))
    black.paste(shot.crop((int(x), int(y), int(x) + w, int(y) + h)), (int(x), int(y)))
black.save(sys.argv[2])
PY
    fi
    kill -CONT "$pid"
    [ -s "$run/shot.png" ] && cp "$run/shot.png" "$shots/$shot.png" &&
      verdict=$($judge "$state" "$run/shot.png" "${monitors[@]}") && { echo "ok $shot: $verdict"; return 0; }
    sleep 0.5
  done
  echo "FAIL $shot: ${verdict:-no screenshot}"
  return 1
}

# The program ends within 10 seconds with STATUS, its message containing TEXT:
# ends SHOT STATUS TEXT.
ends() {
  local shot=$1 status=$2 text=$3 end=$((SECONDS + 10)) got
  while alive "$pid" && [ $SECONDS -lt $end ]; do sleep 0.1; done
  if alive "$pid"; then echo "FAIL $shot: still running"; return 1; fi
  got=0; wait "$pid" || got=$?
  pid=
  if [ "$got" -ne "$status" ] || { [ -n "$text" ] && ! grep -qF -- "$text" "$run/out.txt"; }; then
    echo "FAIL $shot: exit $got, said: $(cat "$run/out.txt")"; return 1
  fi
  echo "ok $shot: exit $got${text:+, says \"$text\"}"
}

# wtype's keyboard is new to the seat: it waits (-s) until the show has
# bound it and holds the focus before typing.
row_fullscreen_one() {
  play --fullscreen --fps 1000
  await title fullscreen-one-title 60 && await steady fullscreen-one-steady 120 &&
    session timeout 10 wtype -s 500 a && ends fullscreen-one-key 0 ""
}

# Two outputs of different sizes; a third, larger, comes while the show runs
# and takes the drawing over; a key ends the show. In the steady state each
# output is judged alone: headless sway's screenshots of several outputs
# can hold frames of different ages, even with the show held still. Sway
# 1.7's headless outputs cannot be disabled, so an output going away is not
# played here.
row_fullscreen_outputs() {
  msg create_output && msg output HEADLESS-2 mode 640x480@240Hz position 800 0
  play --fullscreen --fps 1000
  await title fullscreen-two-title 60 && await steady fullscreen-two-steady-800x600 120 800x600+0+0 &&
    await steady fullscreen-two-steady-640x480 60 640x480+800+0 &&
    msg create_output && msg output HEADLESS-3 mode 1024x768@240Hz position 1440 0 &&
    await steady fullscreen-added-steady 60 1024x768+1440+0 && session timeout 10 wtype -s 500 q && ends fullscreen-two-key 0 ""
}

# On a scale-2 output the show is drawn at the output's own 800x600 pixels.
row_fullscreen_scaled() {
  msg output HEADLESS-1 scale 2
  launch "$run/out.txt" env WAYLAND_DEBUG=1 "$program" --fullscreen --fps 1000
  await title fullscreen-scaled-title 60 || return 1
  if grep -q 'set_buffer_scale(2)' "$run/out.txt" && grep -qE 'create_buffer\(.*, 800, 600,' "$run/out.txt"; then
    echo "ok fullscreen-scaled-pixels: 800x600 buffers at scale 2"
  else
    echo "FAIL fullscreen-scaled-pixels: no 800x600 buffer at scale 2"; return 1
  fi
}

# A window follows its size; Escape closes it.
row_window() {
  play --window --fps 1000
  place_window 640x480 && await title window-640x480 60 640x480+0+0 &&
    place_window 400x300 && await title window-400x300 60 400x300+0+0 &&
    session timeout 10 wtype -s 500 -k Escape && ends window-escape 0 ""
}

# The wallpaper shows the show; a window opened later lies over it.
row_background() {
  play --background --fps 1000
  await title background-alone 60 || return 1
  local wallpaper=$pid
  launch "$run/window.txt" "$program" --window --fps 1000
  place_window 320x240 && await title background-under-window 60 320x240+0+0
  local result=$?
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  pid=$wallpaper
  return $result
}

# A compositor without the layer shell cannot show a wallpaper, and with no
# compositor at all there is no show: each says so in one line.
row_refusals() {
  local bad=0
  launch "$run/out.txt" env WAYLAND_DISPLAY=quorvelin-none "$program" --wayland
  ends no-compositor 1 "cannot connect to the Wayland compositor 'quorvelin-none'" || bad=1
  launch "$run/out.txt" env -u WAYLAND_DISPLAY "$program" --wayland
  ends no-wayland-display 1 "no Wayland compositor (WAYLAND_DISPLAY is not set)" || bad=1
  launch "$run/out.txt" env -u DISPLAY "$program" --root
  ends root-without-x 1 "no X display (DISPLAY is not set)" || bad=1
  return $bad
}

# The full-screen show on weston too, so that nothing rests on one
# compositor's habits; weston has no virtual keyboard, so a signal ends it.
row_weston_fullscreen() {
  play --fullscreen --fps 1000
  await title weston-fullscreen-title 60 && await steady weston-fullscreen-steady 120 &&
    kill -TERM "$pid" && ends weston-fullscreen-sigterm 0 ""
}

# Each row on a fresh compositor: sway, or weston where the row says so.
rows=(fullscreen_one fullscreen_outputs fullscreen_scaled window background refusals weston_fullscreen)
failed=0
for row in "${rows[@]}"; do
  if [ "${row%%_*}" = weston ]; then start_weston || exit 1; else start_sway || exit 1; fi
  "row_$row" || { failed=1; echo "FAIL $row"; tail -3 "$run/out.txt" 2>/dev/null || true; }
  [ -z "$pid" ] || { kill "$pid"; wait "$pid"; } 2>/dev/null || true
  pid=
  stop_compositor
done
exit $failed
