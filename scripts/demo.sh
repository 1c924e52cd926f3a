#!/usr/bin/env bash
# The main job on a generated sample folder: seal it (the folder is wiped),
# list the container, decode it, and show that the restored tree matches the
# original exactly. Then the legacy kind, the exchange format for the legacy
# program: encode, decode, names back in upper case.
set -euo pipefail
build="$(cd "${1:-build/default}" && pwd)"
cli="$build/cli/velmora-cli"
work="$build/demo"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

echo "== Sample folder: Muestra"
mkdir -p Muestra/cartas/viejas Muestra/fotos Muestra/vacia
printf 'Querida Ana:\n' > Muestra/cartas/carta1.txt
printf 'Hola de nuevo\n' > Muestra/cartas/viejas/carta0.txt
head -c 300000 /dev/urandom > Muestra/fotos/playa.jpg
: > Muestra/fotos/vacio.dat
cp -r Muestra copia-original
find Muestra | sort

# Compares the restored folder with the original; NAMES is "exact" or
# "upper" (the legacy kind brings names back in upper case).
compare() {
  (cd copia-original && find . -type f | sort) | while read -r file; do
    restored="Muestra/${file#./}"
    [ "$1" = exact ] || restored="Muestra/$(echo "${file#./}" | tr '[:lower:]' '[:upper:]')"
    cmp -s "copia-original/$file" "$restored" || { echo "DIFFERENT: $file"; exit 1; }
    echo "same: $file"
  done
}

echo
echo "== velmora-cli seal Muestra   (password: demo-clave-1)"
echo demo-clave-1 | "$cli" seal Muestra --password-stdin
ls -l Muestra.zol
[ ! -e Muestra ] && echo "Muestra is gone: every file was overwritten with 0xFF and deleted."

echo
echo "== velmora-cli list Muestra.zol"
echo demo-clave-1 | "$cli" list Muestra.zol --password-stdin

echo
echo "== velmora-cli decode Muestra.zol"
echo demo-clave-1 | "$cli" decode Muestra.zol --password-stdin
[ ! -e Muestra.zol ] && echo "Muestra.zol is gone."
find Muestra | sort

echo
echo "== Comparing with the original (names exactly as they were)"
compare exact
echo "The restored tree matches the original."

echo
echo "== The legacy kind, only to exchange containers with the legacy program:"
echo "== velmora-cli encode Muestra   (password: demo1; it protects nothing)"
echo demo1 | "$cli" encode Muestra --password-stdin
ls -l Muestra.zol
echo demo1 | "$cli" decode Muestra.zol --password-stdin
compare upper
echo "Restored too, with names in upper case."
