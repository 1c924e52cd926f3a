#!/usr/bin/env bash
# Reprints the reliability figures of README: what was tried and that it held.
#   FUZZ_SECONDS  how long each fuzz target runs (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
figures=$(mktemp)
trap 'rm -f "$figures"' EXIT

scripts/fuzz.sh "${FUZZ_SECONDS:-60}" | tee -a "$figures"
tests/crash_injection.sh "$build/tests/crash_points/velmora-cli-crashpoints" "$build/cli/velmora-cli" 1 |
  tail -n 1 | tee -a "$figures"
tests/crash_injection_convert.sh "$build/tests/crash_points/velmora-cli-crashpoints" \
  "$build/cli/velmora-cli" 1 | tail -n 1 | tee -a "$figures"
"$build/tests/fault_injection_test" | grep -E '^(fault injection|races)' | tee -a "$figures"
"$build/tests/legacy_conversion_test" | grep '^fault injection' | tee -a "$figures"
"$build/tests/race_test" | grep -E '^races' | tee -a "$figures"
"$build/tests/decoder_test" --gtest_filter='*Truncation*:*Unsafe*' | grep '^hostile' |
  tee -a "$figures"
"$build/tests/encoder_test" --gtest_filter='*Unsafe*' | grep '^hostile' | tee -a "$figures"
"$build/tests/encoder_test" --gtest_filter='*MountPoints*' |
  grep -E '^mounts|mounting needs' | sed 's/.*mounting needs.*/mounts: not tried (mounting needs privileges)/' |
  tee -a "$figures"
"$build/tests/platform_posix_test" --gtest_filter='*GivenPaths*' | grep '^paths' | tee -a "$figures"
# The file systems users mount, on loop-backed images (root only).
set +e
tests/file_systems.sh "$build/cli/velmora-cli" > "$figures.fs" 2>&1
status=$?
set -e
case $status in
  0) sed 's/^/file systems: /' "$figures.fs" | tee -a "$figures" ;;
  77) echo "file systems: not tried (mounting needs root and the FUSE drivers)" | tee -a "$figures" ;;
  *) cat "$figures.fs"; exit 1 ;;
esac
rm -f "$figures.fs"

echo
echo "== Reliability figures ($(date +%F))"
cat "$figures"
