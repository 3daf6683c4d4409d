#!/usr/bin/env bash
# Start-up of the x86_64 .scr (full screen, /s) against the minimal Win32 GL
# program, under wine64 on a private Xvfb, in alternating rounds; prints the
# table rows of quorvelin-startup-bench. Its own prefix in the build dir; the
# wineserver is kept running across rounds so neither program pays its start.
#   wine_startup.sh STARTUP_BENCH WIN64_BUILD_DIR ROUNDS
set -euo pipefail
bench=$(realpath "$1")
build=$(realpath "$2")
rounds=$3

if [ -z "${QUORVELIN_BENCH_ON_XVFB:-}" ]; then
  QUORVELIN_BENCH_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

export WINEPREFIX="$build/bench-wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1
  "$wineserver" -w
fi
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
# One untimed run of each, so both find the prefix's files in the page cache.
"$bench" --rounds 1 --var QUORVELIN_LOG_FIRST_SWAP --kill --windows-path \
  --run warm-up "$wine $build/bench/QuorvelinFirstSwap.scr /s" --run warm-up "$wine $build/bench/QuorvelinMinimalGl.exe" >/dev/null
"$bench" --rounds "$rounds" --var QUORVELIN_LOG_FIRST_SWAP --kill --windows-path \
  --run "Quorvelin.scr /s (x86_64, wine64)" "$wine $build/bench/QuorvelinFirstSwap.scr /s" \
  --run "minimal Win32 GL (x86_64, wine64)" "$wine $build/bench/QuorvelinMinimalGl.exe"
