#!/usr/bin/env bash
# Builds the three presets and runs every test tier: unit and pixel tests in
# the native build, the .scr under wine64 on a virtual X display in the
# win32-x86_64 build. Called by `make test`, after the packages are installed.
set -euo pipefail
cd "$(dirname "$0")/.."

for preset in native win32-i686 win32-x86_64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo "== tests: native (unit, pixel, tools)"
ctest --preset native

echo "== tests: win32-i686 (the product's PE headers: PE32, exports, imports)"
ctest --test-dir build/win32-i686 --output-on-failure

echo "== tests: win32-x86_64 (the .scr under wine64 on Xvfb)"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win32-x86_64

# Tiers 1 and 2 again under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer. The X11 host's tests are left out there: they compare the
# program's stderr, where the sanitizers would speak for the system's GL driver.
echo "== build native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
echo "== tests: native-asan (unit and pixel tests under the sanitizers)"
ctest --preset native-asan

echo "== fuzz: each target briefly (make fuzz runs them longer)"
bash tests/fuzz/run.sh 30
