#!/usr/bin/env bash
# Builds the native and both Windows presets with the benchmarks (in build/bench-*,
# apart from the presets' own dirs) and prints the performance table
# (the one docs/performance.md holds). Called by `make bench`, after the
# packages are installed. Runs for a few minutes; the figures are only as quiet
# as the machine, so the load average is printed before and after.
#   BENCH_REPETITIONS (10)  repetitions of each CPU benchmark
#   BENCH_SAMPLES (300)     frames of each kind per size on OSMesa
#   BENCH_ROUNDS (20)       start-up rounds per program
#   BENCH_DIRS="NATIVE WIN32 WIN64"  use these build dirs as they are (no build)
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${BENCH_REPETITIONS:-10}
samples=${BENCH_SAMPLES:-300}
rounds=${BENCH_ROUNDS:-20}

if [ -n "${BENCH_DIRS:-}" ]; then
  read -r native win32 win64 <<<"$BENCH_DIRS"
else
  # Build dirs of their own, so the presets' own stay plain builds.
  for preset in native win32-i686 win32-x86_64; do
    cmake --preset "$preset" -B "build/bench-$preset" -DQUORVELIN_BENCH=ON >/dev/null
    cmake --build "build/bench-$preset" -j2 >/dev/null
  done
  native=build/bench-native
  win32=build/bench-win32-i686
  win64=build/bench-win32-x86_64
