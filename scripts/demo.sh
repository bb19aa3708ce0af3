#!/usr/bin/env bash
# Builds the programs, generates the demo data file and opens it in the
# reader. Without a display the reader runs under xvfb-run when that is
# installed; otherwise the file's content is printed instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
reader=(build/bin/quillbox-reader build/samples/demo.qbx)
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "${reader[@]}"
elif command -v xvfb-run >/dev/null; then
  echo "No display: running the reader under xvfb-run (close it with Ctrl+C)."
  exec xvfb-run -a "${reader[@]}"
else
  echo "No display and no xvfb-run: showing the demo file's content instead."
  build/bin/qbx dump build/samples/demo.qbx
fi
