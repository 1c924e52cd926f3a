#!/usr/bin/env bash
# Velmora beside tar, 7-Zip and zip on two generated trees: packing,
# unpacking, wiping, the whole jobs as users run them (encode = pack, flush
# and wipe; decode = restore, flush and delete the container), and
# velmora-cli's peak memory, also on a 200,000-file tree; the sealed kind
# beside tar, 7-Zip and `tar | age`, its stream's kernels, and its repair of
# one damaged chunk in a 1 GiB container. Caches are warm: every timed run
# is preceded by a read of its input. Prints one table of medians and
# Velmora's ratio to each peer.
# BENCH_ONLY=kernels,legacy,sealed,repair,memory (any of them, comma
# separated) runs only those sections; a section's earlier results are
# removed when it starts, so report.py shows each section's last run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
work="${VELMORA_BENCH_DIR:-$root/build/bench-work}"
runs="${RUNS:-5}"
cli="$build/cli/velmora-cli"
only="${BENCH_ONLY:-kernels,legacy,sealed,repair,memory}"
want() { [[ ",$only," == *",$1,"* ]]; }
mkdir -p "$work/trees"
cd "$work"
# The machine may be shared: the load as each section begins.
: > load.txt
note_load() { echo "$1: $(cut -d' ' -f1-3 /proc/loadavg)" >> load.txt; }

for tree in mixed small large; do
  if [ ! -f "trees/$tree.done" ]; then
    echo "Generating the $tree tree..."
    "$build/bench/make_bench_tree" "$tree" "trees/$tree"
    touch "trees/$tree.done"
  fi
done

hf() { hyperfine --style basic --runs "$runs" --warmup 1 "$@"; }
# Restores are timed in rounds of every tool (interleave.py says why). Each
# pack starts once the last one's deletion has reached the disk: a tool that
# flushes would else write that back too.
rounds() { python3 "$root/bench/interleave.py" --runs "$runs" "$@"; }
aside="$root/bench/set-aside.sh"
# Restores are timed a minute after the last mass deletion has reached the
# disk, and what they make is set aside rather than deleted (set-aside.sh
# says why).
settle() { rm -rf aside && sync && sleep 61; }
sealed="echo 'clave sellada' |"  # for hyperfine's and sh's command lines
seal() { echo 'clave sellada' | "$cli" seal "$@"; }

# age's peer: an X25519 key of its own, no passphrase (none can be piped).
[ -f age.key ] || age-keygen -o age.key 2> /dev/null
recipient=$(age-keygen -y age.key)

if want kernels; then
  note_load "kernels"
  # The sealed stream with parity on every core: sealed (chunks and parity)
  # and opened with every check of a container just written (parity
  # recomputed and compared, the copies compared).
  "$build/bench/coding_kernels_bench" --benchmark_filter='^Sealed(SealInPlace|OpenChecked)' \
    --benchmark_repetitions="$runs" --benchmark_out=kernels.json --benchmark_out_format=json
fi

if want sealed; then
  # The sealed kind's key derivation on its own: an empty folder sealed.
  rm -rf empty out && mkdir empty out
  hf --export-json kdf.json --prepare "rm -rf out && mkdir out" \
     -n "key derivation" "$sealed $cli seal empty --keep -C out --password-stdin"
  rm -rf empty out
fi

# What the restores read, made once the disk has settled.
make_archives() {
  rm -rf archives && mkdir archives
  echo clave | "$cli" encode "trees/$1" --keep -C archives --password-stdin
  tar -cf "archives/$1.tar" "trees/$1"
  7z a -mx0 -pclave -mhe=on "archives/$1.7z" "trees/$1" > /dev/null
  zip -q -r -0 -P clave "archives/$1.zip" "trees/$1"
  tar -cf - "trees/$1" | age -r "$recipient" > "archives/$1.tar.age"
  # On the disk before the restores: else the first restore timed that
  # flushes (ours, which must) writes these archives back too.
  sync
}

