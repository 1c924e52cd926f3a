# Shared by the velmora-cli test scripts (sourced): stop with a message, and
# run a command expecting an exit status, its output kept in out.txt and
# err.txt of the current folder.
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_status() {  # expected, command...
  local expected=$1; shift
  set +e; "$@" >out.txt 2>err.txt; local status=$?; set -e
  [ "$status" -eq "$expected" ] || { cat out.txt err.txt >&2; fail "'$*' gave $status, not $expected"; }
}
