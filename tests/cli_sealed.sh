#!/usr/bin/env bash
# velmora-cli with sealed containers: seal, list, verify and decode give the
# tree back exactly (names in any language, dates, empty folders, a sparse
# file past 2 GiB on Linux; case and permissions are sealed_engine_test's),
# and the exit statuses tell a wrong password (1), a damaged container
# repair mends (6) and one beyond repair (3, nothing created); repair gives
# the sealed bytes back.
set -euo pipefail
cli="$1"
sparse="${2:-3G}"  # the size of the sparse file (0: none)
. "$(dirname "$0")/cli_checks.sh"
password='Contraseña de prueba'

mkdir -p "Datos/Łódź/日本" "Datos/vacía/más vacía"
printf 'こんにちは' > "Datos/Łódź/日本/ñandú.txt"
head -c 200000 /dev/urandom > "Datos/grande.bin"
: > "Datos/vacío"
touch -d '2001-02-03 04:05:06.123456789' "Datos/Łódź/日本/ñandú.txt"
if [ "$posix" = 1 ] && [ "$sparse" != 0 ]; then
  truncate -s "$sparse" "Datos/disperso.bin"
  printf 'fin' >> "Datos/disperso.bin"
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

expect_status 1 -e 'al menos 8 caracteres' with_password 'corta' "$cli" seal Datos
# The big tree stays (--keep: its wipe and the check before it are the small
# container's below), so that the restored copy can be compared with it.
expect_status 0 with_password "$password" "$cli" seal Datos --keep

# The container listed (so it was written), each entry with its time.
expect_status 0 -o '2001-02-03 04:05:06  Łódź/日本/ñandú.txt' \
  with_password "$password" "$cli" list Datos.zol