want legacy && rm -f pack-*.json unpack-*.json decode-*.json wipe-*.txt shred-*.json encode-*.json
want sealed && rm -f seal-*.json unseal-*.json sealwipe-*.txt size-*.txt
for tree in mixed small; do
  want legacy || want sealed || break
  if want legacy; then
  echo "== $tree: pack"
  note_load "$tree legacy"
  hf --export-json "pack-$tree.json" \
     --prepare "rm -rf out && mkdir out && sync && tar -cf - trees/$tree > /dev/null" \
     -n velmora "echo clave | $cli encode trees/$tree --keep -C out --password-stdin" \
     -n tar "tar -cf out/$tree.tar trees/$tree" \
     -n 7z "7z a -mx0 -pclave -mhe=on out/$tree.7z trees/$tree > /dev/null" \
     -n zip "zip -q -r -0 -P clave out/$tree.zip trees/$tree"

  echo "== $tree: unpack"
  settle
  make_archives "$tree"
  rounds --export-json "unpack-$tree.json" \
     --prepare "$aside un 'archives/$tree' && mkdir un && cat archives/* > /dev/null" \
     -n velmora "echo clave | $cli decode archives/$tree.zol --keep --password-stdin > /dev/null" \
     -n tar "tar -xf archives/$tree.tar -C un" \
     -n 7z "7z x -pclave -oun archives/$tree.7z > /dev/null" \
     -n zip "unzip -q -P clave archives/$tree.zip -d un"
  fi

  if want sealed; then
  echo "== $tree: sealed pack and restore"
  note_load "$tree sealed"
  hf --export-json "seal-$tree.json" \
     --prepare "rm -rf out && mkdir out && sync && tar -cf - trees/$tree > /dev/null" \
     -n sealed "$sealed $cli seal trees/$tree --keep -C out --password-stdin" \
     -n tar "tar -cf out/$tree.tar trees/$tree" \
     -n 7z "7z a -mx0 -pclave -mhe=on out/$tree.7z trees/$tree > /dev/null" \
     -n "tar | age" "tar -cf - trees/$tree | age -r $recipient > out/$tree.tar.age"
  rm -rf sealed && mkdir sealed
  seal "trees/$tree" --keep -C sealed --password-stdin
  if ! want legacy; then
    settle
    make_archives "$tree"
  fi
  # Container sizes: the sealed one, then the tar of the same tree.
  stat -c %s "sealed/$tree.zol" "archives/$tree.tar" > "size-$tree.txt"
  rounds --export-json "unseal-$tree.json" \
     --prepare "$aside un 'sealed/$tree' && mkdir un && cat sealed/* archives/* > /dev/null" \
     -n sealed "$sealed $cli decode sealed/$tree.zol --keep --password-stdin > /dev/null" \
     -n tar "tar -xf archives/$tree.tar -C un" \
     -n "tar + sync" "tar -xf archives/$tree.tar -C un && sync" \
     -n 7z "7z x -pclave -oun archives/$tree.7z > /dev/null" \
     -n "tar | age" "age -d -i age.key archives/$tree.tar.age | tar -xf - -C un" \
     -n "tar | age + sync" "age -d -i age.key archives/$tree.tar.age | tar -xf - -C un && sync"
  fi

  if want legacy; then
  echo "== $tree: whole decode"
  rounds --export-json "decode-$tree.json" \
     --prepare "$aside full && mkdir full full/un && cp archives/$tree.zol archives/$tree.tar full/ && sync && cat full/$tree.* > /dev/null" \
     -n velmora "echo clave | $cli decode full/$tree.zol --password-stdin > /dev/null" \
     -n "tar + sync" "tar -xf full/$tree.tar -C full/un && sync"
  fi
  rm -rf aside full un

  if want sealed; then
  # The check before the wipe: what a whole seal's packing (flushed and read
  # back from the disk) takes beyond the packing of --keep.
  : > "sealwipe-$tree.txt"
  for _ in $(seq "$runs"); do
    rm -rf copy copy.zol && cp -a "trees/$tree" copy && sync && tar -cf - copy > /dev/null
    seal copy -C . --password-stdin --timings 2>> "sealwipe-$tree.txt"
    rm -f copy.zol
  done
  fi
  rm -rf sealed

  if want legacy; then
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
  fi

  rm -rf copy copy.zol copy.tar archives
done

if want repair; then
  note_load "repair"
  # One byte flipped in the middle chunk's slot of a sealed 1 GiB file
  # (its place from the header: docs/sealed-format.md, Geometry); each
  # timed run repairs a fresh copy, flushed and read in beforehand.
  echo "== repair: one damaged chunk in a 1 GiB container"
  rm -rf repair && mkdir -p repair/gib
  head -c 1073741824 /dev/urandom > repair/gib/data
  seal repair/gib --keep -C repair --password-stdin
  rm -rf repair/gib
  cp repair/gib.zol repair/damaged.zol
  python3 - repair/damaged.zol <<'EOF'
import struct, sys
with open(sys.argv[1], "r+b") as f:
    header = f.read(140)
    size, k, p = struct.unpack_from("<I", header, 38)[0], header[58], header[59]
    n = struct.unpack_from("<Q", header, 68)[0] // size // 2
    at = 140 + (n + max(n // k - 1, 0) * p) * (size + 16) + 100
    f.seek(at)
    byte = f.read(1)[0]
    f.seek(at)
    f.write(bytes([byte ^ 1]))
EOF
  status=0
  echo 'clave sellada' | "$cli" verify repair/damaged.zol --password-stdin > /dev/null || status=$?
  [ "$status" = 6 ] || { echo "the damaged container is not repairable ($status)"; exit 1; }
  stat -c %s repair/gib.zol > repair-size.txt
  # The key derivation again, beside them: the load may have changed.
  mkdir repair/empty
  hf --export-json repair.json \
     --prepare "rm -f repair/work.zol && cp repair/damaged.zol repair/work.zol && sync && cat repair/work.zol > /dev/null" \
     -n repair "$sealed $cli repair repair/work.zol --password-stdin > /dev/null" \
     --prepare "cat repair/gib.zol > /dev/null" \
     -n verify "$sealed $cli verify repair/gib.zol --password-stdin > /dev/null" \
     --prepare "rm -rf repair/out && mkdir repair/out" \
     -n "key derivation" "$sealed $cli seal repair/empty --keep -C repair/out --password-stdin"
  echo 'clave sellada' | "$cli" verify repair/work.zol --password-stdin > /dev/null
  rm -rf repair
fi

for tree in mixed small large; do
  want memory || break
  note_load "$tree memory"
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
