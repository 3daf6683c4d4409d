#!/usr/bin/env bash
# Builds the three presets and runs every test tier: unit tests, the reference
# frames and the show, the X11 host and a short soak in the native build; the
# .scr under wine64 on a virtual X display in the win32-x86_64 build; the unit
# tests, the show and the soak again under the sanitizers; the command-line
# fuzzer briefly; and the release packages. Called by `make test`, after the
# packages are installed.
set -euo pipefail
cd "$(dirname "$0")/.."

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Runs one ctest and keeps its summary for the closing line.
run_ctest() {
  ctest "$@" 2>&1 | tee -a "$log"
}

for preset in native win32-i686 win32-x86_64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo "== tests: native (unit, reference frames and the show, X11 host, offscreen player, short soak)"
run_ctest --preset native

echo "== tests: win32-i686 (the product's PE headers: PE32, exports, imports, resources)"
run_ctest --test-dir build/win32-i686 --output-on-failure

echo "== tests: win32-x86_64 (the .scr under wine64 on Xvfb)"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win32-x86_64 2>&1 | tee -a "$log"

# The saver's code again under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer: the unit tests, the show played in-process and the short
# soak. Left out there (CMakePresets.json): the tests of the running X11
# program, which compare its stderr, where the sanitizers would speak for the
# system's GL driver; and the reference frames, whose pixels the sanitizers
# do not change and whose code the show's walk already runs.
echo "== build native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
echo "== tests: native-asan (unit tests, the show and the soak under the sanitizers)"
run_ctest --preset native-asan

echo "== fuzz: the command line briefly (make fuzz runs it longer)"
bash tests/fuzz/run.sh 20

echo "== tests: release packages (make dist's zip, MSI under wine64, .deb and lintian; make install/uninstall)"
bash tests/packaging/check.sh 2>&1 | tee -a "$log"

# One line over every ctest run above (any failure has already stopped the script).
passed=0
failed=0
while read -r ok bad; do
  passed=$((passed + ok))
  failed=$((failed + bad))
done < <(sed -n -E 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+)$/\2 \1/p' "$log" |
           awk '{print $1 - $2, $2}'
         sed -n -E 's/^packaging: ([0-9]+) passed, ([0-9]+) failed$/\1 \2/p' "$log")
echo "make test: $passed passed, $failed failed"
