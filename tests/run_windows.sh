#!/usr/bin/env bash
# Builds ZELLIB.dll and ZELCONV.exe for 32- and 64-bit Windows with MinGW-w64,
# checks the DLLs' export tables, and runs the program's end-to-end tests
# (the Linux tables, from build/test) on the 64-bit build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

for arch in i686 x86_64; do
  cmake -S . -B build/windows-$arch --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DZELLIB_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$arch-w64-mingw32.cmake > /dev/null
  cmake --build build/windows-$arch -j "$(nproc)"
  cmake -DOBJDUMP=$arch-w64-mingw32-objdump -DDLL=build/windows-$arch/ZELLIB.dll \
    -P tests/check_dll_exports.cmake
done
# 32-bit callers link against the __stdcall names, which carry their argument bytes.
symbols=$(i686-w64-mingw32-nm build/windows-i686/library/libZELLIB.dll.a)
[[ $symbols == *" _ConvertBitmapToGIFEx2@24"* ]] || { echo "no __stdcall import names" >&2; exit 1; }
echo "32-bit import library: __stdcall names"

export WINEPREFIX=$PWD/build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader by its own name: with 32-bit Wine installed as well,
# "wine" may pick the 32-bit one, which this kernel cannot run.
wine=/usr/lib/wine/wine64
export WINELOADER=$wine
trap 'wineserver -k 2> /dev/null || true' EXIT
program=$PWD/build/windows-x86_64/ZELCONV.exe

# Without ZELLIB.dll beside it the program does not start and prints nothing.
alone=build/windows-x86_64/without-dll
mkdir -p "$alone" && cp "$program" "$alone/"
if output=$("$wine" "$alone/ZELCONV.exe" 2> /dev/null); then
  echo "ZELCONV.exe started without ZELLIB.dll" >&2
  exit 1
fi
[[ -z $output ]] || { echo "ZELCONV.exe printed without ZELLIB.dll: $output" >&2; exit 1; }
echo "ZELCONV.exe does not start without ZELLIB.dll"

export ZELCONV_RUNNER=$wine ZELCONV_PROGRAM=$program
build/test/converter_tests --gtest_filter='-Faults.*:Messages.*' --gtest_brief=1
build/test/corpus_tests --gtest_brief=1

# The Zel functions through the DLL: the same GIFs and statuses as on Linux.
x86_64-w64-mingw32-gcc -std=c99 -O2 -static -Ilibrary tests/zel_caller.c -o build/windows-x86_64/zel_caller.exe \
  build/windows-x86_64/library/libZELLIB.dll.a
mkdir -p build/windows-x86_64/zel build/test/zel
linux=$(build/test/zel_caller build/test/zel)
windows=$("$wine" build/windows-x86_64/zel_caller.exe build/windows-x86_64/zel | tr -d '\r')
if [[ $windows != "$linux" ]]; then
  diff <(echo "$linux") <(echo "$windows") >&2
  echo "the DLL's Zel functions differ from the Linux library's" >&2
  exit 1
fi
echo "Zel functions through the DLL: $(grep -c . <<< "$windows") cases as on Linux"
