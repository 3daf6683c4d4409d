#!/usr/bin/env bash
# `make install` and `make uninstall`: the Linux program as a screen-saver hack.
#   scripts/install.sh install PREFIX     the program (stripped), its settings description
#                                         and desktop entry under PREFIX, from build/linux
#   scripts/install.sh uninstall PREFIX   exactly the files install put there, and the
#                                         folders it made, once they are empty
# Install keeps a record per prefix in build/linux/installed/ for uninstall.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux
verb=${1:-}
if [ $# -ne 2 ] || { [ "$verb" != install ] && [ "$verb" != uninstall ]; } || [ -z "$2" ]; then
  echo "usage: scripts/install.sh install|uninstall PREFIX" >&2
  exit 2
fi
prefix=$(realpath -m -s -- "$2")
record="$build/installed/$(printf '%s' "$prefix" | sha1sum | cut -c1-16).txt"

if [ "$verb" = install ]; then
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  # A staged install first, to know the files and which folders are new.
  DESTDIR=$stage cmake --install "$build" --prefix "$prefix" --strip >/dev/null
  mkdir -p "$build/installed"
  {
    echo "# make install into $prefix"
    (cd "$stage" && find . -mindepth 1 ! -type d -printf 'file /%P\n')
    (cd "$stage" && find . -mindepth 1 -type d -printf '/%P\n') | while read -r dir; do
      [ -e "$dir" ] || echo "dir $dir"
    done
    # Folders an earlier install into the same prefix made are still ours.
    [ -f "$record" ] && grep '^dir ' "$record" || true
  } | awk '!seen[$0]++' >"$record.new"
  # Recorded before copying, so that even a half-done install can be undone.
  mv "$record.new" "$record"
  cmake --install "$build" --prefix "$prefix" --strip
  exit 0
fi

if [ ! -f "$record" ]; then
  echo "make uninstall: no record of a make install into $prefix in $build/installed/;" \
       "nothing removed (README.md, \"Remove\", lists the files)" >&2
  exit 1
fi
while read -r kind path; do
  if [ "$kind" = file ] && { [ -e "$path" ] || [ -L "$path" ]; }; then
    rm -f -- "$path"
    echo "-- Removed: $path"
  fi
done <"$record"
# Deepest first, so a folder's own new folders go before it.
grep '^dir ' "$record" | cut -c5- | sort -r | while read -r dir; do
  if rmdir -- "$dir" 2>/dev/null; then echo "-- Removed: $dir/"; fi
done
rm -f -- "$record"
