# Shared by the independent readers of sealed containers (sealed_golden_check.py
# and sealed_v2_check.py), written from docs/sealed-format.md alone, with none
# of Velmora's code: PyNaCl (without it the reader is skipped, exit 77), the
# keys a password derives, and the index.
import hashlib
import struct
import sys

try:
    from nacl import bindings as sodium
except ImportError:
    print("PyNaCl (python3-nacl) is missing: skipped")
    sys.exit(77)


# The chunk key and the check key: Argon2id's master key, then its subkeys 1
# and 2 as crypto_kdf_derive_from_key makes them, context "VelmoraS".
def keys(secret, salt, ops, mem):
    master = sodium.crypto_pwhash_alg(32, secret, salt, ops, mem,
                                      sodium.crypto_pwhash_ALG_ARGON2ID13)
    return [hashlib.blake2b(b"", digest_size=32, key=master, salt=struct.pack("<Q", i) + bytes(8),
                            person=b"VelmoraS" + bytes(8)).digest() for i in (1, 2)]


# The index at the plaintext's start: its entries (kind, path, size, time's
# seconds and nanoseconds, attributes, mode) and the offset where it ends.
def index(plaintext):
    (count,), at, entries = struct.unpack_from("<Q", plaintext), 8, []
    for _ in range(count):
        kind, length = struct.unpack_from("<BH", plaintext, at)
        name = bytes(plaintext[at + 3:at + 3 + length]).decode()
        at += 3 + length
        entries.append((kind, name) + struct.unpack_from("<QqIBH", plaintext, at))
        at += 23
    return entries, at
