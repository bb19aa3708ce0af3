#!/usr/bin/env bash
# scripts/configure-asan.sh [FOLDER [BUILD_TYPE]]: configures the sanitizer
# build (ASan + UBSan, clang) that also builds the fuzz targets. The tests use
# the Debug default; the fuzz campaign an optimised one (RelWithDebInfo),
# which runs several times as many inputs a second. A folder configured with
# another compiler is started afresh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
type=${2:-Debug}
if [[ -f $build/CMakeCache.txt ]] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++' "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
  -DQB_SANITIZE=ON -DQB_FUZZ=ON -DQB_BUILD_BENCH=OFF >/dev/null
