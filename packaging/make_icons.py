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
from make_secreto_ico import open_padlock, padlock, png  # noqa: E402

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
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
