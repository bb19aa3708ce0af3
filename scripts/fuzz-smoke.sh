#!/usr/bin/env bash
# scripts/fuzz-smoke.sh [SECONDS]: every fuzz target for SECONDS (20) on its
# corpus, one after the other; the test script runs it after the sanitizer
# tests. Fails on the first crash, leak, time-out or sanitizer report. While
# a round-trip finding of the RTF writer is open (fuzz/pending/rtf), the
# smoke runs leave that property out (QB_FUZZ_SAFETY_ONLY), so that CI
# fails on new faults only; the campaign runs check it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
for t in data_file rtf query settings_ini links dates html; do
  log=build-asan/fuzz-findings/$t.log
  mkdir -p build-asan/fuzz-findings
  # A fixed seed and a fresh corpus: every machine runs the same inputs,
  # a slower one a prefix of them.
  fresh=$(mktemp -d)
  safety=()
  [[ -n $(ls fuzz/pending/rtf 2>/dev/null) ]] && safety=(QB_FUZZ_SAFETY_ONLY=1)
  if ! env "${safety[@]}" QB_FUZZ_CORPUS="$fresh" scripts/fuzz.sh "$t" "$seconds" -seed=1 >"$log" 2>&1; then
    rm -rf "$fresh"
    echo "fuzz target $t failed:" >&2
    tail -n 60 "$log" >&2
    exit 1
  fi
  rm -rf "$fresh"
  echo "fuzz $t: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs, $(grep -o 'cov: [0-9]*' "$log" | tail -1)"
done
