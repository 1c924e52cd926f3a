#!/usr/bin/env bash
# velmora-cli with sealed containers: seal, list, verify and decode give the
# tree back exactly (names in any language, case, dates, permissions, empty
# folders, a sparse file past 2 GiB on Linux), and the exit statuses tell a
# wrong password (1) from a damaged container (3), with nothing created.
set -euo pipefail
cli="$1"
sparse="${2:-3G}"  # the size of the sparse file (0: none)
. "$(dirname "$0")/cli_checks.sh"
password='Contraseña de prueba'
with_password() {  # password, command...
  local typed=$1; shift
  printf '%s\n' "$typed" | "$@" --password-stdin
}

mkdir -p "Datos/Łódź/日本" "Datos/vacía/más vacía"
printf 'こんにちは' > "Datos/Łódź/日本/ñandú.txt"
head -c 200000 /dev/urandom > "Datos/grande.bin"
: > "Datos/vacío"
touch -d '2001-02-03 04:05:06.123456789' "Datos/Łódź/日本/ñandú.txt"
if [ "$posix" = 1 ]; then
  printf 'mayúsculas' > "Datos/Mixto.TXT"
  printf 'minúsculas' > "Datos/mixto.txt"
  chmod 640 "Datos/grande.bin"
  chmod 555 "Datos/vacía/más vacía"
  if [ "$sparse" != 0 ]; then
    truncate -s "$sparse" "Datos/disperso.bin"
    printf 'fin' >> "Datos/disperso.bin"
  fi
fi
touch -d '1999-12-31 23:59:59' "Datos/vacía" "Datos/Łódź"
# Windows keeps times to 100 ns: under Wine they are compared to that.
digits=9
[ "$posix" = 1 ] || digits=7
describe() {  # every entry: kind, permissions, size, time, content hash
  (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | while read -r p; do
     if [ -d "$p" ]; then echo "$p/ $(stat -c '%a %Y' "$p")"
     elif [ "$(stat -c %s "$p")" -gt 100000000 ]; then echo "$p $(stat -c '%a %s %y' "$p")"
     else echo "$p $(stat -c '%a %s %y' "$p") $(sha256sum < "$p" | cut -c1-16)"; fi
   done | sed "s/\(\.[0-9]\{$digits\}\)[0-9]* /\1 /")
}
before=$(describe Datos)

expect_status 1 with_password 'corta' "$cli" seal Datos
grep -q 'al menos 8 caracteres' err.txt || fail "a short password was taken"
# The big tree stays (--keep: its wipe and the check before it are the small
# container's below), so that the restored copy can be compared with it.
expect_status 0 with_password "$password" "$cli" seal Datos --keep
[ -f Datos.zol ] || fail "seal wrote no container"

expect_status 0 with_password "$password" "$cli" list Datos.zol
grep -q 'Łódź/日本/ñandú.txt' out.txt || fail "list lacks an exact name"
grep -q '2001-02-03 04:05:06' out.txt || fail "list lacks a date"

sealed=$(sha256sum < Datos.zol)
expect_status 1 with_password 'contraseña de prueba' "$cli" decode Datos.zol
grep -q 'Contraseña incorrecta.' err.txt || fail "no wrong-password message"

# Damage anywhere, in a small container of its own: refused with status 3,
# nothing created, the container as it was. A byte of the header, of the
# index and of the last message, and the last byte cut off.
mkdir Pequeña && printf 'dato' > Pequeña/uno.txt
expect_status 0 with_password "$password" "$cli" seal Pequeña
[ -f Pequeña.zol ] && [ ! -e Pequeña ] || fail "seal did not replace the folder by its container"
expect_status 1 with_password 'otra contraseña' "$cli" verify Pequeña.zol
expect_status 0 with_password "$password" "$cli" verify Pequeña.zol
grep -q 'auténtico' out.txt || fail "verify said nothing"

# A header asking for 13 passes (both copies, checksums made again): refused
# with status 3 before the password is read, the cost told; with
# --allow-costly-key it is derived (and the key check refuses the password).
cp Pequeña.zol costly.zol
python3 -c 'import hashlib, sys; d = bytearray(open(sys.argv[1], "rb").read())
for at in (0, len(d) - 140):
    d[at + 10] = 13; d[at + 108:at + 140] = hashlib.blake2b(d[at:at + 108], digest_size=32).digest()
open(sys.argv[1], "wb").write(d)' costly.zol
for command in decode list verify; do
  expect_status 3 with_password "$password" "$cli" $command costly.zol
  grep -q '256 MiB de memoria y 13 pasadas.*unos 3 segundos.*--allow-costly-key' err.txt ||
    fail "$command did not tell the cost: $(cat err.txt)"
done
expect_status 1 with_password "$password" "$cli" verify costly.zol --allow-costly-key
expect_status 2 "$cli" seal Pequeña --allow-costly-key
rm costly.zol
size=$(stat -c %s Pequeña.zol)
for offset in 40 150 $((size - 30)) cut; do
  if [ "$offset" = cut ]; then head -c $((size - 1)) Pequeña.zol > damaged.zol
  else
    cp Pequeña.zol damaged.zol
    printf 'X' | dd of=damaged.zol bs=1 seek="$offset" conv=notrunc status=none
  fi
  copy=$(sha256sum < damaged.zol)
  expect_status 3 with_password "$password" "$cli" verify damaged.zol
  expect_status 3 with_password "$password" "$cli" decode damaged.zol
  [ "$(sha256sum < damaged.zol)" = "$copy" ] || fail "decode changed a damaged container"
  [ -z "$(ls -A | grep -v -e '\.zol$' -e '\.txt$' -e '^Datos$')" ] ||
    fail "a damaged container left something: $(ls -A)"
done
[ "$(sha256sum < Datos.zol)" = "$sealed" ] || fail "the refusals touched the container"

expect_status 0 with_password "$password" "$cli" decode Datos.zol
[ ! -e Datos.zol ] || fail "the container was not deleted"
grep -q 'Datos (2)' out.txt || fail "the restored folder is not the next free name"
after=$(describe "Datos (2)")
[ "$after" = "$before" ] || { diff <(echo "$before") <(echo "$after") >&2; fail "the tree differs"; }
if [ "$posix" = 1 ] && [ "$sparse" != 0 ]; then
  [ "$(du -k "Datos (2)/disperso.bin" | cut -f1)" -lt 1024 ] || fail "the sparse file came back whole"
fi
# Messages name files as the system does, beyond Windows-1252.
if [ "$posix" = 1 ]; then
  mkdir -p Tubo/Łódź && mkfifo Tubo/Łódź/日本
  expect_status 3 with_password "$password" "$cli" seal Tubo
  grep -q 'Tubo/Łódź/日本»' err.txt || fail "a name is not shown as it is: $(cat err.txt)"
fi
echo "sealed containers: exact round trip, refusals with nothing created"
