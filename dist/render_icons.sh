#!/usr/bin/env bash
# Renders the PNG sizes of the icons from their SVG sources. The PNGs are kept
# in the repository so that a build needs no SVG renderer; run this (it needs
# rsvg-convert from librsvg2-bin) after changing an SVG.
set -euo pipefail
cd "$(dirname "$0")"
for name in quillbox-reader application-x-quillbox; do
  for s in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$s" -h "$s" "$name.svg" -o "icons/$name-$s.png"
  done
done
