#!/usr/bin/env bash
# Writes the seeds of the sealed reader's fuzzer: the golden sealed containers
# of both versions (their password is the fuzzer's) with cut and damaged
# copies, and plaintexts of small indexes, which the fuzzer also seals and
# reads back.
# Usage: make_sealed_seeds.sh OUTPUT-FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(realpath -m "$1")
mkdir -p "$out"
golden="$root/tests/data/sealed-golden.zol"
cp "$golden" "$out/golden.zol"
head -c 130 "$golden" > "$out/header-only.zol"
head -c 700 "$golden" > "$out/cut.zol"
# Version 2: whole, cut in its parity, a chunk and the first header damaged.
golden2="$root/tests/data/sealed-golden-v2.zol"
cp "$golden2" "$out/golden-v2.zol"
head -c 30000 "$golden2" > "$out/cut-v2.zol"
{ head -c 8000 "$golden2"; head -c 100 /dev/zero; tail -c +8101 "$golden2"; } > "$out/chunk-v2.zol"
{ head -c 50 /dev/zero; tail -c +51 "$golden2"; } > "$out/header-v2.zol"

# Little-endian integers as printf escapes: le BYTES VALUE.
le() {
  local i value=$2
  for ((i = 0; i < $1; i++)); do
    printf '\\x%02x' $((value & 255))
    value=$((value >> 8))
  done
}
# One entry: kind, path, size, mtime seconds, attributes, mode.
entry() {
  local path_length
  path_length=$(printf '%s' "$2" | wc -c)
  printf "$(le 1 "$1")$(le 2 "$path_length")"
  printf '%s' "$2"
  printf "$(le 8 "$3")$(le 8 "$4")$(le 4 0)$(le 1 "$5")$(le 2 "$6")"
}
{ printf "$(le 8 1)"; entry 1 "" 0 1700000000 16 493; } > "$out/index-root.bin"
{ printf "$(le 8 2)"; entry 1 "" 0 0 16 493; entry 2 a 3 1 32 420; printf xyz; } \
  > "$out/index-one-file.bin"
{
  printf "$(le 8 3)"
  entry 1 "" 0 0 16 493
  entry 1 "Łódź" 0 0 16 448
  entry 2 "Łódź/日本" 1 0 32 384
  printf '!'
} > "$out/index-nested.bin"
