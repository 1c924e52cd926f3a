#!/usr/bin/python3
# Writes a legacy container as another program could, for names our encoder
# is never given (names equal but for case, names holding control bytes):
# the key from an ASCII password (upper-cased, repeated to 15 bytes, each
# raised by its position), each file's stored name (backslash escapes as in
# Python's bytes) and contents, names in 70-byte records.
#   legacy_container.py CONTAINER PASSWORD NAME CONTENTS [NAME CONTENTS...]
import codecs
import sys

path, password, pairs = sys.argv[1], sys.argv[2], sys.argv[3:]
key = bytes(c + i + 1 for i, c in enumerate((password.upper().encode() * 15)[:15]))
def enc(data):
    return bytes((b + key[(j + 1) % 15]) % 256 for j, b in enumerate(data))
entries = [(codecs.escape_decode(n)[0], d.encode()) for n, d in zip(pairs[::2], pairs[1::2])]
out = bytes([16]) + len(entries).to_bytes(4, "little") + bytes([0]) + enc(key)
for name, data in entries:
    out += enc(name).ljust(64, b" ") + bytes([32, 16]) + len(data).to_bytes(4, "little")
out += b"".join(enc(data) for _, data in entries)
open(path, "wb").write(out)
