#!/usr/bin/env bash
# scripts/fuzz-campaign.sh SECONDS [TARGET...]
# The long runs: each target until 10 million executions or SECONDS,
# whichever comes first, as many at once as there are cores. A campaign
# goes on where the last one stopped: each target fuzzes the committed
# corpus fuzz/campaign-corpus/TARGET (beside the seeds), which is merged
# down to the inputs that still add coverage when the run ends. Prints a
# line per target: its executions, seconds, coverage (edges), corpus size
# and whether it found anything (findings are in
# build-asan/fuzz-findings/TARGET). Logs are in build-asan/fuzz-campaign.
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
  local t=$1 start end status kept=fuzz/campaign-corpus/$1 grown=$build/fuzz-corpus/$1
  mkdir -p "$kept" "$grown"
  start=$(date +%s)
  # New inputs go to the build's corpus; the kept one is read as seeds.
  QB_FUZZ_CORPUS=$grown QB_FUZZ_EXTRA_SEEDS=$kept scripts/fuzz.sh "$t" "$seconds" -runs="$runs" \
    >"$logs/$t.log" 2>&1
  status=$?
  end=$(date +%s)
  echo "$status $((end - start))" >"$logs/$t.status"
  # The kept corpus becomes the smallest set with the coverage of both.
  local merged
  merged=$(mktemp -d)
  if "$build/bin/fuzz_$t" -merge=1 -timeout=2 -rss_limit_mb=768 -malloc_limit_mb=256 \
      "$merged" "$kept" "$grown" >"$logs/$t.merge.log" 2>&1; then
    rm -rf "$kept"
    mv "$merged" "$kept"
  else
    rm -rf "$merged"
  fi
}

for t in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n; done
  run "$t" &
done
wait

printf '%-14s %12s %8s %8s %8s  %s\n' target executions seconds edges kept result
for t in "${targets[@]}"; do
  log=$logs/$t.log
  read -r status took <"$logs/$t.status"
  execs=$(grep -ao 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}' | tail -1)
  last=$(grep -aE '^#[0-9]+' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' <<<"$last" | awk '{print $2}')
  kept=$(find "fuzz/campaign-corpus/$t" -type f | wc -l)
  result=$([[ $status == 0 ]] && echo clean || echo "FOUND (status $status)")
  printf '%-14s %12s %8s %8s %8s  %s\n' "$t" "${execs:--}" "$took" "${edges:--}" "$kept" "$result"
done
