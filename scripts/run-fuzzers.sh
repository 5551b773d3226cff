#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build (make fuzz) one after the
# other, each for SECONDS seconds or, when RUNS is above 0, until it has
# made RUNS executions; the corpora grow in BUILD/corpus/<target>.  Prints
# each target's executions, and fails on the first crash (its input is
# kept in BUILD/crashes/).  Names after RUNS choose some of the targets.
#   scripts/run-fuzzers.sh BUILD SECONDS [RUNS [TARGET...]]
set -euo pipefail
build=${1:?build directory}
seconds=${2:?seconds per target}
runs=${3:-0}
shift $(($# < 3 ? $# : 3))
targets=()
if (($# > 0)); then
  for name in "$@"; do targets+=("$build/fuzz/$name"); done
else
  targets=("$build"/fuzz/*_fuzz)
fi
mkdir -p "$build/corpus" "$build/crashes"
summary=()
for target in "${targets[@]}"; do
  [[ -x "$target" ]] || { echo "no fuzz target $target" >&2; exit 1; }
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  log="$build/$name.log"
  mkdir -p "$corpus"
  limit=(-max_total_time="$seconds")
  if ((runs > 0)); then limit=(-runs="$runs"); fi
  echo "fuzzing $name (${limit[*]})"
  if ! "$target" "${limit[@]}" -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$name failed; its log is $log" >&2
    exit 1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  time_taken=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  summary+=("$(printf '%-24s %12s executions in %s s' "$name" "${executions:-?}" "${time_taken:-?}")")
done
printf '%s\n' "${summary[@]}"
