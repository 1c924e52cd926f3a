# Sourced by the crash injection scripts, run as SCRIPT CRASHING-CLI CLI
# [STEP]: both programs, the step between the kill points tried, a scratch
# folder of the run's own as the current one, fail, and the listing of a
# tree.
set -euo pipefail
tests="$(cd "$(dirname "$0")" && pwd)"
crashing=$(realpath "$1")
cli=$(realpath "$2")
step="${3:-1}"
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
sealed_password='contraseña sellada'

fail() { echo "FAIL: $*" >&2; exit 1; }

# Every entry of a folder with its file's sum; with "upper", upper-cased (as
# the legacy kind restores names).
listing() {  # folder[, upper]
  (cd "$1" && find . -mindepth 1 | while read -r p; do
    if [ -f "$p" ]; then echo "$p $(sha256sum < "$p" | cut -c1-16)"; else echo "$p/"; fi; done) |
    if [ "${2:-}" = upper ]; then tr '[:lower:]' '[:upper:]'; else cat; fi | LC_ALL=C sort
}
