#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs them on seeds
# made by velmora-cli (the sealed reader's: by make_sealed_seeds.sh; the
# parity code's from nothing). `fuzz.sh short` is the fixed-seed pass of
# `make test`; `fuzz.sh SECONDS` runs each target for that long. Given a
# velmora-cli already built (`make test` passes the default build's), only
# the fuzz targets are built here, and the seeds are made with that one.
# Usage: fuzz.sh [short|SECONDS [VELMORA-CLI]]
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-short}"
build=build/fuzz
cli="${2:-$build/cli/velmora-cli}"
cmake --preset fuzz > /dev/null
targets=(decode_fuzzer roundtrip_fuzzer sealed_reader_fuzzer parity_rebuild_fuzzer)
[ $# -ge 2 ] || targets+=(velmora-cli)
cmake --build --preset fuzz --target "${targets[@]}"
tests/fuzz/make_seeds.sh "$cli" "$build/seeds"
tests/fuzz/make_sealed_seeds.sh "$build/sealed-seeds"
mkdir -p "$build/parity-seeds"
# A failing input is written into the build folder, never the checkout.
limits=(-malloc_limit_mb=64 -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$build/")

run() {  # target, seeds folder, then libFuzzer's own arguments
  local target=$1 seeds=$2 corpus
  shift 2
  corpus=$(mktemp -d)
  "$build/tests/fuzz/$target" "${limits[@]}" "$@" "$corpus" "$seeds" > "$build/$target.log" 2>&1 ||
    { tail -n 40 "$build/$target.log" >&2; rm -rf "$corpus"; return 1; }
  rm -rf "$corpus"
  grep -m1 'stat::number_of_executed_units' "$build/$target.log" | awk '{print $2}'
}

if [ "$mode" = short ]; then
  # A fixed number of runs each, so the same work whatever the order: the
  # four (one thread each) run side by side on the cores.
  run decode_fuzzer "$build/seeds" -seed=1 -runs=30000 > "$build/decode.count" &
  run roundtrip_fuzzer "$build/seeds" -seed=1 -runs=1500 > "$build/roundtrip.count" &
  # A version 2 input is opened, sealed, damaged and repaired: about 15 ms each.
  run sealed_reader_fuzzer "$build/sealed-seeds" -seed=1 -runs=1500 > "$build/sealed.count" &
  run parity_rebuild_fuzzer "$build/parity-seeds" -seed=1 -runs=10000 > "$build/parity.count" &
  failed=0
  for job in $(jobs -p); do
    wait "$job" || failed=1
  done
  [ "$failed" = 0 ] || exit 1
  decode=$(cat "$build/decode.count")
  roundtrip=$(cat "$build/roundtrip.count")
  sealed=$(cat "$build/sealed.count")
  parity=$(cat "$build/parity.count")
else
  decode=$(run decode_fuzzer "$build/seeds" -max_total_time="$mode")
  roundtrip=$(run roundtrip_fuzzer "$build/seeds" -max_total_time="$mode")
  sealed=$(run sealed_reader_fuzzer "$build/sealed-seeds" -max_total_time="$mode")
  parity=$(run parity_rebuild_fuzzer "$build/parity-seeds" -max_total_time="$mode")
fi
echo "fuzzing: $decode decodes of mutated containers, $roundtrip encode-decode round trips," \
  "$sealed sealed containers and indexes read, $parity parity groups rebuilt; no failure"
