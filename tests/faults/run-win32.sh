#!/usr/bin/env bash
# Plays each deliberate fault of tests/faults/win32.txt against the suite:
#   tests/faults/run-win32.sh [ID...]
# A line is "id | path | old text | new text | what a user would see" ("\n" in
# a text is a line break; every occurrence of the old text is replaced); each
# "# run: PRESET REGEX" line names a preset to build and the ctest names to run
# in it. The faults go into a scratch copy of the working tree (kept in
# FAULT_WORK when that is set, so later runs rebuild only what changed), never
# into the tree itself. Prints caught (with the first failing test), MISSED or
# not played per fault and a total; exits 0 only when every fault was caught.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
table=$root/tests/faults/win32.txt
work=${FAULT_WORK:-$(mktemp -d)}
src=$work/src
mkdir -p "$src" "$work/logs"
file=
restore() { if [ -n "$file" ]; then cp "$work/saved" "$file"; file=; fi; }
trap 'restore; [ -n "${FAULT_WORK:-}" ] || rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
git -C "$root" ls-files -z -co --exclude-standard | (cd "$root" && tar --null -T - -cf -) | tar -C "$src" -xf -
mapfile -t runs < <(sed -n 's/^# run: //p' "$table")

build() {
  for run in "${runs[@]}"; do
    (cd "$src" && cmake --preset "${run%% *}" >/dev/null && cmake --build --preset "${run%% *}") || return 1
  done
}
# The first failing test's name; nothing when every run passes.
first_failure() {
  for run in "${runs[@]}"; do
    if ! (cd "$src" && xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "build/${run%% *}" -R "${run#* }" \
            --stop-on-failure --timeout 600) >>"$1" 2>&1; then
      sed -n -E 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p' "$1" | head -n 1 | grep . || echo "(ctest failed)"
      return
    fi
  done
}

build >"$work/logs/build.log" 2>&1 || { echo "faults: the unchanged tree does not build ($work/logs/build.log)"; exit 2; }
[ -z "$(first_failure "$work/logs/clean.log")" ] || { echo "faults: the unchanged tree fails ($work/logs/clean.log)"; exit 2; }
caught=0 missed=0 unplayed=0
while IFS= read -r line; do
  case $line in '#'* | '') continue ;; esac
  id=${line%% | *} rest=${line#* | }
  path=${rest%% | *} rest=${rest#* | }
  old=${rest%% | *} rest=${rest#* | }
  new=${rest%% | *} what=${rest#* | }
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx -- "$id"; then continue; fi
  file=$src/$path
  cp "$file" "$work/saved"
  log=$work/logs/$id.log
  if ! /usr/bin/python3 -c 'import sys; p, o, n = sys.argv[1], sys.argv[2].replace("\\n", "\n"), sys.argv[3].replace("\\n", "\n"); t = open(p).read(); assert o in t; open(p, "w").write(t.replace(o, n))' \
        "$file" "$old" "$new" 2>/dev/null; then
    echo "NOT APPLIED  $id: its old text is not in $path"; unplayed=$((unplayed + 1))
  elif ! build >"$log" 2>&1; then
    echo "UNBUILDABLE  $id (see $log)"; unplayed=$((unplayed + 1))
  elif test=$(first_failure "$log") && [ -n "$test" ]; then
    echo "caught       $id by $test"; caught=$((caught + 1))
  else
    echo "MISSED       $id: $what"; missed=$((missed + 1))
  fi
  restore
done <"$table"
echo "faults: $caught caught, $missed missed, $unplayed not played, of $((caught + missed + unplayed)) in win32.txt"
[ "$missed" -eq 0 ] && [ "$unplayed" -eq 0 ]