# list --json: one object per entry of the tree, each field as the disk has it.
expect_status 0 with_password "$password" "$cli" list Datos.zol --json
python3 - Datos out.txt "$digits" "$posix" <<'PY' || fail "list --json: $(cat out.txt)"
import json, os, sys, time
root, digits, posix = sys.argv[1], int(sys.argv[3]), sys.argv[4] == "1"
listing = [json.loads(line) for line in open(sys.argv[2], encoding="utf-8")]
on_disk = {"."} | {os.path.relpath(os.path.join(d, n), root) for d, ds, fs in os.walk(root) for n in ds + fs}
assert {e["name"] for e in listing} == on_disk and len(listing) == len(on_disk), listing
for e in listing:
    st = os.lstat(os.path.join(root, e["name"]))
    folder = os.path.isdir(os.path.join(root, e["name"]))
    assert e["kind"] == ("folder" if folder else "file") and e["size"] == (None if folder else st.st_size), e
    ns = st.st_mtime_ns
    when = time.strftime("%Y-%m-%dT%H:%M:%S.", time.gmtime(ns // 10**9)) + "%09d" % (ns % 10**9)
    assert e["time"][:20 + digits] == when[:20 + digits] and e["time"][-1] == "Z", (e, when)
    assert not posix or e["permissions"] == "%04o" % (st.st_mode & 0o7777), e
PY

sealed=$(sha256sum < Datos.zol)
expect_status 1 -e 'Contraseña incorrecta.' with_password 'contraseña de prueba' "$cli" decode Datos.zol

# Damage in a small container of its own (one chunk, slots of C bytes after
# the 140-byte header: data, two parity, the index's copy, the header's
# copy). Each case: verify tells status 6 and names the damaged part; decode
# restores exactly and says when chunks were rebuilt; repair gives back the
# very bytes sealed; verify is then sound.
mkdir Pequeña && printf 'dato' > Pequeña/uno.txt
expect_status 0 with_password "$password" "$cli" seal Pequeña
[ -f Pequeña.zol ] && [ ! -e Pequeña ] || fail "seal did not replace the folder by its container"
expect_status 1 sh -c "'$cli' verify Pequeña.zol --password-stdin < /dev/null"  # none given
expect_status 0 -o 'auténtico' with_password "$password" "$cli" verify Pequeña.zol

# A header asking for 13 passes (both copies, checksums made again): refused
# with status 3 before the password is read, the cost told; with
# --allow-costly-key it is derived (and the key check refuses the password).
cp Pequeña.zol costly.zol
python3 -c 'import hashlib, sys; d = bytearray(open(sys.argv[1], "rb").read())
for at in (0, len(d) - 140):
    d[at + 10] = 13; d[at + 108:at + 140] = hashlib.blake2b(d[at:at + 108], digest_size=32).digest()
open(sys.argv[1], "wb").write(d)' costly.zol
expect_status 3 -e '256 MiB de memoria y 13 pasadas.*unos 3 segundos.*--allow-costly-key' \
  with_password "$password" "$cli" list costly.zol
expect_status 1 with_password "$password" "$cli" verify costly.zol --allow-costly-key
expect_status 2 "$cli" seal Pequeña --allow-costly-key
rm costly.zol
expect_status 0 -o 'nada que reparar' with_password "$password" "$cli" repair Pequeña.zol
size=$(stat -c %s Pequeña.zol)
C=$(( (size - 280) / 4 ))
damage() {  # source, destination, what: flip AT | zero AT LENGTH | cut SIZE | grow
  cp "$1" "$2"
  case $3 in
    flip) "$tests/flip_byte.py" "$2" "$4" ;;
    zero) dd if=/dev/zero of="$2" bs=1 seek="$4" count="$5" conv=notrunc status=none ;;
    cut) truncate -s "$4" "$2" ;;
    grow) printf '\0' >> "$2" ;;
  esac
}
while IFS='|' read -r what told rebuilt; do
  read -r -a how <<< "$what"
  damage Pequeña.zol trozo.zol "${how[@]}"
  expect_status 6 -o "$told" with_password "$password" "$cli" verify trozo.zol
  expect_status 0 with_password "$password" "$cli" decode trozo.zol --keep
  [ "$(cat trozo/uno.txt)" = dato ] || fail "$what: decode restored something else"
  if [ "$rebuilt" = 0 ]; then ! grep -q 'rehecho' err.txt || fail "$what: a rebuild was said"
  else grep -q "rehecho $rebuilt bloques" err.txt || fail "$what: no rebuild said: $(cat err.txt)"; fi
  rm -r trozo
  expect_status 0 with_password "$password" "$cli" repair trozo.zol
  cmp -s trozo.zol Pequeña.zol || fail "$what: repair did not give the sealed bytes back"
  [ -z "$(ls -A | grep -e '^\.')" ] || fail "$what: repair left $(ls -A)"
done <<EOF
flip 40|1 copias de la cabecera|0
flip 150|1 bloques de datos|1
flip $((140 + C + 10))|1 bloques de paridad|0
flip $((140 + 3 * C + 10))|copia del índice|0
cut $((size - 1))|tamaño|0
cut 70000|2 bloques de paridad|0
grow|tamaño|0
EOF

# Beyond the parity: three slots of one group. verify and repair name the
# file whose chunks are lost (and only it), decode refuses with nothing
# created, decode --salvage restores the rest, and the container stays as
# it was through them all.
mkdir Varios && head -c 400000 /dev/urandom > Varios/a.bin && printf 'dato' > Varios/b.txt
a_sum=$(sha256sum < Varios/a.bin)
expect_status 0 with_password "$password" "$cli" seal Varios
damage Varios.zol damaged.zol zero $((140 + C)) $((3 * C))
copy=$(sha256sum < damaged.zol)
for command in verify repair decode; do
  expect_status 3 with_password "$password" "$cli" $command damaged.zol
  [ $command = decode ] || { tr -d '\r' < out.txt | grep -qx 'a.bin' && ! grep -q 'b.txt' out.txt; } ||
    fail "$command did not name the lost file alone: $(cat out.txt)"
  [ -z "$(ls -A | grep -v -e '\.zol$' -e '\.txt$' -e '^Datos$')" ] ||
    fail "a damaged container left something: $(ls -A)"
