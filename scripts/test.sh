#!/usr/bin/env bash
# Builds and runs every test: once in an optimised build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer (clang), then every fuzz
# target of that build for a short while. Build folders are reused.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

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
