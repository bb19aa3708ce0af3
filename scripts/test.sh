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

scripts/fuzz-smoke.sh "${QB_FUZZ_SMOKE_SECONDS:-20}"
