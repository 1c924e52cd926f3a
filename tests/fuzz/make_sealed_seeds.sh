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

# Plaintexts of small indexes: the entry count, then each entry (kind, path
# length, path, size, mtime seconds and nanoseconds, attributes, mode),
# then the files' bytes.
python3 - "$out" <<'PY'
import struct, sys
def index(entries, data=b""):
    out = struct.pack("<Q", len(entries))
    for kind, path, size, mtime, attributes, mode in entries:
        name = path.encode()
        out += struct.pack("<BH", kind, len(name)) + name
        out += struct.pack("<QqIBH", size, mtime, 0, attributes, mode)
    return out + data
seeds = {
    "index-root.bin": index([(1, "", 0, 1700000000, 16, 493)]),
    "index-one-file.bin": index([(1, "", 0, 0, 16, 493), (2, "a", 3, 1, 32, 420)], b"xyz"),
    "index-nested.bin": index([(1, "", 0, 0, 16, 493), (1, "Łódź", 0, 0, 16, 448),
                               (2, "Łódź/日本", 1, 0, 32, 384)], b"!"),
}
for name, data in seeds.items():
    open(sys.argv[1] + "/" + name, "wb").write(data)
PY
