#!/usr/bin/env bash
# Installs ZELLIB as other projects meet it: into a staging prefix and as a
# Debian package. Builds examples/write_gif.c against each through
# find_package and through pkg-config, runs it and decodes what it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/package
stage=$root/build/stage

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELLIB_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr > /dev/null
cmake --build "$build" -j "$(nproc)"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" > /dev/null
echo "== staged files"
(cd "$stage" && find . -type f -o -type l | sort)

# example_against PREFIX: builds and runs the example both ways.
example_against() {
  local prefix=$1 out=$root/build/example-$2
  rm -rf "$out" && mkdir -p "$out"
  cmake -S examples -B "$out/cmake" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
  cmake --build "$out/cmake" > /dev/null
  local pcdir
  pcdir=$(dirname "$(find "$prefix" -name zellib.pc | head -n 1)")
  # shellcheck disable=SC2046
  cc -std=c99 -Wall -o "$out/write_gif-pkgconfig" examples/write_gif.c \
    $(PKG_CONFIG_PATH=$pcdir pkg-config --cflags --libs zellib)
  local libdir
  libdir=$(PKG_CONFIG_PATH=$pcdir pkg-config --variable=libdir zellib)
  for binary in "$out/cmake/write_gif" "$out/write_gif-pkgconfig"; do
    LD_LIBRARY_PATH=$libdir "$binary" "$binary.gif"
    /usr/bin/python3 tests/check_example_gif.py "$binary.gif"
  done
}

echo "== example against the staged install"
example_against "$stage" staged
[[ $(PKG_CONFIG_PATH=$(dirname "$(find "$stage" -name zellib.pc)") pkg-config --modversion zellib) == 2.0.0 ]]

echo "== Debian package"
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(ls "$build"/zellib_*.deb)
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends|Installed-Size'
ls -l "$deb"
if [[ $(id -u) -ne 0 ]]; then
  echo "not root: the package is built but not installed"
  exit 0
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" > /dev/null
installed=$(dpkg -L zellib)
ZELCONV examples/sample.bmp "$root/build/package-sample.gif" | iconv -f CP932
man -w ZELCONV > /dev/null 2>&1 || [[ -f /usr/share/man/man1/ZELCONV.1.gz || -f /usr/share/man/man1/ZELCONV.1 ]]
example_against /usr system
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq zellib > /dev/null
while read -r path; do
  if [[ -f $path || -L $path ]]; then
    echo "left behind after removal: $path" >&2
    exit 1
  fi
done <<< "$installed"
echo "package installed, used and removed cleanly"
