#!/usr/bin/env python3
"""Draws secreto.ico, the icon of ".zol" containers and of the sealed folder
verb: a closed steel padlock with a blue band, as PNG images of 32 and 48
pixels in one Windows icon file; and velmora-legacy.ico, the legacy folder
verb's: the same padlock open, its band amber (that kind only hides the
contents).

Run it from this folder to remake the icons: python3 make_secreto_ico.py
"""
import struct
import zlib


def padlock(size):
    """RGBA rows of a padlock drawn on a transparent square."""
    s = size / 48.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s  # in 48-pixel units
            pixel = (0, 0, 0, 0)
            # Shackle: a ring around (24, 20), radii 8..13, upper half and legs.
            dx, dy = fx - 24, fy - 20
            r = (dx * dx + dy * dy) ** 0.5
            if 8 <= r <= 13 and fy <= 20:
                pixel = (150, 155, 165, 255)
            if 20 < fy <= 24 and 8 <= abs(dx) <= 13:
                pixel = (150, 155, 165, 255)
            # Body: a rounded steel block from y 22 to 44.
            if 8 <= fx <= 40 and 22 <= fy <= 44:
                shade = int(200 - (fy - 22) * 3)
                pixel = (shade, shade + 4, shade + 12, 255)
                if 30 <= fy <= 35:  # the blue band
                    pixel = (20, 70, 200, 255)
                if 26 <= fy <= 40 and abs(fx - 24) <= 1.6 and not 30 <= fy <= 35:
                    pixel = (40, 40, 50, 255)  # keyhole
                if fx < 9 or fx > 39 or fy > 43:
                    pixel = (90, 95, 105, 255)  # edge
            row.append(pixel)
        rows.append(row)
    return rows


BAND = (20, 70, 200, 255)
SHACKLE = (150, 155, 165, 255)
AMBER = (230, 150, 20, 255)


def open_padlock(size):
    """The padlock with its shackle lifted, the right leg out of the body,
    and the band amber."""
    s = size / 48.0
    rows = padlock(size)
    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            if 8 <= fx <= 40 and 22 <= fy <= 44:
                rows[y][x] = AMBER if rows[y][x] == BAND else rows[y][x]
                continue
            dx, dy = fx - 24, fy - 15  # the ring 5 units higher
            r = (dx * dx + dy * dy) ** 0.5
            ring = 8 <= r <= 13 and fy <= 15
            leg = 15 < fy < 22 and 8 <= abs(dx) <= 13 and (dx < 0 or fy <= 17)
            rows[y][x] = SHACKLE if ring or leg else (0, 0, 0, 0)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    return directory + entries + blobs


if __name__ == "__main__":
    for name, draw in (("secreto.ico", padlock), ("velmora-legacy.ico", open_padlock)):
        with open(name, "wb") as out:
            out.write(ico([(size, png(draw(size))) for size in (32, 48)]))
