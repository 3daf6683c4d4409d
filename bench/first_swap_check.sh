#!/usr/bin/env bash
# Checks the start-up log that the benchmarks read from a Windows GL program
# under Wine: started with QUORVELIN_LOG_FIRST_SWAP naming a file, it must
# write there, within a minute, one line holding a system time (100 ns units
# since 1601) between its start and now. The program is ended afterwards.
#   first_swap_check.sh EMULATOR PROGRAM [ARGS...]
set -euo pipefail
emulator=$1
shift

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log=$dir/first-swap.log
ticks_now() { echo $(( $(date +%s%N) / 100 + 116444736000000000 )); }

start=$(ticks_now)
# Z: is the whole Unix tree in every prefix, whatever the current directory.
QUORVELIN_LOG_FIRST_SWAP="Z:${log//\//\\}" "$emulator" "$@" &
pid=$!
for _ in $(seq 600); do
  if [ -s "$log" ] && [ -z "$(tail -c1 "$log" | tr -d '\n')" ]; then
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -KILL "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
end=$(ticks_now)

if [ ! -s "$log" ]; then
  echo "first_swap_check: $1 logged no first swap" >&2
  exit 1
fi
logged=$(head -n1 "$log")
if ! [[ "$logged" =~ ^[0-9]+$ ]] || [ "$logged" -lt "$start" ] || [ "$logged" -gt "$end" ]; then
  echo "first_swap_check: $1 logged '$logged', not a time between $start and $end" >&2
  exit 1
fi
echo "first_swap_check: $1 swapped first $(( (logged - start) / 10000 )) ms after its start"
