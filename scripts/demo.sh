#!/usr/bin/env bash
# Builds the programs, generates the demo data file and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
build/bin/qbx dump build/samples/demo.qbx
