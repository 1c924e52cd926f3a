#!/usr/bin/env bash
# The main job on a generated sample folder: encode it (the folder is wiped),
# list the container, decode it, and show that the restored tree matches the
# original (names come back in upper case).
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

echo
echo "== velmora-cli encode Muestra   (password: demo1)"
echo demo1 | "$cli" encode Muestra --password-stdin
ls -l Muestra.zol
[ ! -e Muestra ] && echo "Muestra is gone: every file was overwritten with 0xFF and deleted."

echo
echo "== velmora-cli list Muestra.zol"
echo demo1 | "$cli" list Muestra.zol --password-stdin

echo
echo "== velmora-cli decode Muestra.zol"
echo demo1 | "$cli" decode Muestra.zol --password-stdin
[ ! -e Muestra.zol ] && echo "Muestra.zol is gone."
find Muestra | sort

echo
echo "== Comparing with the original (names upper-cased)"
(cd copia-original && find . -type f | sort) | while read -r file; do
  restored="Muestra/$(echo "${file#./}" | tr '[:lower:]' '[:upper:]')"
  cmp -s "copia-original/$file" "$restored" || { echo "DIFFERENT: $file"; exit 1; }
  echo "same: $file"
done
echo "The restored tree matches the original."
