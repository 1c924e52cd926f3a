#!/usr/bin/env bash
# A version 2 container made by velmora-cli seal, read by sealed_v2_check.py
# (written from docs/sealed-format.md alone) against the folder it was made
# from: nested folders, a name with a decomposed accent, an empty hidden
# file, an empty read-only folder, a system file (where the file system keeps
# user.DOSATTRIB), ~9 MiB so that there are three groups (the last one short)
# and a file across chunks and groups.
set -euo pipefail
cli="$1"
check="$(cd "$(dirname "$0")" && pwd)/sealed_v2_check.py"
. "$(dirname "$0")/cli_checks.sh"
/usr/bin/python3 -c 'import nacl' 2>/dev/null || { echo "skipped: no python3-nacl"; exit 77; }
# A decomposed accent and a no-break space: seal prepares the password as
# the format says (NFC, non-ASCII spaces), and so must the reader.
password=$'cafe\xcc\x81\xc2\xa0con leche'

mkdir -p "Datos/uno/dos/tres" "Datos/vacía" $'Datos/Cafe\xcc\x81'
head -c 5000000 /dev/urandom > "Datos/uno/grande.bin"
head -c 4500000 /dev/urandom > "Datos/uno/dos/tres/otro.bin"
printf 'niño' > $'Datos/Cafe\xcc\x81/nin\xcc\x83o.txt'
: > "Datos/uno/.vacío"
/usr/bin/python3 -c 'import os, sys; os.setxattr(sys.argv[1], "user.DOSATTRIB", b"0x4")' \
  "Datos/uno/dos/tres/otro.bin" 2>/dev/null || true
chmod 640 "Datos/uno/grande.bin"
chmod 444 $'Datos/Cafe\xcc\x81/nin\xcc\x83o.txt'
chmod 700 "Datos/uno/dos"
chmod 555 "Datos/vacía"
touch -d '2001-02-03 04:05:06.123456789' "Datos/uno/dos/tres/otro.bin"
touch -d '1969-07-20 20:17:40.5' "Datos/uno/.vacío"
touch -d '1999-12-31 23:59:59' "Datos/vacía" "Datos/uno/dos/tres"

expect_status 0 with_password "$password" "$cli" seal Datos --keep
/usr/bin/python3 "$check" Datos.zol "$password" Datos > read.txt
# The check is no formality: a byte of a file, then a byte of the last parity
# slot, changed.
flip() { "$(dirname "$check")/flip_byte.py" "$1" $(($(stat -c %s "$1") - $2)); }  # file, from the end
flip "Datos/uno/dos/tres/otro.bin" 1
touch -d '2001-02-03 04:05:06.123456789' "Datos/uno/dos/tres/otro.bin"
expect_status 1 -e 'otro.bin»: bytes differ' /usr/bin/python3 "$check" Datos.zol "$password" Datos
flip Datos.zol $((140 + 65552 + 100))
expect_status 1 -e 'parity slot 1 of group 2' /usr/bin/python3 "$check" Datos.zol "$password" Datos
echo "version 2 container read from its description alone: $(cat read.txt)"
