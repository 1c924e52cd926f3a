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
  (cd "$folder" && echo "$password" | "$cli" "$@" --password-stdin >/dev/null) ||
    fail "$cli $* failed"
}
same_tree() {  # folder, folder, what differs[, upper]
  [ "$(listing "$1" "${4:-}")" = "$(listing "$2" "${4:-}")" ] ||
    { diff <(listing "$1" "${4:-}") <(listing "$2" "${4:-}") >&2; fail "$3"; }
}
password='Contraseña'

make_tree linux && make_tree windows && make_tree expected
run "$linux_cli" linux encode Árbol
run "$windows_cli" windows encode Árbol
cmp linux/Árbol.zol windows/Árbol.zol || fail "the containers differ"

mkdir from_linux from_windows
cp linux/Árbol.zol from_linux/ && cp windows/Árbol.zol from_windows/
run "$windows_cli" from_linux decode Árbol.zol
run "$linux_cli" from_windows decode Árbol.zol
same_tree from_linux from_windows "the restored trees differ"
same_tree expected/Árbol from_linux/Árbol "the restored tree is not the original" upper

# Sealed containers: salts differ, so the bytes do; the trees each restores
# of the other's container are the original, names exactly as written.
sealed_tree() {
  mkdir -p "$1/Sellado/Łódź/日本" "$1/Sellado/vacía"
  printf 'こんにちは' > "$1/Sellado/Łódź/日本/ñandú.txt"
  head -c 70000 /dev/zero | tr '\0' 's' > "$1/Sellado/Grande.BIN"
}
password='Contraseña sellada'
mkdir sealed_linux sealed_windows sealed_expected
sealed_tree sealed_linux && sealed_tree sealed_windows && sealed_tree sealed_expected
run "$linux_cli" sealed_linux seal Sellado
run "$windows_cli" sealed_windows seal Sellado
mv sealed_linux/Sellado.zol sealed_windows/de_linux.zol
mv sealed_windows/Sellado.zol sealed_linux/de_windows.zol
run "$windows_cli" sealed_windows decode de_linux.zol
run "$linux_cli" sealed_linux decode de_windows.zol
for restored in sealed_windows/de_linux sealed_linux/de_windows; do
  same_tree sealed_expected/Sellado "$restored" "$restored is not the sealed tree"
done
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
