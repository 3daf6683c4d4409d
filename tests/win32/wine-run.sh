#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the build's own prefix.
#   wine-run.sh PROGRAM [ARGS...]   run it (CTest's emulator for the x86_64 build)
#   wine-run.sh --boot              make or refresh the prefix (once per test run)
#   wine-run.sh --stop              end the prefix's wineserver after the tests
# The prefix is $QUORVELIN_WINEPREFIX, else wineprefix/ in the current folder.
set -euo pipefail

export WINEPREFIX="${QUORVELIN_WINEPREFIX:-$PWD/wineprefix}"
export WINEDEBUG=-all
# No Gecko/Mono installer dialogs in a prefix made for tests.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# /usr/bin/wine would pick the 32-bit loader, which cannot start here.
WINE=/usr/lib/wine/wine64

case "${1:-}" in
--boot)
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i
  /usr/lib/wine/wineserver -w
  exit 0
  ;;
--stop)
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  exit 0
  ;;
esac

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no X display; run under xvfb-run (see scripts/test.sh)" >&2
  exit 1
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i
fi
exec "$WINE" "$@"
