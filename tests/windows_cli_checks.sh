#!/usr/bin/env bash
# velmora-cli.exe under Wine, on what only the Windows layer decides: a
# folder link (a reparse point to Windows) and a second hard link refused
# before anything is touched, a read-only file overwritten and wiped, its
# attribute stored. Wine shows a link to a file as the file itself, so only
# folder links can be checked here.
set -euo pipefail
cli="$1"
. "$(dirname "$0")/cli_checks.sh"
encode() { echo clave | "$cli" encode "$1" --password-stdin; }

mkdir -p outside/folder T/sub && echo secreto > outside/file && echo a > T/a.txt
ln -s "$work/outside/folder" T/sub/enlace
expect_status 3 -e enlace encode T
[ -f T/a.txt ] && [ ! -e T.zol ] || fail "a refused tree was touched"
rm T/sub/enlace

ln outside/file T/segundo
expect_status 3 -e segundo encode T
[ "$(cat outside/file)" = secreto ] || fail "the linked file was touched"
rm T/segundo

echo fijo > T/sub/fijo.txt && chmod 444 T/sub/fijo.txt
expect_status 0 encode T
[ ! -e T ] || fail "the folder with a read-only file was not wiped"
expect_status 0 sh -c "echo clave | '$cli' list T.zol --password-stdin"
grep -q '^ *33 .*SUB\\FIJO.TXT' out.txt || fail "the read-only attribute was not stored"
expect_status 0 sh -c "echo clave | '$cli' decode T.zol --password-stdin"
[ "$(cat T/SUB/FIJO.TXT)" = fijo ] || fail "the read-only file did not come back"
echo "velmora-cli.exe checks: all passed"