fi
scratch=$(mktemp -d /tmp/quorvelin-bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

echo "# Quorvelin-Saver: performance figures"
echo
echo "- date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "- machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores, $(free -m | awk '/^Mem:/ {print $2}') MiB,"\
     "$(uname -sr), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "- GL: $("$native/bench/quorvelin-frame-bench" --renderer)"
echo "- load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

echo "## The saver's own CPU work per frame, against a stub GL"
echo
echo "\`$native/bench/quorvelin-logic-bench --benchmark_repetitions=$repetitions\`: CPU time per frame"
echo "of the steady phase (phase 4); median and standard deviation of $repetitions repetitions."
echo
echo "| piece | median ns/frame | stddev ns | GL calls/frame | re-placements/frame | other allocations/frame |"
echo "|---|---:|---:|---:|---:|---:|"
"$native/bench/quorvelin-logic-bench" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, 'NR > 1 {
    gsub(/"/, "", $1)
    name = $1; sub(/_[a-z]+$/, "", name); kind = $1; sub(/^.*_/, "", kind)
    if (kind == "median") { order[++n] = name; median[name] = $4; calls[name] = $11; others[name] = $12; moves[name] = $13 }
    if (kind == "stddev") stddev[name] = $4
  }
  END {
    for (i = 1; i <= n; ++i) {
      k = order[i]
      printf "| %s | %.0f | %.0f | %.0f | %.4f | %.0f |\n", k, median[k], stddev[k], calls[k], moves[k], others[k]
    }
  }'
echo

echo "## Instructions per frame (callgrind, independent of load)"
echo
echo "\`valgrind --tool=callgrind $native/bench/quorvelin-logic-bench --instructions 1000\`"
echo
echo "| piece | instructions/frame |"
echo "|---|---:|"
valgrind --tool=callgrind --callgrind-out-file="$scratch/callgrind.out" \
  "$native/bench/quorvelin-logic-bench" --instructions 1000 >/dev/null 2>&1
for dump in "$scratch"/callgrind.out.*; do
  awk '/^desc: Trigger: Client Request:/ {name = $NF} /^summary:/ {printf "| %s | %.0f |\n", name, $2 / 1000}' "$dump"
done
echo

echo "## The whole frame on OSMesa (llvmpipe)"
echo
echo "\`$native/bench/quorvelin-frame-bench --size WxH --samples $samples\`: baseline and phase-4 frames"
echo "alternate in one run (wall time, and CPU time of all threads); the steady step's parts are timed"
echo "in a second series with glFinish after each."
echo
echo "| size | frame | median ms | p10-p90 ms | samples |"
echo "|---|---|---:|---:|---:|"
for size in 640x480 1920x1080; do
  "$native/bench/quorvelin-frame-bench" --size "$size" --samples "$samples" 2>/dev/null
done
echo

echo "## Start-up: process start to the first finished frame"
echo
probe="$native/bench/libquorvelin-first-frame-probe.so"
echo "Offscreen: \`$native/bench/quorvelin-startup-bench --rounds $rounds --env LD_PRELOAD=$probe"
echo "--run ... --run ...\` (the probe logs the first glFlush after glFinish). Windows: the x86_64 saver /s"
echo "and the minimal Win32 GL program under wine64 on Xvfb (1024x768), each built with the first-swap"
echo "probe (bench/first_swap_probe_win32.cpp; the saver as its instrumented copy QuorvelinFirstSwap.scr,"
echo "the product itself has no probe), with a persistent wineserver."
echo
echo "| program | median ms | p10-p90 ms | rounds | ratio to its minimal program | peak RSS MiB |"
echo "|---|---:|---:|---:|---:|---:|"
for size in 640x480 1920x1080; do
  "$native/bench/quorvelin-startup-bench" --rounds "$rounds" --env "LD_PRELOAD=$probe" \
    --run "quorvelin-render $size" "$native/host/offscreen/quorvelin-render --size $size --frames 0 --out $scratch/frames" \
    --run "minimal OSMesa $size" "$native/bench/quorvelin-minimal-gl $size"
done
bash bench/wine_startup.sh "$native/bench/quorvelin-startup-bench" "$win64" "$rounds"
echo
echo "Where the player's start goes, in one process (\`$native/bench/quorvelin-frame-bench --startup WxH\`,"
echo "one run each; each step ends with glFinish):"
echo
echo "| size | step | ms |"
echo "|---|---|---:|"
for size in 640x480 1920x1080; do
  "$native/bench/quorvelin-frame-bench" --startup "$size"
done
echo

echo "## Footprint"
echo
echo "| item | size |"
echo "|---|---:|"
for scr in "$win32/Quorvelin.scr" "$win64/Quorvelin.scr"; do
  bytes=$(stat -c %s "$scr")
  stripped=$(mktemp "$scratch/stripped.XXXXXX")
  case "$scr" in
    *i686*) i686-w64-mingw32-strip -o "$stripped" "$scr" ;;
    *) x86_64-w64-mingw32-strip -o "$stripped" "$scr" ;;
  esac
  echo "| \`$scr\` | $bytes bytes ($(( bytes / 1024 )) KiB; $(( $(stat -c %s "$stripped") / 1024 )) KiB stripped) |"
done
for size in 640x480 1920x1080; do
  "$native/bench/quorvelin-startup-bench" --rounds 3 --env "LD_PRELOAD=$probe" \
    --run "player" "$native/host/offscreen/quorvelin-render --size $size --frames 1400 --out $scratch/frames" |
    awk -F'|' -v size="$size" '{printf "| peak RSS of quorvelin-render %s, through frame 1400 (phase 4 from 1304) | %.0f MiB |\n", size, $7}'
done
echo

echo "## Several monitors"
echo
echo "\`$native/bench/quorvelin-monitor-bench --size WxH --samples $((samples / 2))\`: the steady frame"
echo "(RenderFrame, MonitorPresenter::present, glFinish) drawn on one monitor of WxH and copied to the others."
echo
echo "| monitors | window | median ms | 10th-90th ms | median CPU ms | wall over one | CPU over one | allocations/frame |"
echo "|---|---|---:|---:|---:|---:|---:|---:|"
for size in 1024x768 1920x1080; do
  "$native/bench/quorvelin-monitor-bench" --size "$size" --samples $((samples / 2))
done
echo
echo "- load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
