#!/usr/bin/env bash
# scripts/fuzz-campaign.sh SECONDS [TARGET...]
# The long runs. A campaign gives each target 10 million executions or two
# hours of CPU, whichever comes first, and may take several runs of this
# script to get there: every run appends what it did to the committed ledger
# fuzz/campaign-ledger.tsv and goes on from the corpus kept in
# fuzz/campaign-corpus/TARGET (read as seeds), which is merged down to the
# inputs that still add coverage when the run ends. This run fuzzes each
# target that is not done yet for at most SECONDS, or until it reaches its
# goal, as many at once as there are cores (QB_FUZZ_JOBS), then prints per
# target the campaign's totals: executions, CPU seconds, coverage (edges),
# corpus size, findings. A run may be ended early with SIGINT to the
# fuzz_TARGET processes: what they did is kept.
# The targets are built optimised, with the same sanitizers, in build-fuzz
# (the Debug build of the tests runs a fraction of the inputs a second).
# Findings are in build-fuzz/fuzz-findings/TARGET, logs in
# build-fuzz/fuzz-campaign.
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
build=${QB_FUZZ_BUILD:-build-fuzz}
export QB_FUZZ_BUILD=$build
if [[ ! -f $build/CMakeCache.txt ]]; then
  scripts/configure-asan.sh "$build" RelWithDebInfo
fi
cmake --build "$build" -j "$(nproc)" --target qbx-fuzz-seeds "${targets[@]/#/fuzz_}" >/dev/null || exit 1
logs=$build/fuzz-campaign
mkdir -p "$logs"
ledger=fuzz/campaign-ledger.tsv
[[ -f $ledger ]] || printf 'date\ttarget\texecutions\tcpu_seconds\tedges\tresult\n' >"$ledger"
goal_runs=${QB_FUZZ_RUNS:-10000000}
goal_cpu=${QB_FUZZ_CPU_SECONDS:-7200}
jobs=${QB_FUZZ_JOBS:-$(nproc)}

# Sums of the ledger for one target: executions and CPU seconds.
totals() {
  awk -F'\t' -v t="$1" '$2 == t { e += $3; c += $4 } END { printf "%d %d\n", e, c }' "$ledger"
}

# Ends the fuzzer under TIMER_PID with SIGINT once it has used CPU_SECONDS
# of CPU (the two-hour goal counts CPU, which other work on the machine
# does not take away), and leaves MARK behind to say so.
cpu_goal() {
  local timer=$1 budget=$2 mark=$3 child ticks used
  ticks=$(getconf CLK_TCK)
  while kill -0 "$timer" 2>/dev/null; do
    sleep 5
    child=$(pgrep -P "$timer" | head -1)
    [[ -n $child && -r /proc/$child/stat ]] || continue
    # utime and stime: the 14th and 15th fields, after the name in brackets.
    used=$(sed 's/.*) //' "/proc/$child/stat" | awk -v hz="$ticks" '{ printf "%d", ($12 + $13) / hz }')
    if ((used >= budget)); then
      touch "$mark"
      kill -INT "$child"
      return
    fi
  done
}

run() {
  local t=$1 kept=fuzz/campaign-corpus/$1 grown=$build/fuzz-corpus/$1
  local done_runs done_cpu
  read -r done_runs done_cpu < <(totals "$t")
  mkdir -p "$kept" "$grown"
  # New inputs go to the build's corpus; the kept one is read as seeds.
  rm -f "$logs/$t.goal"
  /usr/bin/time -f '%U %S' -o "$logs/$t.time" env QB_FUZZ_CORPUS="$grown" \
    QB_FUZZ_EXTRA_SEEDS="$kept" scripts/fuzz.sh "$t" "$seconds" \
    -runs=$((goal_runs - done_runs)) >"$logs/$t.log" 2>&1 &
  local timer=$!
  cpu_goal "$timer" $((goal_cpu - done_cpu)) "$logs/$t.goal" &
  local watcher=$!
  wait "$timer"
  local status=$?
  kill "$watcher" 2>/dev/null
  wait "$watcher" 2>/dev/null
  local cpu execs last edges
  cpu=$(awk 'END { printf "%d", $1 + $2 }' "$logs/$t.time")
  execs=$(grep -ao 'stat::number_of_executed_units: [0-9]*' "$logs/$t.log" | awk '{print $2}' | tail -1)
  last=$(grep -aE '^#[0-9]+' "$logs/$t.log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' <<<"$last" | awk '{print $2}')
  local result=clean
  # 72: libFuzzer's status when stopped by SIGINT (it still prints its
  # figures): by cpu_goal when the target reached its CPU goal, or by hand to
  # end a run early without losing what it did.
  if ((status == 72)) && [[ -f $logs/$t.goal ]]; then
    result=clean
  elif ((status == 72)); then
    result=interrupted
  elif ((status != 0)); then
    result="found (status $status)"
  fi
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
  # One line at a time: the runs of the other targets append beside it.
  flock "$ledger" printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$t" "${execs:-0}" \
    "$cpu" "${edges:-0}" "$result" >>"$ledger"
}

for t in "${targets[@]}"; do
  read -r done_runs done_cpu < <(totals "$t")
  if ((done_runs >= goal_runs || done_cpu >= goal_cpu)); then
    echo "$t: done ($done_runs executions, $done_cpu CPU seconds)"
    continue
  fi
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n; done
  run "$t" &
done
wait

printf '%-14s %12s %8s %8s %8s  %s\n' target executions cpu_s edges kept findings
for t in "${targets[@]}"; do
  read -r done_runs done_cpu < <(totals "$t")
  edges=$(awk -F'\t' -v t="$t" '$2 == t { e = $5 } END { print e + 0 }' "$ledger")
  found=$(awk -F'\t' -v t="$t" '$2 == t && $6 ~ /^found/ { n++ } END { print n + 0 }' "$ledger")
  kept=$(find "fuzz/campaign-corpus/$t" -type f | wc -l)
  printf '%-14s %12s %8s %8s %8s  %s\n' "$t" "$done_runs" "$done_cpu" "$edges" "$kept" "$found"
done
