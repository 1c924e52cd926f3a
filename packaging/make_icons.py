#!/usr/bin/env python3
"""Draws the container icon (the padlock of secreto.ico), which is also the
sealed folder verb's, and the legacy folder verb's icon (the same padlock
open, its band amber: that kind only hides the contents) as PNG files in the
sizes of the hicolor icon theme, for the system-wide installation.

Usage: make_icons.py HICOLOR_FOLDER
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing is left in the checkout
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "shell", "resources"))
from make_secreto_ico import padlock, png  # noqa: E402

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
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


ICONS = (("mimetypes", "application-x-velmora-zol", padlock),
         ("actions", "velmora-legacy", open_padlock))

if __name__ == "__main__":
    hicolor = sys.argv[1]
    for context, name, draw in ICONS:
        for size in SIZES:
            folder = os.path.join(hicolor, f"{size}x{size}", context)
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, name + ".png"), "wb") as out:
                out.write(png(draw(size)))
