#!/usr/bin/env bash
# Installs the Debian 12 packages of the named groups (as root):
#   scripts/install-deps.sh GROUP...     each group is scripts/packages/GROUP.txt
#   scripts/install-deps.sh              every group
# Each make target names the groups it needs (Makefile). Does nothing when
# every package is already present.
set -euo pipefail
lists=$(cd "$(dirname "$0")" && pwd)/packages
groups=("$@")
if [ ${#groups[@]} -eq 0 ]; then
  groups=()
  for list in "$lists"/*.txt; do groups+=("$(basename "$list" .txt)"); done
fi
pkgs=()
for group in "${groups[@]}"; do
  if [ ! -f "$lists/$group.txt" ]; then
    echo "install-deps: no package group '$group' (the groups: $(cd "$lists" && ls *.txt | sed 's/\.txt$//' | paste -sd' '))" >&2
    exit 2
  fi
  mapfile -t -O ${#pkgs[@]} pkgs < <(grep -v -E '^\s*(#|$)' "$lists/$group.txt")
done
missing=()
for p in $(printf '%s\n' "${pkgs[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# 32-bit packages (name:i386) are of use only where the kernel runs 32-bit
# programs; elsewhere they are left out, and wine-run.sh says why.
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  status=0
  reason=$(bash "$(dirname "$lists")/../tests/win32/wine-run.sh" 32 --check 2>/dev/null) || status=$?
  if [ "$status" -eq 77 ]; then
    echo "install-deps: leaving out the 32-bit packages: ${reason#wine-run.sh: skipped: }"
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | grep -v ':i386$')
  fi
fi
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages and not root; run: sudo $0 ${groups[*]}" >&2
  exit 1
fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# Another apt on the machine holds the locks for a while; wait for it.
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
