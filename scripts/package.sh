#!/usr/bin/env bash
# Builds the Debian package quillbox-reader_VERSION_ARCH.deb into build/
# (the normal build folder, reused), from what `cmake --install` installs
# under /usr. Install it with: sudo apt install ./build/quillbox-reader_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the package holds; the tests and benchmarks are not needed.
cmake --build build -j "$(nproc)" --target qbx quillbox-reader demo_data guide_pictures
cpack -G DEB --config build/CPackConfig.cmake -B build
ls build/quillbox-reader_*.deb
