#!/usr/bin/env bash
# Writes the seed containers for the decode fuzzer: small trees encoded by
# velmora-cli with the fuzzers' password ("fuzz"), one per name width, plus
# a few damaged copies. Usage: make_seeds.sh VELMORA-CLI OUTPUT-FOLDER
set -euo pipefail
cli=$(realpath "$1")
out=$(realpath -m "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cd "$work"
seed() {  # name, then the commands that fill the folder T
  rm -rf T T.zol && mkdir T && (cd T && eval "$2")
  echo fuzz | "$cli" encode T --keep --password-stdin > /dev/null
  cp T.zol "$out/$1.zol"
}
seed empty ':'
seed one-file 'printf abc > a.txt'
seed nested 'mkdir -p s/t v && printf x > s/t/y && : > e'
seed block-edge 'head -c 65537 /dev/zero > b && head -c 65536 /dev/zero > c'
seed width1 'mkdir -p "$(printf "%070d" 0)" && printf 1 > "$(printf "%070d" 0)/f"'
seed width2 'mkdir -p "$(printf "%0140d" 0)" && printf 2 > "$(printf "%0140d" 0)/f"'
head -c 30 "$out/nested.zol" > "$out/truncated.zol"
printf '\x10\xff\xff\xff\x7f\x00' | cat - <(tail -c +7 "$out/one-file.zol") > "$out/huge-count.zol"
