#!/usr/bin/env bash
# The Linux velmora-cli and velmora-cli.exe under Wine write byte-identical
# containers of the same tree with the same password, and each restores the
# other's container to the same tree.
set -euo pipefail
linux_cli="$1"
windows_cli="$2"
[ -x "$linux_cli" ] || { echo "no Linux velmora-cli at $linux_cli (build the default preset)"; exit 77; }
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
make_tree() {
  mkdir -p "$1/Árbol/sub/más hondo/vacía" "$1/Árbol/niño"
  printf 'hola' > "$1/Árbol/a.txt"
  : > "$1/Árbol/vacío"
  head -c 70000 /dev/zero | tr '\0' 'x' > "$1/Árbol/sub/más hondo/grande.bin"
  printf 'ro' > "$1/Árbol/niño/sólo.txt" && chmod 444 "$1/Árbol/niño/sólo.txt"
}
tree_of() {  # every path, its kind, size and content hash
  (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | while read -r p; do
     if [ -d "$p" ]; then echo "$p/"; else
       echo "$p $(stat -c %s "$p") $(sha256sum < "$p" | cut -c1-16)"
     fi
   done)
}
run() {  # cli, folder, command...
  local cli=$1 folder=$2; shift 2
  (cd "$folder" && echo 'Contraseña' | "$cli" "$@" --password-stdin >/dev/null) ||
    fail "$cli $* failed"
}

make_tree linux && make_tree windows && make_tree expected
run "$linux_cli" linux encode Árbol
run "$windows_cli" windows encode Árbol
cmp linux/Árbol.zol windows/Árbol.zol || fail "the containers differ"

mkdir from_linux from_windows
cp linux/Árbol.zol from_linux/ && cp windows/Árbol.zol from_windows/
run "$windows_cli" from_linux decode Árbol.zol
run "$linux_cli" from_windows decode Árbol.zol
[ "$(tree_of from_linux)" = "$(tree_of from_windows)" ] || {
  diff <(tree_of from_linux) <(tree_of from_windows) >&2; fail "the restored trees differ"; }
upper() { sed -e 's/á/Á/g; s/í/Í/g; s/ñ/Ñ/g; s/ó/Ó/g' | tr 'a-z' 'A-Z' | LC_ALL=C sort; }
[ "$(tree_of from_linux/Árbol | upper)" = "$(tree_of expected/Árbol | upper)" ] || {
  diff <(tree_of expected/Árbol | upper) <(tree_of from_linux/Árbol | upper) >&2
  fail "the restored tree is not the original"; }
echo "Linux and Windows containers: identical, and each restores the other's"
