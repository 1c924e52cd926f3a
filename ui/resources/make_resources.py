#!/usr/bin/python3
"""Draws every picture, icon and cursor of the three windows.

Needs Pillow (Debian: python3-pil) and the DejaVu fonts. Run it in this
folder to remake the files; they are committed and compiled into the program
through resources.qrc.
"""
import struct

from PIL import Image, ImageDraw, ImageFont

BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def lettering(text, size, width, height, slant):
    """Orange-to-yellow letters with a darker extruded side, slanted, on white."""
    font = ImageFont.truetype(BOLD, size)
    mask = Image.new("L", (width, height), 0)
    draw = ImageDraw.Draw(mask)
    box = draw.textbbox((0, 0), text, font=font)
    x = (width - (box[2] - box[0])) // 2 - box[0] - 4
    y = (height - (box[3] - box[1])) // 2 - box[1] - 3
    draw.text((x, y), text, font=font, fill=255)
    picture = Image.new("RGB", (width, height), (255, 255, 255))
    for depth in range(6, 0, -1):  # the extrusion, darkest at the back
        shade = (150 - depth * 10, 60 - depth * 5, 0)
        picture.paste(shade, (depth, depth), mask)
    gradient = Image.new("RGB", (width, height))
    for row in range(height):
        t = row / max(1, height - 1)
        colour = (255, int(120 + 135 * t), int(20 * t))
        ImageDraw.Draw(gradient).line([(0, row), (width, row)], fill=colour)
    picture.paste(gradient, (0, 0), mask)
    return picture.transform(picture.size, Image.AFFINE, (1, slant, -slant * height / 2, 0, 1, 0),
                             resample=Image.BICUBIC, fillcolor=(255, 255, 255))


def logo():
    picture = lettering("Velmora 2.0", 25, 201, 94, 0.3)
    picture.convert("P", palette=Image.ADAPTIVE, colors=256).save("logo.gif")


def vertical_title():
    picture = lettering("Velmora", 62, 296, 159, 0.2).rotate(90, expand=True)
    picture.save("title.bmp")  # 24 bits per pixel, uncompressed


def context_menu():
    picture = Image.new("RGB", (281, 219), (0, 128, 128))
    draw = ImageDraw.Draw(picture)
    font = ImageFont.truetype(SANS, 11)
    # The folder the menu belongs to.
    draw.rectangle([8, 14, 44, 42], fill=(240, 200, 60), outline=(120, 90, 0))
    draw.rectangle([8, 8, 24, 14], fill=(240, 200, 60), outline=(120, 90, 0))
    draw.text((6, 46), "Fotos", font=font, fill=(255, 255, 255))
    # The right-click menu.
    items = ["Abrir", "Explorar", "Buscar...", "Encriptar...", "-", "Enviar a", "-",
             "Cortar", "Copiar", "-", "Eliminar", "Propiedades"]
    left, top, width = 40, 30, 130
    height = sum(4 if item == "-" else 16 for item in items) + 6
    draw.rectangle([left + 3, top + 3, left + width + 3, top + height + 3], fill=(40, 40, 40))
    draw.rectangle([left, top, left + width, top + height], fill=(212, 208, 200),
                   outline=(128, 128, 128))
    y = top + 3
    for item in items:
        if item == "-":
            draw.line([left + 3, y + 2, left + width - 3, y + 2], fill=(128, 128, 128))
            y += 4
            continue
        draw.text((left + 18, y + 1), item, font=font, fill=(0, 0, 0))
        if item == "Encriptar...":
            draw.ellipse([left + 6, y - 5, left + 102, y + 20], outline=(220, 0, 0), width=3)
        y += 16
    picture.convert("P", palette=Image.ADAPTIVE, colors=256).save("menu.gif")


def palette_indices(picture, colours):
    """Image as palette indices, each pixel the nearest of the colours."""
    def nearest(rgb):
        return min(range(len(colours)),
                   key=lambda i: sum((a - b) ** 2 for a, b in zip(rgb, colours[i])))
    cache = {}
    rows = []
    for y in range(picture.height):
        row = []
        for x in range(picture.width):
            rgb = picture.getpixel((x, y))[:3]
            if rgb not in cache:
                cache[rgb] = nearest(rgb)
            row.append(cache[rgb])
        rows.append(row)
    return rows


def dib(picture, bits, colours, transparent):
    """A BITMAPINFOHEADER image with its palette, pixels and AND mask, as icons hold them."""
    size = picture.width
    indices = palette_indices(picture.convert("RGB"), colours)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    table += b"\0" * (4 * (2 ** bits) - len(table))

    def packed_row(values, depth):
        bits_string = "".join(format(v, "0%db" % depth) for v in values)
        data = int(bits_string, 2).to_bytes(len(bits_string) // 8, "big") if bits_string else b""
        return data + b"\0" * ((4 - len(data) % 4) % 4)

    pixels = b"".join(packed_row(row, bits) for row in reversed(indices))
    mask = b"".join(packed_row([1 if transparent(x, size - 1 - y) else 0 for x in range(size)], 1)
                    for y in range(size))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(pixels) + len(mask), 0, 0, 2 ** bits, 0)
    return header + table + pixels + mask


