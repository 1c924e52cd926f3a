# Sourced by the crash injection scripts, run as SCRIPT CRASHING-CLI CLI
# [STEP]: both programs, the step between the kill points tried, and what
# the velmora-cli scripts share (a scratch folder of the run's own as the
# current one, fail, listing).
set -euo pipefail
tests="$(cd "$(dirname "$0")" && pwd)"
crashing=$(realpath "$1")
cli=$(realpath "$2")
step="${3:-1}"
. "$tests/cli_checks.sh"
sealed_password='contraseña sellada'
