#!/usr/bin/python3
"""flip_byte.py FILE OFFSET...: inverts every bit of the byte at each offset,
so the file is surely damaged there (writing a fixed byte leaves random data
unchanged once in 256 runs)."""
import sys

with open(sys.argv[1], "r+b") as damaged:
    for at in map(int, sys.argv[2:]):
        damaged.seek(at)
        byte = damaged.read(1)[0]
        damaged.seek(at)
        damaged.write(bytes([byte ^ 0xFF]))
