#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config zlib1g-dev libicu-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      qt6-base-dev libgl-dev fonts-liberation poppler-utils
      clang libclang-rt-14-dev
      appstream desktop-file-utils shared-mime-info dpkg-dev file  # the package and its checks
      python3-yaml cmark)  # the Markdown tests read notes back with PyYAML and cmark
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
