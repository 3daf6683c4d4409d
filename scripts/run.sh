#!/usr/bin/env bash
# `make run`: builds everything and shows the saver's pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native win32-i686 win32-x86_64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
mkdir -p out
echo "make run: built build/win32-i686/Quorvelin.scr and build/win32-x86_64/Quorvelin.scr"
