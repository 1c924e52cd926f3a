#!/usr/bin/python3
"""Reads a version 2 sealed container from docs/sealed-format.md alone, with
none of Velmora's code (Python's BLAKE2b, unicodedata, PyNaCl's Argon2id and
XChaCha20-Poly1305): checks the header and its copy, every chunk at its slot
with its padding, every parity slot, the index's copy, and that the index and
the files' bytes are exactly the folder given.
Usage: sealed_v2_check.py CONTAINER PASSWORD FOLDER. Exit 0 when all agree,
1 with a message otherwise, 77 (skipped) without PyNaCl."""
import hashlib
import os
import stat
import struct
import sys
import unicodedata

from sealed_reader_support import index, keys, sodium


def check(condition, message):
    if not condition:
        print(f"FAIL: {message}", file=sys.stderr)
        sys.exit(1)


path, password, folder = sys.argv[1], os.fsencode(sys.argv[2]).decode(), sys.argv[3]
data = open(path, "rb").read()
H = 140
check(len(data) >= H and data[:8] == b"\x89Velmora" and data[8] == 2, "not a version 2 container")
check(hashlib.blake2b(data[:108], digest_size=32).digest() == data[108:140], "header checksum")
kdf, ops, mem, salt, S, prefix, K, P, L, T = struct.unpack_from("<BIQ16sI16sBBQQ", data, 9)
check(kdf == 1 and 1 <= ops <= 64 and 8192 <= mem <= 1 << 30, "key derivation out of bounds")
check(4096 <= S <= 1 << 20 and 1 <= K <= 128 and 1 <= P <= 16 and (K + P) * (S + 16) <= 32 << 20,
      "geometry out of bounds")
check(8 <= L <= T <= 1 << 56, "lengths out of bounds")

# Geometry.
C, N = S + 16, max(1, -(-T // S))
G, I = -(-N // K), max(1, -(-L // S))
data_slot = lambda n: H + (n + max(n // K - 1, 0) * P) * C
parity_slot = lambda g, r: H + (min((g + 2) * K, N) + g * P + r) * C
tail = H + (N + G * P) * C
check(len(data) == tail + I * C + H, f"size {len(data)}, the header says {tail + I * C + H}")
check(data[tail + I * C:] == data[:H], "the header's copy differs")
for n in range(I):
    check(data[tail + n * C:tail + (n + 1) * C] == data[data_slot(n):data_slot(n) + C],
          f"the index's copy of chunk {n} differs")

# Slots: a chunk's sealed form (its length + 16) at the start, then zeros.
plain_length = lambda n: min((n + 1) * S, T) - n * S
for n in range(N):
    end = data_slot(n) + plain_length(n) + 16
    check(data[end:data_slot(n) + C].count(0) == data_slot(n) + C - end,
          f"chunk {n}: padding not zeros")

# Parity in GF(2^8), polynomial 0x11D: p_r = sum_j inv((k + r) ^ j) x d_j.
exp, log, x = [0] * 510, [0] * 256, 1
for i in range(255):
    exp[i] = exp[i + 255] = x
    log[x] = i
    x = (x << 1) ^ (0x11D if x & 0x80 else 0)
times = lambda c: bytes(exp[log[c] + log[v]] if v else 0 for v in range(256))
for g in range(G):
    first, k = g * K, min(K, N - g * K)
    slots = [data[data_slot(n):data_slot(n) + C] for n in range(first, first + k)]
    for r in range(P):
        total = 0
        for j, slot in enumerate(slots):
            total ^= int.from_bytes(slot.translate(times(exp[255 - log[(k + r) ^ j]])), "little")
        at = parity_slot(g, r)
        check(total.to_bytes(C, "little") == data[at:at + C], f"parity slot {r} of group {g}")

# Keys: the password as RFC 8265's OpaqueString (non-ASCII spaces to U+0020, NFC).
prepared = unicodedata.normalize("NFC", "".join(
    " " if unicodedata.category(c) == "Zs" else c for c in password))
check(prepared and not any(unicodedata.category(c) == "Cc" for c in prepared), "password refused")


def key_check(check_key):
    return hashlib.blake2b(data[:76], digest_size=32, key=check_key).digest() == data[76:108]


chunk_key, check_key = keys(prepared.encode(), salt, ops, mem)
if not key_check(check_key):
    raw = password.encode()
    check(raw == prepared.encode() or not key_check(keys(raw, salt, ops, mem)[1]),
          "the key derives from the password's bytes as typed, not from the prepared password")
    check(False, "key check: wrong password")

# Chunks: each opens at its slot, its number (and the last flag) in the nonce,
# the header's first 76 bytes as associated data.
plaintext = bytearray()
for n in range(N):
    at = data_slot(n)
    nonce = prefix + struct.pack("<Q", n | (1 << 63 if n == N - 1 else 0))
    try:
        plaintext += sodium.crypto_aead_xchacha20poly1305_ietf_decrypt(
            data[at:at + plain_length(n) + 16], data[:76], nonce, chunk_key)
    except Exception:
        check(False, f"chunk {n} (at {at}) does not open")

# The index, then the files' bytes, against the folder.
try:
    entries, at = index(plaintext)
except (struct.error, UnicodeDecodeError) as error:
    check(False, f"index unreadable: {error}")
check(at == L, f"the index ends at {at}, the header says {L}")
check(entries and entries[0][:3] == (1, "", 0), "entry 0 is not the folder itself")
check(len({entry[1] for entry in entries}) == len(entries), "a path twice in the index")


def attributes(where, kind, mode):  # as docs/format.md says Linux gives them
    try:
        text = os.getxattr(where, "user.DOSATTRIB", follow_symlinks=False).rstrip(b"\0")
        if text[:2] != b"0x":
            raise ValueError
        stored = int(text[2:], 16) & 0x26
    except (OSError, ValueError):
        stored = (0x20 if kind == 2 else 0) | (2 if os.path.basename(where)[:1] == "." else 0)
    return (stored | (0x10 if kind == 1 else 0) | (0 if mode & 0o200 else 1)) or 0x80


folders = set()
for entry in entries:
    name = entry[1]
    check(not name or name.rpartition("/")[0] in folders, f"«{name}»: no folder before it")
    where = os.path.normpath(os.path.join(folder, name))
    info = os.lstat(where)
    kind = 1 if stat.S_ISDIR(info.st_mode) else 2 if stat.S_ISREG(info.st_mode) else 0
    mode = stat.S_IMODE(info.st_mode)
    on_disk = (kind, name, info.st_size if kind == 2 else 0, *divmod(info.st_mtime_ns, 10**9),
               attributes(where, kind, mode), mode)
    check(entry == on_disk, f"«{name}»: the index says {entry}, the disk {on_disk}")
    if kind == 1:
        folders.add(name)
    else:
        check(plaintext[at:at + entry[2]] == open(where, "rb").read(), f"«{name}»: bytes differ")
        at += entry[2]
check(at == T, f"the files end at {at}, the header says {T}")
on_disk = {os.path.relpath(os.path.join(top, name), folder)
           for top, subfolders, files in os.walk(folder) for name in subfolders + files}
missing = on_disk - {name for _, name, *_ in entries}
check(not missing, f"not in the index: {sorted(missing)}")
print(f"version 2 read independently: {len(entries)} entries, {T - L} data bytes, "
      f"{N} chunks in {G} groups, parity and copies agree")