def icon_file(entries, kind=1):
    """entries: (size, bits, image bytes, hot spot or None); kind 1 icon, 2 cursor."""
    directory = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    records, blobs = b"", b""
    for size, bits, data, hot in entries:
        colours = 0 if bits >= 8 else 2 ** bits
        first, second = hot if hot else (1, bits)
        records += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, first, second,
                               len(data), offset)
        blobs += data
        offset += len(data)
    return directory + records + blobs


def web_palette():
    steps = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in steps for g in steps for b in steps]
    colours += [(v, v, v) for v in range(8, 248, 6)][:256 - len(colours)]
    return colours


def drawn(size, painter):
    picture = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    painter(ImageDraw.Draw(picture), size / 32.0)
    return picture


def paint_padlock(draw, s):
    draw.arc([9 * s, 3 * s, 23 * s, 19 * s], 180, 360, fill=(150, 155, 165), width=int(3 * s))
    draw.rectangle([9 * s, 11 * s, 11 * s, 15 * s], fill=(150, 155, 165))
    draw.rectangle([21 * s, 11 * s, 23 * s, 15 * s], fill=(150, 155, 165))
    draw.rectangle([5 * s, 14 * s, 27 * s, 30 * s], fill=(185, 190, 200), outline=(90, 95, 105))
    draw.rectangle([6 * s, 20 * s, 26 * s, 24 * s], fill=(20, 70, 200))
    draw.rectangle([15 * s, 16 * s, 17 * s, 19 * s], fill=(40, 40, 50))
    draw.rectangle([15 * s, 25 * s, 17 * s, 28 * s], fill=(40, 40, 50))


def paint_question(draw, s):
    draw.rectangle([0, 0, 31 * s, 31 * s], fill=(0, 0, 255))
    draw.text((9 * s, 1 * s), "?", font=ImageFont.truetype(BOLD, int(28 * s)), fill=(255, 255, 0))


def paint_smile(draw, s):
    draw.ellipse([1 * s, 1 * s, 30 * s, 30 * s], fill=(255, 140, 0), outline=(150, 70, 0))
    draw.ellipse([9 * s, 9 * s, 12 * s, 13 * s], fill=(0, 0, 0))
    draw.ellipse([19 * s, 9 * s, 22 * s, 13 * s], fill=(0, 0, 0))
    draw.chord([7 * s, 12 * s, 24 * s, 26 * s], 0, 180, fill=(120, 0, 0))
    draw.rectangle([13 * s, 19 * s, 15.5 * s, 22 * s], fill=(255, 255, 255))  # two front teeth
    draw.rectangle([16 * s, 19 * s, 18.5 * s, 22 * s], fill=(255, 255, 255))


def paint_hand(draw, s, cuff, outline):
    # Index finger up from the hot spot, the other fingers folded, then the cuff.
    draw.rectangle([11, 1, 14, 14], fill=(255, 255, 255), outline=outline)
    draw.rectangle([14, 8, 24, 22], fill=(255, 255, 255), outline=outline)
    draw.rectangle([8, 12, 14, 22], fill=(255, 255, 255), outline=outline)
    draw.line([17, 9, 17, 14], fill=outline)
    draw.line([20, 9, 20, 14], fill=outline)
    draw.rectangle([9, 22, 24, 29], fill=cuff, outline=outline)


def icons():
    palette = web_palette()
    opaque = lambda picture: (lambda x, y: picture.getpixel((x, y))[3] < 128)
    padlock = drawn(32, paint_padlock)
    with open("padlock.ico", "wb") as out:
        out.write(icon_file([(32, 8, dib(padlock, 8, palette, opaque(padlock)), None)]))
    question = drawn(32, paint_question)
    with open("question.ico", "wb") as out:
        out.write(icon_file([(32, 4, dib(question, 4, VGA16, opaque(question)), None)]))
    entries = []
    for size, bits in [(16, 4), (16, 8), (32, 4), (32, 8), (48, 8)]:
        face = drawn(size, paint_smile)
        entries.append((size, bits, dib(face, bits, VGA16 if bits == 4 else palette, opaque(face)),
                        None))
    with open("smile.ico", "wb") as out:
        out.write(icon_file(entries))


def cursors():
    colour = drawn(32, lambda d, s: paint_hand(d, s, (0, 0, 255), (0, 0, 0)))
    with open("hand_color.cur", "wb") as out:
        out.write(icon_file([(32, 4, dib(colour, 4, VGA16, lambda x, y: colour.getpixel((x, y))[3] < 128),
                              (12, 1))], kind=2))
    # The monochrome hand points at its top-left corner, the hot spot (0, 0).
    mono = drawn(32, lambda d, s: paint_hand(d, s, (255, 255, 255), (0, 0, 0))).transform(
        (32, 32), Image.AFFINE, (1, 0, 11, 0, 1, 1))
    with open("hand_mono.cur", "wb") as out:
        out.write(icon_file([(32, 1, dib(mono, 1, [(0, 0, 0), (255, 255, 255)],
                                         lambda x, y: mono.getpixel((x, y))[3] < 128), (0, 0))],
                            kind=2))


if __name__ == "__main__":
    logo()
    vertical_title()
    context_menu()
    icons()
    cursors()
