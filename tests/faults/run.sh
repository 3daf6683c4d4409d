#!/usr/bin/env bash
# Plays each deliberate fault of a table against the test suite:
#   tests/faults/run.sh [TABLE] [ID...]      (TABLE defaults to tests/faults/native.txt)
# A table line is "id | path | old text | new text | what a user would see";
# "\n" in a text is a line break, and every occurrence of the old text is
# replaced. A line "# run: PRESET REGEX" says which preset to build and which
# ctest names to run in it (several such lines: every run counts). Faults go
# into a scratch copy of the working tree, never the tree itself; the copy is
# kept in FAULT_WORK when that is set, so later runs rebuild only what changed.
# Prints caught (with the first failing test) or MISSED per fault, and a total;
# exits 0 only when every fault was caught.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
table=$root/tests/faults/native.txt
if [ $# -gt 0 ] && [ -f "$1" ]; then table=$(realpath "$1"); shift; fi
work=${FAULT_WORK:-$(mktemp -d)}
file=; saved=
# Puts back the file under a fault, written anew so that the next build compiles it again.
restore() { if [ -n "$saved" ]; then cat "$saved" >"$file"; rm -f "$saved"; saved=; fi; }
trap 'restore; [ -n "${FAULT_WORK:-}" ] || rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
# Readable by all: the screen-saver daemon test starts the program as nobody.
chmod 755 "$work"
mkdir -p "$work/src" "$work/logs"
src=$work/src

# The working tree as it is, tracked and untracked files alike; tar keeps the
# times, so an unchanged file is not rebuilt in a kept copy. A file a
# previous run put back after its fault is newer than the tree's and stays,
# so that it is built again instead of keeping the faulted object.
git -C "$root" ls-files -z -co --exclude-standard | (cd "$root" && tar --null -T - -cf -) |
  tar -C "$src" --keep-newer-files -xf - 2>/dev/null

mapfile -t runs < <(sed -n 's/^# run: //p' "$table")
build() {
  local run
  for run in "${runs[@]}"; do
    # Warnings stay warnings: a deliberate fault may well leave a variable unused.
    (cd "$src" && cmake --preset "${run%% *}" -DQUORVELIN_WERROR=OFF >/dev/null && cmake --build --preset "${run%% *}") || return 1
  done
}
# Prints the first failing test, or nothing when every run passes.
first_failure() {
  local run log=$1
  for run in "${runs[@]}"; do
    # The Windows tier wants a display; the native tests start their own.
    local display=()
    case $run in win32*) display=(xvfb-run -a -s "-screen 0 1024x768x24") ;; esac
    if ! (cd "$src" && "${display[@]}" ctest --test-dir "build/${run%% *}" -R "${run#* }" \
            --stop-on-failure --output-on-failure --timeout 600) >>"$log" 2>&1; then
      sed -n -E 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p' "$log" | head -n 1 | grep . || echo "(ctest failed)"
      return
    fi
  done
}

echo "faults: building the scratch copy in $work"
build >"$work/logs/build.log" 2>&1 || { echo "the unchanged tree does not build: $work/logs/build.log"; exit 2; }
[ -z "$(first_failure "$work/logs/clean.log")" ] || { echo "the unchanged tree fails its tests: $work/logs/clean.log"; exit 2; }

caught=0; missed=0; broken=0
while IFS= read -r line; do
  case $line in '#'* | '') continue ;; esac
  id=${line%% | *}
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx -- "$id"; then continue; fi
  rest=${line#* | }; path=${rest%% | *}; rest=${rest#* | }; file=$src/$path
  old=${rest%% | *}; rest=${rest#* | }; new=${rest%% | *}; what=${rest#* | }
  saved=$(mktemp) && cp "$file" "$saved"
  # A fault whose old text is gone is reported, not played.
  if ! /usr/bin/python3 -c 'import sys; p, o, n = sys.argv[1:]; t = open(p).read()
sys.exit(o not in t or open(p, "w").write(t.replace(o, n)) < 0)' "$file" "${old//\\n/$'\n'}" "${new//\\n/$'\n'}"; then
    echo "NOT APPLIED  $id: its old text is not in $path"; broken=$((broken + 1)); restore; continue
  fi
  log=$work/logs/$id.log
  if ! build >"$log" 2>&1; then
    echo "UNBUILDABLE  $id (see $log)"; broken=$((broken + 1))
  elif test=$(first_failure "$log") && [ -n "$test" ]; then
    echo "caught       $id by $test"; caught=$((caught + 1))
  else
    echo "MISSED       $id: $what"; missed=$((missed + 1))
  fi
  restore
done <"$table"
echo "faults: $caught caught, $missed missed, $broken not played, of $((caught + missed + broken)) in $(basename "$table")"
[ "$missed" -eq 0 ] && [ "$broken" -eq 0 ]
