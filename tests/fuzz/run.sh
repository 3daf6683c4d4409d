#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a set time:
#   tests/fuzz/run.sh [SECONDS]     (default 300; FUZZ_BUILD_DIR, default build/fuzz)
# Each target first replays its committed seeds and regression cases, then
# fuzzes, keeping what it finds in the build directory. Any crash, sanitizer
# report or leak fails the run and leaves the input under <build>/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
build=${FUZZ_BUILD_DIR:-build/fuzz}
targets=(command_line mesh_text bmp_reader)

cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts"
status=0
for target in "${targets[@]}"; do
  fuzzer="$build/fuzz_$target"
  log="$build/$target.log"
  regressions=(tests/fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    if ! "$fuzzer" "${regressions[@]}" >"$log" 2>&1; then
      echo "fuzz $target: a regression case fails again"; tail -n 40 "$log"; status=1; continue
    fi
  fi
  mkdir -p "$build/corpus/$target"
  if "$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
       "$build/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
    echo "fuzz $target: ${seconds} s, ${runs:-?} inputs, ${cov:-cov: ?} edges, nothing found"
  else
    echo "fuzz $target: FAILED (input under $build/artifacts/)"; tail -n 40 "$log"; status=1
  fi
done
exit $status
