#!/usr/bin/env bash
# velmora-cli end to end: encode, list, refuse a wrong password, decode, and
# the exit statuses scripts rely on.
set -euo pipefail
cli="$1"
. "$(dirname "$0")/cli_checks.sh"

mkdir -p "Mis datos/sub dir/vacía" && printf 'hola' > "Mis datos/a.txt"
head -c 150000 /dev/urandom > "Mis datos/sub dir/grande.bin"
cp -r "Mis datos" original

expect_status 0 with_password clave "$cli" encode 'Mis datos'
[ ! -e "Mis datos" ] || fail "the folder was not wiped"

# The container listed (so it was written), each file with its size.
expect_status 0 -o ' 150000  \\SUB DIR\\GRANDE.BIN' with_password CLAVE "$cli" list 'Mis datos.zol'

before=$(sha256sum "Mis datos.zol")
expect_status 1 -e 'Contraseña incorrecta.' with_password otra "$cli" decode 'Mis datos.zol'
[ "$(sha256sum "Mis datos.zol")" = "$before" ] || fail "wrong password touched the container"
[ ! -e "Mis datos" ] || fail "wrong password created the folder"

expect_status 0 with_password clave "$cli" decode 'Mis datos.zol'
[ ! -e "Mis datos.zol" ] || fail "the container was not deleted"

mkdir elsewhere
expect_status 0 with_password clave "$cli" encode original --keep -C elsewhere
[ -f elsewhere/original.zol ] && [ -f original/a.txt ] || fail "--keep or -C not honoured"
# Refused before any password is read (none is given), with the job's message.
while IFS='|' read -r args message; do
  expect_status 3 sh -c "'$cli' $args --password-stdin < /dev/null"
  grep -q "$message" err.txt && ! grep -q 'contraseña' err.txt || fail "$args: $(cat err.txt)"
done <<'EOF'
encode original -C elsewhere|Ya existe «.*original.zol»
seal original -C elsewhere|Ya existe «.*original.zol»
seal nada|«.*nada»
encode elsewhere/original.zol|«.*original.zol» no es una carpeta
decode nada.zol|«.*nada.zol»
list elsewhere|«.*elsewhere»
EOF
# Where the password comes from: one source, a file or a descriptor (POSIX)
# read as standard input is; none given is status 1.
printf 'clave\r\n' > pw.txt
sources="0|--password-file pw.txt|
1|--password-stdin < /dev/null|No se ha recibido ninguna contraseña
1|--password-file nada.txt|del archivo «nada.txt»
2|--password-file pw.txt --password-stdin|^uso:
2|--password-fd x|^uso:
2|--password-file|^uso:"
[ "$posix" = 0 ] || sources+="
0|--password-fd 3 3< pw.txt|
1|--password-fd 3 3< /dev/null|No se ha recibido ninguna contraseña
1|--password-fd 9|del descriptor 9"
while IFS='|' read -r status args message; do
  expect_status "$status" sh -c "'$cli' list elsewhere/original.zol $args"
  [ -z "$message" ] || grep -q "$message" err.txt || fail "list $args: $(cat err.txt)"
done <<< "$sources"

# What follows needs the Linux build: permissions, descriptors and names
# as Linux gives them (the Windows build under Wine sees them otherwise).
if [ "$posix" = 1 ]; then
# What the wipe cannot delete makes the exit status say so: a folder in a
# read-only parent for a normal account, an immutable file for root.
if [ "$(id -u)" -ne 0 ]; then
  mkdir -p cerrada/T && printf 'x' > cerrada/T/a && chmod 555 cerrada
  expect_status 5 -e 'no se ha podido borrar del todo' with_password clave "$cli" encode cerrada/T -C .
  [ -f T.zol ] && [ ! -e cerrada/T/a ] || fail "container or wipe missing"
  chmod 755 cerrada
else
  mkdir -p fija/T && printf 'x' > fija/T/a && printf 'y' > fija/T/b
  if chattr +i fija/T/a 2>/dev/null; then
    expect_status 5 -e 'fija/T/a' with_password clave "$cli" encode fija/T -C .
    [ "$(cat fija/T/a)" = x ] && [ ! -e fija/T/b ] || fail "wrong file kept"
    chattr -i fija/T/a
  fi
fi
# Only stored names need Windows-1252; the folders around them are the system's.
mkdir -p "łukasz/Datos" && printf x > "łukasz/Datos/a"
expect_status 0 with_password clave "$cli" encode łukasz/Datos -C łukasz
expect_status 0 with_password clave "$cli" decode łukasz/Datos.zol
[ -f "łukasz/Datos/A" ] && grep -q "łukasz/Datos/" out.txt || fail "no round trip under łukasz"

# Names holding control bytes (here "\", ESC, CR, NUL, "d") are shown
# escaped, whole.
"$tests/legacy_container.py" C.zol clave '\\\x1b\r\x00d' x
expect_status 0 -o '\\x1B\\x0D\\x00D' with_password clave "$cli" list C.zol
expect_status 3 -e '\\x1B\\x0D\\x00D' with_password clave "$cli" decode C.zol
! grep -q "$(printf '[\x1b\r]')" out.txt err.txt || fail "control bytes reached the terminal"

# A closed standard error is reopened on /dev/null before anything else is
# opened, so no file of the run can take descriptor 2 (the password read
# keeps the run waiting while its descriptors are looked at).
mkdir -p E && printf e > E/e
sleep 3 | "$cli" encode E --password-stdin 2>&- &
waiting=$!
sleep 1
[ "$(readlink "/proc/$waiting/fd/2")" = /dev/null ] || fail "descriptor 2 was not /dev/null"
kill "$waiting" 2>/dev/null || true
wait "$waiting" 2>/dev/null || true
# A reader that has gone away does not turn a complete job into a failure.
expect_status 0 with_password clave "$cli" encode E
set +e
echo clave | "$cli" decode E.zol --password-stdin 2>err.txt | (exec <&-; :)
status=${PIPESTATUS[1]}
set -e
[ "$status" -eq 0 ] && [ "$(cat E/E)" = e ] && [ ! -e E.zol ] ||
  fail "decode into a closed pipe gave $status"
fi

expect_status 0 "$cli" --version
version=$(sed -n 's/^project(velmora VERSION \([0-9.]*\) .*/\1/p' "$tests/../CMakeLists.txt")
[ "$(tr -d '\r' < out.txt)" = "velmora-cli $version" ] || fail "--version: $(cat out.txt)"
expect_status 2 "$cli"
grep -q '^uso: velmora-cli seal' err.txt && [ ! -s out.txt ] || fail "the usage of a bad call"
expect_status 2 "$cli" frobnicate x
# The usage is Spanish, in UTF-8, with the password's limits filled in.
expect_status 0 -o 'de 3 a 15 caracteres' "$cli" --help
grep -q '^uso: velmora-cli seal CARPETA' out.txt && grep -q 'contraseña' out.txt &&
  [ ! -s err.txt ] || fail "the usage: $(cat out.txt)"
echo "velmora-cli round trip: all checks passed"
