#!/usr/bin/env bash
# Builds ISA-L's erasure codes or utf8proc for the Windows build (mingw-w64,
# a static library) from Debian's source package, so that it is the same
# code, patches included, as Linux's libisal-dev or libutf8proc-dev.
# Everything, the download included, stays in OUT, which lies in the build
# tree; once built, a second call returns at once. The Windows preset's
# configure step runs it (cmake/erasure_and_unicode.cmake).
# OUT receives include/ and lib/ laid out as Debian installs them.
# Usage: build-erasure-unicode-mingw.sh isa-l|utf8proc OUT
set -euo pipefail
library=$1
out=$(realpath -m "$2")
case $library in
  isa-l) package=libisal assembler=yasm ;;
  utf8proc) package=utf8proc assembler= ;;
  *) echo "unknown library $library" >&2; exit 1 ;;
esac
if [ -f "$out/built" ]; then
  exit 0
fi
for tool in dpkg-source x86_64-w64-mingw32-gcc-posix $assembler; do
  command -v "$tool" > /dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out/download" "$out/include" "$out/lib"
cd "$out/download"
# apt-get source needs the deb-src entries that scripts/install-deps.sh adds.
apt-get source --download-only "$package" > ../download.log 2>&1 || {
  cat ../download.log >&2
  echo "apt-get source $package failed: run scripts/install-deps.sh" >&2
  exit 1
}
dpkg-source --no-check -x "${package}"_*.dsc "$out/source" > ../extract.log

cd "$out/source"
echo "Building $library for mingw-w64 in $out"
tools=(CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar)
{
  if [ "$library" = isa-l ]; then
    # Upstream's own mingw build (make.inc, arch=mingw), erasure codes only.
    # It assembles with yasm, which writes the Windows unwind tables the
    # assembly declares (nasm has no such directives and drops them); the
    # functions pick their SIMD path from the CPU at run time, as on Linux.
    make -f Makefile.unx -j2 arch=mingw units=erasure_code have_threads=n "${tools[@]}" lib
    install -D -m 644 bin/isa-l.a "$out/lib/libisal.a"
    install -D -m 644 -t "$out/include/isa-l" include/erasure_code.h include/gf_vect_mul.h \
      include/types.h
  else
    # One C file; UTF8PROC_STATIC: no DLL import or export declarations.
    make "${tools[@]}" UTF8PROC_DEFINES=-DUTF8PROC_STATIC libutf8proc.a
    install -D -m 644 libutf8proc.a "$out/lib/libutf8proc.a"
    install -D -m 644 utf8proc.h "$out/include/utf8proc.h"
  fi
} > "$out/build.log" 2>&1 || { tail -n 40 "$out/build.log" >&2; exit 1; }
touch "$out/built"
