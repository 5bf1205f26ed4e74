#!/usr/bin/env bash
# Builds ZELLIB and ZELCONV and runs every test. As root it installs what the
# machine lacks with apt-get; otherwise it says what to install.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make libgtest-dev libgif-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  else
    echo "missing packages: ${missing[*]}" >&2
    echo "install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi

jobs=$(nproc)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release
cmake --build build/test -j "$jobs"
ctest --test-dir build/test -j "$jobs" --output-on-failure
