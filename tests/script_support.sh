# Sourced by the test scripts: stop with a message, whether a file is a
# sealed container (known by its first bytes), and the listing of a tree.
fail() { echo "FAIL: $*" >&2; exit 1; }
is_sealed() { [ -f "$1" ] && [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 8956656c6d6f7261 ]; }
# Every entry of a folder, sorted: folders, and files with their contents'
# sums; with "upper", upper-cased (as the legacy kind restores names).
listing() {  # folder[, upper]
  (cd "$1" && find . -mindepth 1 -type d -printf 'd %P\n' && find . -type f -printf '%P\n' |
    while read -r f; do echo "f $f $(sha256sum < "$f" | cut -c1-16)"; done) |
    if [ "${2:-}" = upper ]; then python3 -c 'import sys; sys.stdout.write(sys.stdin.read().upper())'
    else cat; fi | LC_ALL=C sort
}
