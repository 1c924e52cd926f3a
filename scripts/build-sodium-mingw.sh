#!/usr/bin/env bash
# Builds libsodium for the Windows build (mingw-w64, a static library) from
# Debian's source package, so that it is the same code, patches included, as
# Linux's libsodium-dev. Everything, the download included, stays in OUT,
# which lies in the build tree; once built, a second call returns at once.
# The Windows preset's configure step runs it (cmake/sodium.cmake).
# Usage: build-sodium-mingw.sh OUT
set -euo pipefail
out=$(realpath -m "$1")
if [ -f "$out/built" ]; then
  exit 0
fi
for tool in autoreconf automake libtoolize dpkg-source x86_64-w64-mingw32-gcc-posix; do
  command -v "$tool" > /dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out/download"
cd "$out/download"
# apt-get source needs the deb-src entries that scripts/install-deps.sh adds.
apt-get source --download-only libsodium > ../download.log 2>&1 || {
  cat ../download.log >&2
  echo "apt-get source libsodium failed: run scripts/install-deps.sh" >&2
  exit 1
}
dpkg-source --no-check -x libsodium_*.dsc "$out/source" > ../extract.log

cd "$out/source"
echo "Building libsodium for mingw-w64 in $out (about half a minute)"
{
  ./autogen.sh -s
  ./configure --host=x86_64-w64-mingw32 --disable-shared --enable-static --prefix="$out" \
    CC=x86_64-w64-mingw32-gcc-posix
  make -j2
  make install
} > "$out/build.log" 2>&1 || { tail -n 40 "$out/build.log" >&2; exit 1; }
touch "$out/built"
