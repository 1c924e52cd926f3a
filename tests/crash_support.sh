# Sourced by the crash injection scripts, run as SCRIPT CRASHING-CLI CLI
# [STEP]: both programs, the step between the kill points tried, and what
# the velmora-cli scripts share (a scratch folder of the run's own as the
# current one, fail, listing), and a run killed at a chosen point.
set -euo pipefail
crashing=$(realpath "$1")
cli=$(realpath "$2")
step="${3:-1}"
. "$(dirname "${BASH_SOURCE[0]}")/cli_checks.sh"
sealed_password='contraseña sellada'
# The command run and killed right after operation K, counted in $tried.
killed_at() {  # K, what, command...
  local status=0
  VELMORA_KILL_AT=$1 "${@:3}" 2>/dev/null || status=$?
  [ "$status" -eq 137 ] || fail "$2 point $1: not killed (status $status)"
  tried=$((tried + 1))
}
# Whether a copy of the container, decoded in check/ with the password (the
# copy kept there), gives back the tree listed.
restores() {  # container, password, listing[, upper]
  rm -rf check && mkdir check && cp "$1" check/T.zol &&
    echo "$2" | "$cli" decode check/T.zol --keep --password-stdin > /dev/null 2>&1 &&
    [ "$(listing check/T "${4:-}")" = "$3" ]
}
