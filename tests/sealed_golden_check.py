#!/usr/bin/python3
"""Reads tests/data/sealed-golden.zol without Velmora's code: Python's BLAKE2b
and PyNaCl's Argon2id and secretstream, following docs/sealed-format.md, must
find the tree that tests/data/sealed-golden.md describes. Exit 77 (skipped)
without PyNaCl."""
import hashlib
import struct
import sys

from sealed_reader_support import index, keys, sodium

data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89Velmora" and data[8] == 1 and data[9] == 1
assert hashlib.blake2b(data[:98], digest_size=32).digest() == data[98:130], "checksum"
opslimit, memlimit = struct.unpack_from("<IQ", data, 10)
salt, (chunk,), stream_header = data[22:38], struct.unpack_from("<I", data, 38), data[42:66]

chunk_key, check_key = keys("contraseña".encode(), salt, opslimit, memlimit)
assert hashlib.blake2b(data[:66], digest_size=32, key=check_key).digest() == data[66:98], \
    "key check"

state = sodium.crypto_secretstream_xchacha20poly1305_state()
sodium.crypto_secretstream_xchacha20poly1305_init_pull(state, stream_header, chunk_key)
offset, plaintext, tag = 130, b"", 0
while tag != sodium.crypto_secretstream_xchacha20poly1305_TAG_FINAL:
    message = data[offset:offset + chunk + 17]
    piece, tag = sodium.crypto_secretstream_xchacha20poly1305_pull(
        state, message, data[:130] if offset == 130 else None)
    offset += len(message)
    plaintext += piece
assert offset == len(data), "bytes after the final message"

entries, at = index(plaintext)
assert entries == [
    (1, "", 0, 1700000000, 0, 0x10, 0o755),
    (1, "Łódź", 0, 1700000060, 500, 0x10, 0o700),
    (2, "Łódź/日本.txt", 12, 1700000123, 456789012, 0x20, 0o644),
    (2, "Notas.TXT", 4500, -86400, 999999999, 0x21, 0o600),
], entries
assert plaintext[at:at + 12] == b"Hola, mundo\n"
assert plaintext[at + 12:] == bytes((7 * i + 3) % 256 for i in range(4500))
print("sealed-golden.zol read independently: 4 entries, 4512 data bytes")
