#!/usr/bin/env bash
# scripts/fuzz-campaign.sh SECONDS [TARGET...]
# The long runs: each target until 10 million executions or SECONDS,
# whichever comes first, as many at once as there are cores, on the corpus
# the runs keep in build-asan/fuzz-corpus. Prints a line per target: its
# executions, seconds, coverage (edges), corpus size and whether it found
# anything (findings are in build-asan/fuzz-findings/TARGET). Logs are in
# build-asan/fuzz-campaign.
set -uo pipefail
cd "$(dirname "$0")/.."
if (($# < 1)); then
  echo "usage: scripts/fuzz-campaign.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
((${#targets[@]})) || targets=(query settings_ini links dates data_file rtf html)
build=${QB_FUZZ_BUILD:-build-asan}
logs=$build/fuzz-campaign
mkdir -p "$logs"
runs=${QB_FUZZ_RUNS:-10000000}
jobs=${QB_FUZZ_JOBS:-$(nproc)}

run() {
  local t=$1 start end status
  start=$(date +%s)
  scripts/fuzz.sh "$t" "$seconds" -runs="$runs" >"$logs/$t.log" 2>&1
  status=$?
  end=$(date +%s)
  echo "$status $((end - start))" >"$logs/$t.status"
}

for t in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n; done
  run "$t" &
done
wait

printf '%-14s %12s %8s %8s %8s  %s\n' target executions seconds edges corpus result
for t in "${targets[@]}"; do
  log=$logs/$t.log
  read -r status took <"$logs/$t.status"
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}' | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' <<<"$last" | awk '{print $2}')
  corpus=$(grep -o 'corp: [0-9]*' <<<"$last" | awk '{print $2}')
  result=$([[ $status == 0 ]] && echo clean || echo "FOUND (status $status)")
  printf '%-14s %12s %8s %8s %8s  %s\n' "$t" "${execs:--}" "$took" "${edges:--}" "${corpus:--}" "$result"
done
