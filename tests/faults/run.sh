#!/usr/bin/env bash
# Plays each deliberate fault of a table against the test suite:
#   tests/faults/run.sh [TABLE] [ID...]      (TABLE defaults to tests/faults/native.txt)
# A table line is "id | path | old text | new text | what a user would see"
# ("\n" in a text is a line break; every occurrence of the old text is
# replaced); a line "# run: PRESET REGEX" says which preset to build and which
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
# times, so an unchanged file is not rebuilt in a kept copy.
git -C "$root" ls-files -z -co --exclude-standard | (cd "$root" && tar --null -T - -cf -) | tar -C "$src" -xf -

mapfile -t runs < <(sed -n 's/^# run: //p' "$table")
build() {
  local run
  for run in "${runs[@]}"; do
    (cd "$src" && cmake --preset "${run%% *}" >/dev/null && cmake --build --preset "${run%% *}") || return 1
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
            --stop-on-failure --timeout 300) >>"$log" 2>&1; then
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
  rest=${line#* | }; path=${rest%% | *}; rest=${rest#* | }
  old=${rest%% | *}; rest=${rest#* | }; new=${rest%% | *}; what=${rest#* | }
  file=$src/$path
  saved=$(mktemp)
  cp "$file" "$saved"
  # The texts' "\n" become line breaks; a fault whose old text is gone is reported, not played.
  if ! /usr/bin/python3 - "$file" "$old" "$new" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].replace("\\n", "\n"), sys.argv[3].replace("\\n", "\n")
text = open(path).read()
if old not in text:
    sys.exit(1)
open(path, "w").write(text.replace(old, new))
PY
  then
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
