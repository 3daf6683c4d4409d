#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix (CTest's
# emulator, set in cmake/mingw-*.cmake; make run-wine):
#   wine-run.sh 32 PROGRAM [ARGS...]   the i686 build under 32-bit Wine, win32 prefix
#   wine-run.sh 64 PROGRAM [ARGS...]   the x86_64 twin under wine64
#   wine-run.sh 32|64 --boot           make the prefix if it is missing (once per test run)
#   wine-run.sh 32|64 --stop           end the prefix's Wine server
#   wine-run.sh 32|64 --check          only say whether that Wine can run here
# The prefix is $QUORVELIN_WINEPREFIX, else wineprefix/ in the current folder.
# With QUORVELIN_OWN_DISPLAY set to Xvfb's screen and options (e.g.
# "320x240x24", or "800x600x24 -extension GLX" for a display without GLX) the
# program runs on a virtual display of its own.
# Exits 77, which CTest counts as skipped, where the kernel cannot run 32-bit programs.
set -euo pipefail

bits=${1:-}
case $bits in
32) wine=/usr/lib/wine/wine package=wine32:i386 ;;
64) wine=/usr/lib/wine/wine64 package=wine64 ;;
*) echo "usage: wine-run.sh 32|64 PROGRAM [ARGS...] | --boot | --stop | --check" >&2 && exit 2 ;;
esac
shift
export WINEARCH=win$bits WINEPREFIX="${QUORVELIN_WINEPREFIX:-$PWD/wineprefix}" WINEDEBUG=-all
# No Gecko/Mono installer dialogs in a prefix made for tests.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
server=/usr/lib/wine/wineserver

# The 32-bit C library's loader is itself a 32-bit program: where it cannot start, neither can 32-bit Wine.
if [ "$bits" = 32 ] && [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "wine-run.sh: skipped: this kernel does not run 32-bit programs (/lib/ld-linux.so.2 does not start), so 32-bit Wine cannot run the i686 build here (its 64-bit twin runs under wine64: make run-wine WINE_BITS=64)"
  exit 77
fi
if [ ! -x "$wine" ]; then
  echo "wine-run.sh: $wine is missing: install $package (make test and make run-wine do, through scripts/install-deps.sh)" >&2
  exit 1
fi
[ "${1:-}" = --check ] && exit 0
[ "${1:-}" = --stop ] && { "$server" -k 2>/dev/null || true; exit 0; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i
fi
[ "${1:-}" = --boot ] && { "$server" -w; exit 0; }

if [ -n "${QUORVELIN_OWN_DISPLAY:-}" ]; then
  # Wine's desktop belongs to one display: the server of the shared one ends first, this one after.
  "$server" -w
  status=0
  xvfb-run -a -s "-screen 0 $QUORVELIN_OWN_DISPLAY" env -u QUORVELIN_OWN_DISPLAY "$0" "$bits" "$@" || status=$?
  "$server" -k 2>/dev/null || true
  exit $status
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no X display; run it under xvfb-run (see scripts/test.sh)" >&2
  exit 1
fi
exec "$wine" "$@"
