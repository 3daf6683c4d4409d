#!/usr/bin/env bash
# `make run`: builds the Linux program and the offscreen player (no tests)
# and plays the show.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux-player

# The show rendered headless: a contact sheet of the intro and the steady
# state, and a few seconds of the steady state as an animated GIF, in out/.
render_offscreen() {
  local player=$build/host/offscreen/quorvelin-render
  local sheet_frames=0,200,400,600,800,1000,1203,1250,1304,1400,1800,2500
  rm -rf out/sheet out/gif
  "$player" --size 640x480 --frames "$sheet_frames" --out out/sheet --seed 1 --sheet
  cp out/sheet/sheet.png out/sheet.png

  # 120 frames of the steady state, from frame 2400 on (the streams are well
  # under way by then), at about 33 frames a second. Its frames are only the
  # GIF's makings: they go once it is made.
  local gif_frames gif_dir
  gif_frames=$(seq -s, 2400 2519)
  gif_dir=$(mktemp -d)
  # shellcheck disable=SC2064 # the folder's name now: the local is gone by the exit
  trap "rm -rf '$gif_dir'" EXIT
  "$player" --size 320x240 --frames "$gif_frames" --out "$gif_dir" --seed 1
  convert -delay 3 -loop 0 "$gif_dir"/frame-*.png out/show.gif

  echo "make run: contact sheet out/sheet.png (frames $sheet_frames; each at 640x480 in out/sheet/)"
  echo "make run: animation out/show.gif (frames 2400 to 2519 of the steady state)"
}

# With a display (a Wayland compositor or an X server), the show plays in a
# window of the Linux program until it is closed (Escape, q or the window's
# close button). When no window can open there (nothing behind the name, no
# OpenGL), it says so and returns 1.
play_in_window() {
  local program=$build/host/linux/quorvelin
  local display=${WAYLAND_DISPLAY:-$DISPLAY}
  echo "make run: playing the show in a window on display $display ($program; Escape or q closes it)"
  if ! "$program" --window; then
    echo "make run: no window on display $display; rendering the show offscreen instead"
    return 1
  fi
}

cmake --preset linux-player >/dev/null
cmake --build --preset linux-player
mkdir -p out
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "make run: no display (neither WAYLAND_DISPLAY nor DISPLAY is set); rendering the show offscreen"
  render_offscreen
elif ! play_in_window; then
  render_offscreen
fi
