#!/usr/bin/env bash
# Velmora beside tar, 7-Zip and zip on two generated trees: packing,
# unpacking, wiping, the whole jobs as users run them (encode = pack, flush
# and wipe; decode = restore, flush and delete the container), and
# velmora-cli's peak memory, also on a 200,000-file tree. Caches are warm:
# every timed run is preceded by a read of its input. Prints one table of
# medians and Velmora's ratio to each peer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
work="${VELMORA_BENCH_DIR:-$root/build/bench-work}"
runs="${RUNS:-5}"
cli="$build/cli/velmora-cli"
mkdir -p "$work/trees"
cd "$work"

for tree in mixed small large; do
  if [ ! -f "trees/$tree.done" ]; then
    echo "Generating the $tree tree..."
    "$build/bench/make_bench_tree" "$tree" "trees/$tree"
    touch "trees/$tree.done"
  fi
done

hf() { hyperfine --style basic --runs "$runs" --warmup 1 "$@"; }
aside="$root/bench/set-aside.sh"
# Restores are timed a minute after the last mass deletion has reached the
# disk, and what they make is set aside rather than deleted (set-aside.sh
# says why).
settle() { rm -rf aside && sync && sleep 61; }
sealed="echo 'clave sellada' |"  # for hyperfine's and sh's command lines
seal() { echo 'clave sellada' | "$cli" seal "$@"; }

# The sealed kind's key derivation on its own: an empty folder sealed.
rm -rf empty out && mkdir empty out
hf --export-json kdf.json --prepare "rm -rf out && mkdir out" \
   -n "key derivation" "$sealed $cli seal empty --keep -C out --password-stdin"
rm -rf empty out

for tree in mixed small; do
  echo "== $tree: pack"
  hf --export-json "pack-$tree.json" \
     --prepare "rm -rf out && mkdir out && tar -cf - trees/$tree > /dev/null" \
     -n velmora "echo clave | $cli encode trees/$tree --keep -C out --password-stdin" \
     -n tar "tar -cf out/$tree.tar trees/$tree" \
     -n 7z "7z a -mx0 -pclave -mhe=on out/$tree.7z trees/$tree > /dev/null" \
     -n zip "zip -q -r -0 -P clave out/$tree.zip trees/$tree"

  echo "== $tree: unpack"
  settle
  rm -rf archives && mkdir archives
  echo clave | "$cli" encode "trees/$tree" --keep -C archives --password-stdin
  tar -cf "archives/$tree.tar" "trees/$tree"
  7z a -mx0 -pclave -mhe=on "archives/$tree.7z" "trees/$tree" > /dev/null
  zip -q -r -0 -P clave "archives/$tree.zip" "trees/$tree"
  hf --export-json "unpack-$tree.json" \
     --prepare "$aside un 'archives/$tree' && mkdir un && cat archives/* > /dev/null" \
     -n velmora "echo clave | $cli decode archives/$tree.zol --keep --password-stdin > /dev/null" \
     -n tar "tar -xf archives/$tree.tar -C un" \
     -n 7z "7z x -pclave -oun archives/$tree.7z > /dev/null" \
     -n zip "unzip -q -P clave archives/$tree.zip -d un"

  echo "== $tree: sealed pack and restore"
  hf --export-json "seal-$tree.json" \
     --prepare "rm -rf out && mkdir out && tar -cf - trees/$tree > /dev/null" \
     -n sealed "$sealed $cli seal trees/$tree --keep -C out --password-stdin" \
     -n tar "tar -cf out/$tree.tar trees/$tree" \
     -n 7z "7z a -mx0 -pclave -mhe=on out/$tree.7z trees/$tree > /dev/null"
  rm -rf sealed && mkdir sealed
  seal "trees/$tree" --keep -C sealed --password-stdin
  hf --export-json "unseal-$tree.json" \
     --prepare "$aside un 'sealed/$tree' && mkdir un && cat sealed/* archives/* > /dev/null" \
     -n sealed "$sealed $cli decode sealed/$tree.zol --keep --password-stdin > /dev/null" \
     -n tar "tar -xf archives/$tree.tar -C un" \
     -n "tar + sync" "tar -xf archives/$tree.tar -C un && sync" \
     -n 7z "7z x -pclave -oun archives/$tree.7z > /dev/null"
  echo "== $tree: whole decode"
  hf --export-json "decode-$tree.json" \
     --prepare "$aside full && mkdir full full/un && cp archives/$tree.zol archives/$tree.tar full/ && sync && cat full/$tree.* > /dev/null" \
     -n velmora "echo clave | $cli decode full/$tree.zol --password-stdin > /dev/null" \
     -n "tar + sync" "tar -xf full/$tree.tar -C full/un && sync"
  rm -rf aside full un

  # The check before the wipe: what a whole seal's packing (flushed and read
  # back from the disk) takes beyond the packing of --keep.
  : > "sealwipe-$tree.txt"
  for _ in $(seq "$runs"); do
    rm -rf copy copy.zol && cp -a "trees/$tree" copy && sync && tar -cf - copy > /dev/null
    seal copy -C . --password-stdin --timings 2>> "sealwipe-$tree.txt"
    rm -f copy.zol
  done
  rm -rf sealed

  echo "== $tree: wipe"
  : > "wipe-$tree.txt"
  for _ in $(seq "$runs"); do
    rm -rf copy copy.zol && cp -a "trees/$tree" copy && sync && tar -cf - copy > /dev/null
    echo clave | "$cli" encode copy -C . --password-stdin --timings 2>> "wipe-$tree.txt"
    rm -f copy.zol
  done
  hf --export-json "shred-$tree.json" \
     --prepare "rm -rf copy && cp -a trees/$tree copy && sync && tar -cf - copy > /dev/null" \
     -n shred "find copy -type f -exec shred -n1 -u {} +"

  echo "== $tree: whole encode"
  fresh="rm -rf copy copy.zol copy.tar && cp -a trees/$tree copy && sync && tar -cf - copy > /dev/null"
  hf --export-json "encode-$tree.json" --prepare "$fresh" \
     -n velmora "echo clave | $cli encode copy -C . --password-stdin" \
     -n "tar + shred" "tar -cf copy.tar copy && find copy -type f -exec shred -n1 -u {} + && rm -r copy"

  rm -rf copy copy.zol copy.tar archives
done

for tree in mixed small large; do
  echo "== $tree: peak memory"
  rm -rf mem && mkdir -p mem/sealed
  /usr/bin/time -f "%M" -o "memory-$tree-encode.txt" \
    sh -c "echo clave | $cli encode trees/$tree --keep -C mem --password-stdin"
  /usr/bin/time -f "%M" -o "memory-$tree-decode.txt" \
    sh -c "echo clave | $cli decode mem/$tree.zol --keep --password-stdin > /dev/null"
  /usr/bin/time -f "%M" -o "memory-$tree-seal.txt" \
    sh -c "$sealed $cli seal trees/$tree --keep -C mem/sealed --password-stdin"
  /usr/bin/time -f "%M" -o "memory-$tree-unseal.txt" \
    sh -c "$sealed $cli decode mem/sealed/$tree.zol --keep --password-stdin > /dev/null"
  rm -rf mem
done

python3 "$root/bench/report.py" "$work"
