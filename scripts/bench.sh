#!/usr/bin/env bash
# Builds the optimised tree, runs every benchmark program with repetitions
# and prints one table of the figures that have targets: each figure, its
# baseline (measured in the same run where there is one), the ratio and the
# target. Every program must exit with status 0.
#
#   scripts/bench.sh                 # every program, 3 repetitions
#   QB_BENCH_REPS=5 scripts/bench.sh
#   QB_BENCH_ONLY="datafile_open index_window_paint" scripts/bench.sh
#
# The build folder is `build` (QB_BENCH_BUILD overrides it); results are
# kept as JSON in $build/bench-results. Not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QB_BENCH_BUILD:-build}
reps=${QB_BENCH_REPS:-3}
out=$build/bench-results
scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_BUILD_BENCH=ON >/dev/null

if [[ -n ${QB_BENCH_ONLY:-} ]]; then
  read -r -a programs <<<"$QB_BENCH_ONLY"
else
  programs=()
  for f in bench/*.cpp; do programs+=("$(basename "$f" .cpp)"); done
fi
targets=()
for p in "${programs[@]}"; do targets+=("bench_$p"); done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "machine: $(nproc) cores, load:$(uptime | sed 's/.*load average://')" | tee "$out/machine.txt"
failed=0
for p in "${programs[@]}"; do
  bin=$build/bin/bench_$p
  [[ -x $bin ]] || continue  # the window benchmarks need the reader
  echo "== $p" >&2
  # Generate cached inputs before measuring anything.
  if ! "$bin" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
      --benchmark_out="$out/$p.json" --benchmark_out_format=json >"$out/$p.txt" 2>"$out/$p.err"; then
    echo "FAILED: bench_$p exited with status $? (see $out/$p.err)" >&2
    failed=1
  fi
done
# Peak memory, each in a process of its own.
# Each: the result's name, the program, the benchmark.
for run in "document_open:document_open:BM_Document" \
    "index_window_paint:index_window_paint:BM_OpenToPaintedWindow" \
    "export_html_25000:export_text:BM_ExportHtml/25000" \
    "export_html_100000:export_text:BM_ExportHtml/100000"; do
  name=${run%%:*}
  rest=${run#*:}
  p=${rest%%:*}
  b=${rest#*:}
  bin=$build/bin/bench_$p
  [[ -x $bin ]] || continue
  if ! "$bin" --benchmark_filter="^$b" --benchmark_out="$out/peak_$name.json" \
      --benchmark_out_format=json >/dev/null 2>>"$out/$p.err"; then
    echo "FAILED: bench_$p ($b alone) exited with status $?" >&2
    failed=1
  fi
done
echo "machine after: load:$(uptime | sed 's/.*load average://')" | tee -a "$out/machine.txt"

python3 scripts/bench_table.py "$out"
exit $failed
