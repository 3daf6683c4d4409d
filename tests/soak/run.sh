#!/usr/bin/env bash
# The long soak: builds quorvelin-soak in the native-asan preset and plays
# FRAMES frames (default 1,000,000) at 64x48 under LeakSanitizer:
#   tests/soak/run.sh [FRAMES]      (SOAK_BUILD_DIR overrides build/native-asan)
# Prints the soak's one summary line; fails when memory grew after warm-up,
# the turn angle left [0, 360), GL reported an error, or anything leaked.
set -euo pipefail
cd "$(dirname "$0")/../.."
frames=${1:-1000000}
build=${SOAK_BUILD_DIR:-build/native-asan}

cmake --preset native-asan -B "$build" >/dev/null
cmake --build "$build" -j2 --target quorvelin-soak >/dev/null

# As in the short soak of ctest: no quarantine, so freed blocks are reused as
# in the product and memory growth means growth.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=0:thread_local_quarantine_size_kb=0:allocator_release_to_os_interval_ms=-1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan_suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Warm-up is the first fifth: the allocator's and the driver's high-water marks
# settle within it (resident memory grew by 1.4 MiB up to frame 160,000 of a
# run, then stayed flat to frame 400,000), so growth after it is growth.
"$build/tests/soak/quorvelin-soak" --frames "$frames" --warmup $((frames / 5))
