#!/usr/bin/env bash
# velmora-cli's tools for legacy containers, on Linux and under Wine:
# recover restores a container without its password and refuses a damaged
# header with nothing created; decode --original-case gives the names back
# as they were stored, and where case is ignored (Windows) refuses two names
# that differ only in case before anything is created; convert turns a
# legacy container into a sealed one under the same name that restores the
# original tree, and leaves the legacy container as it was whenever it
# refuses.
set -euo pipefail
cli="$1"
. "$(dirname "$0")/cli_checks.sh"
sealed_password='una contraseña sellada'

# Mixed-case and accented names, a file past 64 KiB, empty files and folders.
make_tree() {
  mkdir -p "$1/Señor Ñandú/Sub" "$1/Vacía/Más Vacía" "$1/ÉPOCA"
  printf 'Querido amigo' > "$1/Señor Ñandú/Carta.Txt"
  printf 'm' > "$1/Señor Ñandú/Sub/Mixto.BIN"
  head -c 200000 /dev/urandom > "$1/Grande.Bin"
  : > "$1/vacío.txt"
}
# Nothing but these names in the working folder.
only() {
  [ "$(ls -A | grep -v -e '^out\.txt$' -e '^err\.txt$' | LC_ALL=C sort | tr '\n' '|')" = "$1" ] ||
    fail "the folder holds: $(ls -A | tr '\n' '|'), not $1"
}

make_tree Datos
expected=$(listing Datos)
entries=$(cd Datos && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P %s\n' \) | LC_ALL=C sort)
expect_status 0 with_password 'Clave Secreta' "$cli" encode Datos
cp Datos.zol legacy.zol
# list --json: every file and the folders stored (those without files), the
# name as stored (Windows-1252 read as UTF-8), kind and size; the kind keeps
# no times or permissions.
expect_status 0 with_password 'clave secreta' "$cli" list Datos.zol --json
listed=$(python3 -c 'import json, sys
for e in map(json.loads, open(sys.argv[1], encoding="utf-8")):
    assert e["time"] is None and e["permissions"] is None and e["attributes"] in (16, 32), e
    print(e["name"] + ("/" if e["kind"] == "folder" else " %d" % e["size"]))' out.txt |
  LC_ALL=C sort)
[ "$(grep -v '/$' <<< "$listed")" = "$(grep -v '/$' <<< "$entries")" ] &&
  [ -z "$(LC_ALL=C comm -23 <(echo "$listed") <(echo "$entries"))" ] || fail "list --json: $listed"

# recover: the key from the header, the restore exactly as decode's.
expect_status 0 -e 'No ha hecho falta la contraseña' "$cli" recover Datos.zol --keep
tr -d '\r' < out.txt | grep -q 'Datos[/\\]$' || fail "recover did not print the restored folder"
expect_status 0 with_password 'clave secreta' "$cli" decode Datos.zol --keep
[ "$(listing Datos)" = "$(listing "Datos (2)")" ] || fail "recover and decode differ"
[ "$(listing Datos)" != "$expected" ] || fail "decode did not upper-case the names"
expect_status 0 "$cli" recover Datos.zol --original-case
[ "$(listing "Datos (3)")" = "$expected" ] || fail "recover --original-case lost a name"
[ ! -e Datos.zol ] || fail "recover kept the container"
rm -rf Datos "Datos (2)" "Datos (3)"

# A damaged check value (every byte of it is the unit tests'): no key fits,
# the container stays as it was and nothing is created.
cp legacy.zol Roto.zol
printf '\x01' | dd of=Roto.zol bs=1 seek=13 conv=notrunc status=none
copy=$(sha256sum < Roto.zol)
expect_status 3 -e 'no se puede deducir' "$cli" recover Roto.zol
expect_status 3 with_password "$sealed_password" "$cli" convert Roto.zol --recover
[ "$(sha256sum < Roto.zol)" = "$copy" ] || fail "recover or convert touched a damaged header"
rm Roto.zol
only 'legacy.zol|'

# Two names equal but for case, in a container only another program could
# have written (ours refuses such a tree): key "clave", names in 70-byte
# records. Where case is ignored (under Wine) --original-case refuses it;
# on Linux, and upper-cased anywhere, legacy_conversion_test decodes the
# same container through the same restore.
if [ "$posix" = 0 ]; then
"$tests/legacy_container.py" Caso.zol clave '\\Cartas\\Mixto.TXT' ddd \
  '\\cartas\\mixto.txt' dddd '\\uno' u
expect_status 3 -e 'solo se diferencian en mayúsculas' with_password clave "$cli" decode Caso.zol --original-case
[ ! -e Caso ] && [ -f Caso.zol ] || fail "a case collision created something"
rm Caso.zol
fi

# convert: the legacy password, then the new one; the sealed container
# takes the name and gives back the original tree.
cp legacy.zol Conv.zol
printf '%s\n' 'clave secreta' "$sealed_password" > passwords.txt  # one file, both passwords
expect_status 0 -o 'es ahora un contenedor sellado' \
  "$cli" convert Conv.zol --password-file passwords.txt
rm passwords.txt
only 'Conv.zol|legacy.zol|'
# Sealed, and sound (the legacy container's password, or its upper-cased
# names, would fail the decode).
expect_status 0 with_password "$sealed_password" "$cli" verify Conv.zol
expect_status 0 with_password "$sealed_password" "$cli" decode Conv.zol
[ "$(listing Conv)" = "$expected" ] || fail "the converted container lost something"
rm -rf Conv

# --recover: one line only, the new password.
cp legacy.zol Rec.zol
expect_status 0 -e 'No ha hecho falta la contraseña' with_password "$sealed_password" "$cli" convert Rec.zol --recover
expect_status 0 with_password "$sealed_password" "$cli" decode Rec.zol
[ "$(listing Rec)" = "$expected" ] || fail "the recovered conversion lost something"
rm -rf Rec

# Refusals leave the legacy container as it was, and nothing beside it.
legacy=$(sha256sum < legacy.zol)
expect_status 1 -e 'Contraseña incorrecta.' sh -c "printf '%s\n' 'otra' '$sealed_password' | '$cli' convert legacy.zol --password-stdin"
expect_status 1 -e 'al menos 8 caracteres' sh -c "printf '%s\n' 'clave secreta' 'corta' | '$cli' convert legacy.zol --password-stdin"
[ "$(sha256sum < legacy.zol)" = "$legacy" ] || fail "a refused conversion touched the container"
only 'legacy.zol|'
mkdir S && printf 's' > S/s
expect_status 0 with_password "$sealed_password" "$cli" seal S
expect_status 3 -e 'ya es un contenedor sellado' with_password "$sealed_password" "$cli" convert S.zol --recover
expect_status 3 -e 'sin la contraseña' "$cli" recover S.zol
[ ! -e S ] || fail "recover of a sealed container created something"

# Options of one command only.
expect_status 2 "$cli" recover legacy.zol --password-stdin
expect_status 2 "$cli" convert legacy.zol --keep
expect_status 2 "$cli" list legacy.zol --original-case
expect_status 2 "$cli" decode legacy.zol --recover
expect_status 2 "$cli" decode legacy.zol --json
echo "legacy tools: recover, --original-case and convert passed"
