#!/usr/bin/env bash
# Builds ZELLIB and ZELCONV and runs every test. As root it installs what the
# machine lacks with apt-get; otherwise it says what to install.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make libgtest-dev libgif-dev clang-14 libfuzzer-14-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
          dpkg-dev pkg-config python3-pil imagemagick chromium)
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

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELLIB_SANITIZE=ON
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan -j "$jobs" --output-on-failure

echo "== the reentrant interface from many threads under ThreadSanitizer"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELLIB_THREAD_SANITIZE=ON > /dev/null
cmake --build build/tsan -j "$jobs" --target library_tests
TSAN_OPTIONS=halt_on_error=1 build/tsan/library_tests --gtest_filter='ReentrantApi.*' --gtest_brief=1

echo "== fuzzing"
bash fuzz/run_fuzzers.sh

echo "== Windows: cross builds, export tables, end-to-end tests under Wine"
bash tests/run_windows.sh

echo "== install, Debian package, example consumer"
bash tests/run_package.sh

echo "== tests"
ctest --test-dir build/test -j "$jobs" --output-on-failure
