#!/usr/bin/env bash
# Builds and runs every test under AddressSanitizer + UndefinedBehaviorSanitizer
# (clang), the tests that need an optimised build in one, the read threads'
# tests under ThreadSanitizer, then every fuzz target for a short while.
# Build folders are reused.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

# The optimised build: the programs, and the tests only it can run (the
# Debian package, and qbx under hard memory limits, which ASan's shadow
# memory cannot live within). Every test runs in the sanitizer build below,
# so the rest is not compiled twice. The benchmarks are scripts/bench.sh's.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_BUILD_BENCH=OFF >/dev/null
release_targets=(quillbox-reader qbx qbx-fuzz-seeds demo_data test_cli)
targets=$(cmake --build build --target help)
for t in guide_pictures test_package; do  # only with Qt and dpkg-deb
  if grep -q "^$t:" <<<"$targets"; then release_targets+=("$t"); fi
done
cmake --build build -j "$jobs" --target "${release_targets[@]}"
ctest --test-dir build --output-on-failure -j "$jobs" -R '^package$|^ResourceLimits\.'

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
scripts/configure-asan.sh build-asan
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

# The read threads under ThreadSanitizer: only the programs that use them.
CC=clang CXX=clang++ cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQB_TSAN=ON \
  -DQB_BUILD_GUI=OFF -DQB_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target test_datafile_container test_document_summaries
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/test_datafile_container --gtest_brief=1
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/test_document_summaries --gtest_brief=1

scripts/fuzz-smoke.sh "${QB_FUZZ_SMOKE_SECONDS:-20}"
