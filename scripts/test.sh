#!/usr/bin/env bash
# Builds the four presets and runs every test tier: unit tests, the reference
# frames and the show, the X11 host and a short soak in the native build; the
# page in headless Chromium against the same reference frames (web); the
# product, the i686 .scr, under 32-bit Wine and its 64-bit twin under wine64 on
# a virtual X display; the unit tests, the show and the soak again under the
# sanitizers; the command-line fuzzer briefly; and the release packages. Called by `make test`, after the
# packages are installed.
set -euo pipefail
cd "$(dirname "$0")/.."

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Runs one ctest and keeps its summary for the closing line.
run_ctest() {
  ctest "$@" 2>&1 | tee -a "$log"
}

for preset in native web win32-i686 win32-x86_64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo "== tests: native (unit, reference frames and the show, X11 host, offscreen player, short soak)"
run_ctest --preset native

echo "== tests: web (the page served on 127.0.0.1 in headless Chromium: frames, window, full screen, messages)"
run_ctest --preset web

# The product under 32-bit Wine, every group; its 64-bit twin under wine64,
# each mode end to end. Where the kernel runs no 32-bit programs, the 32-bit
# group is skipped (one line says why) and the twin runs every group instead.
if reason=$(bash tests/win32/wine-run.sh 32 --check); then
  echo "== tests: win32-i686 (the .scr under 32-bit Wine on Xvfb)"
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win32-i686 2>&1 | tee -a "$log"
  echo "== tests: win32-x86_64 (its 64-bit twin under wine64: headers, arithmetic, each mode end to end, two monitors)"
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win32-x86_64 2>&1 | tee -a "$log"
else
  [ $? -eq 77 ] || exit 1
  echo "== tests: win32-i686 under 32-bit Wine ${reason#wine-run.sh: }"
  run_ctest --preset win32-i686 -R '^win32\.pe_headers$'
  echo "== tests: win32-x86_64 (the 64-bit twin under wine64, every group)"
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win32-x86_64 --output-on-failure 2>&1 | tee -a "$log"
fi

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
