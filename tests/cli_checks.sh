# Shared by the velmora-cli test scripts (sourced, the program to test in
# $cli): whether it is the POSIX build (posix=1) or velmora-cli.exe under
# Wine (0); a work folder, the current one, removed on exit whatever its
# permissions; stop with a message; and run a command expecting an exit
# status, its output kept in out.txt and err.txt of the current folder.
posix=1
case "$(basename "$cli")" in *wine*) posix=0 ;; esac
work=$(mktemp -d)
trap 'chattr -R -i "$work" 2>/dev/null || true; chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_status() {  # expected, command...
  local expected=$1; shift
  set +e; "$@" >out.txt 2>err.txt; local status=$?; set -e
  [ "$status" -eq "$expected" ] || { cat out.txt err.txt >&2; fail "'$*' gave $status, not $expected"; }
}
