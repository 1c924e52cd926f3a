#!/usr/bin/env bash
# The Linux velmora-cli and velmora-cli.exe under Wine write byte-identical
# containers of the same tree with the same password, and each restores the
# other's container to the same tree.
set -euo pipefail
linux_cli="$1"
windows_cli="$2"
[ -x "$linux_cli" ] || { echo "no Linux velmora-cli at $linux_cli (build the default preset)"; exit 77; }
cli=$windows_cli
. "$(dirname "$0")/cli_checks.sh"
make_tree() {
  mkdir -p "$1/Árbol/sub/más hondo/vacía" "$1/Árbol/niño"
  printf 'hola' > "$1/Árbol/a.txt"
  : > "$1/Árbol/vacío"
  head -c 70000 /dev/zero | tr '\0' 'x' > "$1/Árbol/sub/más hondo/grande.bin"
  printf 'ro' > "$1/Árbol/niño/sólo.txt" && chmod 444 "$1/Árbol/niño/sólo.txt"
}
run() {  # cli, folder, command... (with $password)
  local cli=$1 folder=$2; shift 2
  (cd "$folder" && with_password "$password" "$cli" "$@" >/dev/null) || fail "$cli $* failed"
}
same_tree() {  # folder, folder, what differs[, upper]
  [ "$(listing "$1" "${4:-}")" = "$(listing "$2" "${4:-}")" ] ||
    { diff <(listing "$1" "${4:-}") <(listing "$2" "${4:-}") >&2; fail "$3"; }
}
# Each program makes a container of the tree the function given makes, and
# restores the other's: the two restored trees are the same, and they are the
# original (the legacy kind's names upper-cased). Sealed containers differ
# (their salts do); legacy ones are byte-identical.
# (The legacy kind's folders are named short: the width of its records
# depends on the whole path, longer on Windows.)
exchanged() {  # tree-making function, encode|seal, the tree's name[, upper]
  local side at=""
  [ "$2" = encode ] || at=sealed_
  for side in linux windows expected; do mkdir "$at$side" && "$1" "$at$side"; done
  run "$linux_cli" "${at}linux" "$2" "$3"
  run "$windows_cli" "${at}windows" "$2" "$3"
  [ "$2" = seal ] || cmp "linux/$3.zol" "windows/$3.zol" || fail "the containers differ"
  mv "${at}linux/$3.zol" "${at}windows/de_linux.zol"
  mv "${at}windows/$3.zol" "${at}linux/de_windows.zol"
  run "$windows_cli" "${at}windows" decode de_linux.zol
  run "$linux_cli" "${at}linux" decode de_windows.zol
  same_tree "${at}windows/de_linux" "${at}linux/de_windows" "$2: the restored trees differ"
  same_tree "${at}expected/$3" "${at}windows/de_linux" "$2: not the original tree" "${4:-}"
}
password='Contraseña'
exchanged make_tree encode Árbol upper
# Sealed: names come back exactly as written.
sealed_tree() {
  mkdir -p "$1/Sellado/Łódź/日本" "$1/Sellado/vacía"
  printf 'こんにちは' > "$1/Sellado/Łódź/日本/ñandú.txt"
  head -c 70000 /dev/zero | tr '\0' 's' > "$1/Sellado/Grande.BIN"
}
password='Contraseña sellada'
exchanged sealed_tree seal Sellado
# Names Linux takes and Windows cannot create are refused on Windows, each
# named, before anything is created.
for name in aux.txt 'punto.' 'a?b'; do
  rm -rf refusal && mkdir -p "refusal/Nombres" && printf 'x' > "refusal/Nombres/$name"
  run "$linux_cli" refusal seal Nombres
  expect_status 3 sh -c "cd refusal && echo '$password' | '$windows_cli' decode Nombres.zol --password-stdin"
  grep -qF "$name" err.txt || fail "the refusal of $name does not name it"
  [ "$(ls -A refusal)" = Nombres.zol ] || fail "the refusal of $name left $(ls -A refusal)"
done
echo "Linux and Windows containers: identical, and each restores the other's; sealed ones too"
