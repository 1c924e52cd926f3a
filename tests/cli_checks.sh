# Shared by the velmora-cli test scripts (sourced, the program to test in
# $cli): whether it is the POSIX build (posix=1) or velmora-cli.exe under
# Wine (0); the tests' folder ($tests); a work folder, the current one,
# removed on exit whatever its permissions; what every script shares; and run
# a command expecting an exit status, its output kept in out.txt and err.txt
# of the current folder.
tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$tests/script_support.sh"
posix=1
case "$(basename "$cli")" in *wine*) posix=0 ;; esac
work=$(mktemp -d)
trap 'chattr -R -i "$work" 2>/dev/null || true; chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
# With -e (or -o) PATTERN before the command, err.txt (out.txt) must match it.
expect_status() {  # expected, [-e|-o PATTERN,] command...
  local expected=$1 told="" pattern=""; shift
  case $1 in -e) told=err.txt ;; -o) told=out.txt ;; esac
  [ -z "$told" ] || { pattern=$2; shift 2; }
  set +e; "$@" >out.txt 2>err.txt; local status=$?; set -e
  [ "$status" -eq "$expected" ] || {
    cat out.txt err.txt >&2
    # Under Wine a second run tells a failed start from the program's answer.
    [ "$posix" = 1 ] || { set +e; "$@" >&2; echo "run again: status $?" >&2; set -e; }
    fail "'$*' gave $status, not $expected"
  }
  [ -z "$told" ] || grep -q -- "$pattern" "$told" || fail "'$*' did not say '$pattern': $(cat "$told")"
}
# A command given the password on its standard input (the option added).
with_password() {  # password, command...
  local typed=$1; shift
  printf '%s\n' "$typed" | "$@" --password-stdin
}
