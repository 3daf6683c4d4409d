#!/usr/bin/env bash
# Builds the command-line fuzz target with clang and runs it for a set time:
#   tests/fuzz/run.sh [SECONDS]     (default 300; FUZZ_BUILD_DIR, default build/fuzz)
# It replays the committed seeds (tests/fuzz/corpus/, plain command lines) and
# what earlier runs found (kept in the build directory), then fuzzes. Any
# crash, sanitizer report or leak fails the run and leaves the input in
# <build>/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
build=${FUZZ_BUILD_DIR:-build/fuzz}
cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts" "$build/corpus"
log=$build/command_line.log
if "$build/fuzz_command_line" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$build/corpus" tests/fuzz/corpus >"$log" 2>&1; then
  echo "fuzz command_line: ${seconds} s, $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") inputs, nothing found"
else
  echo "fuzz command_line: FAILED (input under $build/artifacts/)"; tail -n 40 "$log"; exit 1
fi
