#!/usr/bin/env bash
# velmora-cli end to end: encode, list, refuse a wrong password, decode, and
# the exit statuses scripts rely on.
set -euo pipefail
cli="$1"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_status() {  # expected, command...
  local expected=$1; shift
  set +e; "$@" >out.txt 2>err.txt; local status=$?; set -e
  [ "$status" -eq "$expected" ] || { cat err.txt >&2; fail "'$*' gave $status, not $expected"; }
}

mkdir -p "Mis datos/sub dir/vacía" && printf 'hola' > "Mis datos/a.txt"
head -c 150000 /dev/urandom > "Mis datos/sub dir/grande.bin"
cp -r "Mis datos" original

expect_status 0 sh -c "echo 'clave' | '$cli' encode 'Mis datos' --password-stdin"
[ -f "Mis datos.zol" ] || fail "no container"
[ ! -e "Mis datos" ] || fail "the folder was not wiped"

expect_status 0 sh -c "echo 'CLAVE' | '$cli' list 'Mis datos.zol' --password-stdin"
grep -q 'SUB DIR\\GRANDE.BIN' out.txt || fail "list lacks a file"
grep -q '150000' out.txt || fail "list lacks a size"

before=$(sha256sum "Mis datos.zol")
expect_status 1 sh -c "echo 'otra' | '$cli' decode 'Mis datos.zol' --password-stdin"
grep -q 'Contraseña incorrecta.' err.txt || fail "no wrong-password message"
[ "$(sha256sum "Mis datos.zol")" = "$before" ] || fail "wrong password touched the container"
[ ! -e "Mis datos" ] || fail "wrong password created the folder"

expect_status 0 sh -c "echo 'clave' | '$cli' decode 'Mis datos.zol' --password-stdin"
[ ! -e "Mis datos.zol" ] || fail "the container was not deleted"
cmp "Mis datos/A.TXT" original/a.txt || fail "a.txt differs"
cmp "Mis datos/SUB DIR/GRANDE.BIN" "original/sub dir/grande.bin" || fail "grande.bin differs"
[ -d "Mis datos/SUB DIR/VACÍA" ] || fail "empty folder missing"

mkdir elsewhere
expect_status 0 sh -c "echo 'clave' | '$cli' encode original --keep -C elsewhere --password-stdin"
[ -f elsewhere/original.zol ] && [ -f original/a.txt ] || fail "--keep or -C not honoured"
expect_status 3 sh -c "echo 'clave' | '$cli' encode original -C elsewhere --password-stdin"
grep -q 'Ya existe' err.txt || fail "an existing container was not refused"
expect_status 1 sh -c "echo 'ab' | '$cli' encode original --password-stdin"
grep -q 'al menos 3 caracteres' err.txt || fail "short password accepted"
# The dialog's rules: no control characters; no key that turns every stored
# name's leading backslash into a space ("â" second).
expect_status 1 sh -c "printf 'cla\033ve\n' | '$cli' encode original --password-stdin"
grep -q 'caracteres que no se pueden usar' err.txt || fail "a control character was accepted"
expect_status 1 sh -c "printf 'x\303\242yz\n' | '$cli' encode original --password-stdin"
grep -q 'no se puede usar con este formato' err.txt || fail "an unusable key was accepted"

head -c 30 elsewhere/original.zol > broken.zol
expect_status 3 sh -c "echo 'clave' | '$cli' decode broken.zol --password-stdin"
[ ! -e broken ] || fail "a damaged container created a folder"

expect_status 2 "$cli"
expect_status 2 "$cli" frobnicate x
expect_status 0 "$cli" --help
echo "velmora-cli round trip: all checks passed"
