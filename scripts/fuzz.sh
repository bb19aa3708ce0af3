#!/usr/bin/env bash
# scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
# Runs one fuzz target for SECONDS on its corpus. The targets are built in
# the sanitizer build (build-asan, clang, -DQB_FUZZ=ON); new inputs the
# fuzzer finds go to build-asan/fuzz-corpus/TARGET, the committed seeds in
# fuzz/corpus/TARGET and the generated data files are read only. A crash,
# leak or time-out is written to build-asan/fuzz-findings/TARGET and ends
# the run with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
if (($# < 2)); then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]" >&2
  echo "targets: data_file rtf query settings_ini links dates html" >&2
  exit 2
fi
target=$1 seconds=$2
shift 2
build=${QB_FUZZ_BUILD:-build-asan}
if [[ ! -x $build/bin/fuzz_$target ]]; then
  scripts/configure-asan.sh "$build"
  cmake --build "$build" -j "$(nproc)" --target "fuzz_$target" qbx-fuzz-seeds
fi
corpus=${QB_FUZZ_CORPUS:-$build/fuzz-corpus/$target}
findings=$build/fuzz-findings/$target
mkdir -p "$corpus" "$findings"
seeds=()
[[ -d fuzz/corpus/$target ]] && seeds+=("fuzz/corpus/$target")
if [[ $target == data_file ]]; then
  mkdir -p "$build/fuzz-seeds"
  "$build/bin/qbx-fuzz-seeds" "$build/fuzz-seeds" >/dev/null
  seeds+=("$build/fuzz-seeds")
fi
[[ -d fuzz/regressions/$target ]] && seeds+=("fuzz/regressions/$target")
# A campaign's kept corpus, read as seeds too.
[[ -n ${QB_FUZZ_EXTRA_SEEDS:-} && -d $QB_FUZZ_EXTRA_SEEDS ]] && seeds+=("$QB_FUZZ_EXTRA_SEEDS")
dict=()
[[ -f fuzz/dicts/$target.dict ]] && dict=("-dict=fuzz/dicts/$target.dict")
# A small quarantine, so that the RSS limit measures the target, not ASan.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# 2 s and 256 MiB per allocation are the limits a hostile file keeps within;
# the whole process may use more, for ASan's shadow memory.
exec "$build/bin/fuzz_$target" "${dict[@]}" -max_total_time="$seconds" -timeout=2 \
  -rss_limit_mb=768 -malloc_limit_mb=256 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$@" "$corpus" "${seeds[@]}"