done
# decode --salvage lists the lost file (what it restores, and that the
# container stays as it was, form_load_sealed_test checks through the same
# salvage).
expect_status 0 with_password "$password" "$cli" decode damaged.zol --salvage
tr -d '\r' < out.txt | grep -qx 'a.bin' || fail "salvage did not name the lost file: $(cat out.txt)"
rm -r 'damaged (rescatado)'
# With --salvage-partial a.bin comes back too, marked, at its size (its
# intact bytes and zeros for the lost chunks are chunk_check_test's), the
# lost bytes listed; alone it is refused.
expect_status 2 -e '--salvage-partial solo' "$cli" decode damaged.zol --salvage-partial
expect_status 0 -o '^a (incompleto).bin  (196608 bytes perdidos' \
  with_password "$password" "$cli" decode damaged.zol --salvage --salvage-partial
[ "$(stat -c %s 'damaged (rescatado)/a (incompleto).bin')" = 400000 ] &&
  [ "$(cat 'damaged (rescatado)/b.txt')" = dato ] ||
  fail "salvage-partial did not restore both files"
[ "$(sha256sum < damaged.zol)" = "$copy" ] || fail "a command changed the damaged container"
rm -r 'damaged (rescatado)'
# extract restores the named entries alone, into -C's folder, and never
# deletes the container; a lost chunk of a named file, or a name that is
# not there, is refused with nothing made.
mkdir Destino
while IFS='|' read -r zol paths status made; do
  expect_status "$status" with_password "$password" "$cli" extract "$zol" $paths -C Destino
  [ "$(cd Destino && find . -type f | LC_ALL=C sort | xargs)" = "$made" ] ||
    fail "extract $zol $paths made $(cd Destino && find .)"
  [ -f "$zol" ] || fail "extract deleted $zol"
  [ ! -f Destino/Varios/a.bin ] || [ "$(sha256sum < Destino/Varios/a.bin)" = "$a_sum" ] ||
    fail "extract restored another a.bin"
  rm -rf Destino/*
done <<EOF
damaged.zol|b.txt|0|./damaged/b.txt
damaged.zol|a.bin|3|
damaged.zol|b.txt nada|3|
Varios.zol|./a.bin b.txt/|0|./Varios/a.bin ./Varios/b.txt
EOF
# A version 1 container is rewritten as version 2, its tree the same.
cp "$tests/data/sealed-golden.zol" antiguo.zol
expect_status 0 with_password 'contraseña' "$cli" list antiguo.zol
listed=$(cat out.txt)
expect_status 0 with_password 'contraseña' "$cli" repair antiguo.zol
[ "$(od -An -tu1 -j8 -N1 antiguo.zol | tr -d ' ')" = 2 ] || fail "repair kept version 1"
expect_status 0 with_password 'contraseña' "$cli" list antiguo.zol
[ "$(cat out.txt)" = "$listed" ] || fail "repair changed a version 1 container's tree"
[ "$(sha256sum < Datos.zol)" = "$sealed" ] || fail "the refusals touched the container"

# The restored folder takes the next free name.
expect_status 0 -o 'Datos (2)' with_password "$password" "$cli" decode Datos.zol
[ ! -e Datos.zol ] || fail "the container was not deleted"
after=$(describe "Datos (2)")
[ "$after" = "$before" ] || { diff <(echo "$before") <(echo "$after") >&2; fail "the tree differs"; }
if [ "$posix" = 1 ] && [ "$sparse" != 0 ]; then
  [ "$(du -k "Datos (2)/disperso.bin" | cut -f1)" -lt 1024 ] || fail "the sparse file came back whole"
fi
# Messages name files as the system does, beyond Windows-1252.
if [ "$posix" = 1 ]; then
  mkdir -p Tubo/Łódź && mkfifo Tubo/Łódź/日本
  expect_status 3 -e 'Tubo/Łódź/日本»' with_password "$password" "$cli" seal Tubo
fi
echo "sealed containers: exact round trip, refusals with nothing created"
