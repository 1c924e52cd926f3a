#!/usr/bin/env bash
# Runs velmora-cli's round trip and the given test programs a second time as
# an unprivileged user (uid and gid 65534, no groups), with a scratch folder
# that user owns as TMPDIR and HOME: read-only folders, unreadable files and
# undeletable entries then behave as on a normal account, which root's
# bypass of permissions hides.
# Usage: run_unprivileged.sh CLI TEST-PROGRAM...
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "unprivileged run skipped: these tests already run as $(id -un)"
  exit 0
fi
here=$(dirname "$(realpath "$0")")
cli=$(realpath "$1")
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chown 65534:65534 "$scratch"
as_nobody() {
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env TMPDIR="$scratch" HOME="$scratch" "$@"
}
failed=0
as_nobody "$here/cli_round_trip.sh" "$cli" || failed=1
for program in "$@"; do
  as_nobody "$(realpath "$program")" --gtest_brief=1 || failed=1
done
[ "$failed" -eq 0 ] && echo "unprivileged run: all passed as uid 65534"
exit "$failed"
