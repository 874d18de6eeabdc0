#!/usr/bin/env python3
"""Draws the program's pictures: the welcome page's tall bitmap, the header
bitmap of the pages with a header band, and the application icon.

ImageMagick renders each picture at its final size into a PPM; this script
then writes the Windows formats itself, so that the bit depths are exactly
what the dialogs expect: 8 bits per pixel for both bitmaps, and four icon
images (32x32 and 16x16, each in 4 and 8 bits per pixel).

    python3 draw.py [OUTPUT_FOLDER]      (default: this script's folder)
"""
import os
import struct
import subprocess
import sys

def printer(paper_top=3, line_step=4, line_height=1.5):
    """The receipt printer, drawn in a 64 by 64 box: body, cover with the
    paper slot, a receipt coming out of it (its top edge torn at paper_top,
    printed lines every line_step), a status light and a feed button."""
    teeth = " ".join("%d,%g" % (17 + 3 * i, paper_top + (3 if i % 2 == 0 else 0)) for i in range(11))
    lines, y, widths = [], paper_top + 7, [22, 17, 20, 14]
    while y + line_height < 26:
        lines.append("rectangle 21,%g %d,%g" % (y, 21 + widths[len(lines) % 4], y + line_height))
        y += line_step
    return (
        "fill #2a2a2a stroke none roundrectangle 6,40 58,60 5,5 "
        "fill #d9dde3 stroke #5a6270 stroke-width 1.5 roundrectangle 4,30 60,58 5,5 "
        "fill #c2c8d0 stroke #5a6270 stroke-width 1.5 roundrectangle 8,22 56,36 4,4 "
        "fill #30343a stroke none rectangle 14,27 50,30 "
        "fill #ffffff stroke #8a9099 stroke-width 1 polygon 17,28 " + teeth + " 47,28 "
        "fill #6b7380 stroke none " + " ".join(lines) + " "
        "fill #2fbf4a stroke #1d7a2e stroke-width 1 circle 50,47 52.5,47 "
        "fill #8a929e stroke none roundrectangle 12,45 30,50 2,2 ")


# Key colour behind the icon, turned into the icon's transparent mask.
KEY = (255, 0, 255)

# The 16 colours of the standard 4-bit palette.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def render(width, height, background, mvg, antialias=True):
    """Rows of (r, g, b) pixels, top row first."""
    args = ["convert", "-size", "%dx%d" % (width, height), background]
    if not antialias:
        args.append("+antialias")
    args += ["-draw", mvg, "-dither", "None", "-colors", "224",
             "-depth", "8", "ppm:-"]
    data = subprocess.run(args, check=True, stdout=subprocess.PIPE).stdout
    # P6 header: magic, width, height, maximum value, one whitespace byte.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pixels = data[pos + 1:]
    assert fields[0] == b"P6" and int(fields[1]) == width and int(fields[2]) == height
    return [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def palette_of(rows):
    colours = sorted({p for row in rows for p in row})
    assert len(colours) <= 256, len(colours)
    return colours + [(0, 0, 0)] * (256 - len(colours))


def dib(rows, bits, palette, mask=None):
    """BITMAPINFOHEADER, palette and bottom-up pixel rows; an icon image
    (mask given) has the doubled height and the AND mask after the pixels."""
    height, width = len(rows), len(rows[0])
    index = {c: i for i, c in reversed(list(enumerate(palette)))}
    pixels = b""
    for row in reversed(rows):
        line = [index.get(p) if p in index else nearest(p, palette) for p in row]
        if bits == 8:
            packed = bytes(line)
        else:
            packed = bytes((line[i] << 4) | (line[i + 1] if i + 1 < width else 0)
                           for i in range(0, width, 2))
        pixels += packed + b"\0" * (-len(packed) % 4)
    and_mask = b""
    if mask is not None:
        for row in reversed(mask):
            bits_row = bytearray((width + 7) // 8)
            for x, transparent in enumerate(row):
                if transparent:
                    bits_row[x // 8] |= 0x80 >> x
            and_mask += bytes(bits_row) + b"\0" * (-len(bits_row) % 4)
    shown_height = height * 2 if mask is not None else height
    header = struct.pack("<IiiHHIIiiII", 40, width, shown_height, 1, bits, 0,
                         len(pixels) + len(and_mask), 2835, 2835, len(palette), 0)
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + pixels + and_mask


def rle8(body):
    """The 8-bit DIB `body` (header, 256 colours, bottom-up rows) run-length
    encoded (BI_RLE8): the same pixels in a fraction of the bytes."""
    width, height = struct.unpack_from("<ii", body, 4)
    stride = (width + 3) & ~3
    start = 40 + 256 * 4
    out = bytearray()
    for y in range(height):
        row = body[start + y * stride:start + y * stride + width]
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 255 and row[x + run] == row[x]:
                run += 1
            if run >= 3 or width - x < 3:
                out += bytes((run, row[x]))
                x += run
                continue
            # Absolute mode: the bytes up to the next run of three.
            end = x
            while end < width and end - x < 255 and not (
                    end + 2 < width and row[end] == row[end + 1] == row[end + 2]):
                end += 1
            count = end - x
            if count < 3:
                for i in range(count):
                    out += bytes((1, row[x + i]))
            else:
                out += bytes((0, count)) + row[x:end] + (b"\0" if count % 2 else b"")
            x = end
        out += b"\0\0"   # end of line
    out += b"\0\1"       # end of bitmap
    header = bytearray(body[:40])
    struct.pack_into("<II", header, 16, 1, len(out))   # BI_RLE8, its size
    return bytes(header) + body[40:start] + bytes(out)


def write_bmp(path, rows):
    body = rle8(dib(rows, 8, palette_of(rows)))
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 40 + 256 * 4) + body)


def welcome():
    """164 x 314: a blue evening sky with soft light, the printer with a long
    receipt, resting on a lighter floor."""
    mvg = (
        "fill rgba(255,255,255,0.07) circle 30,40 110,40 circle 150,120 210,120 "
        "fill rgba(255,255,255,0.10) circle 120,30 150,30 "
        "fill rgba(255,255,255,0.12) rectangle 0,262 164,314 "
        "fill rgba(0,0,0,0.30) ellipse 82,262 66,7 0,360 "
        # A long receipt: its torn edge well above the printer.
        "push graphic-context translate 10,118 scale 2.25,2.25 " + printer(-26, 3.5, 1) +
        " pop graphic-context "
    )
    return render(164, 314, "gradient:#0d3b73-#5d9ad6", mvg)


def header():
    """53 x 53: the printer on the white header band."""
    mvg = "push graphic-context translate 0.5,1 scale 0.81,0.81 " + printer() + " pop graphic-context"
    return render(53, 53, "xc:white", mvg)


def icon_image(size, bits):
    # Fewer, thicker lines: at 16 or 32 pixels each line is a row of pixels.
    drawing = printer(3, 8, 3) if size == 16 else printer(4, 6, 2)
    mvg = "push graphic-context scale %g,%g %s pop graphic-context" % (size / 64.0, size / 64.0, drawing)
    # Without antialiasing the edges stay crisp against the transparent key.
    rows = render(size, size, "xc:#ff00ff", mvg, antialias=False)
    mask = [[p == KEY for p in row] for row in rows]
    rows = [[(0, 0, 0) if p == KEY else p for p in row] for row in rows]
    palette = VGA16 if bits == 4 else palette_of(rows)
    return dib(rows, bits, palette, mask)


def write_ico(path):
    images = [(32, 4), (16, 4), (32, 8), (16, 8)]
    blobs = [icon_image(size, bits) for size, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), blob in zip(images, blobs):
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(folder, "welcome.bmp"), welcome())
    write_bmp(os.path.join(folder, "header.bmp"), header())
    write_ico(os.path.join(folder, "setup.ico"))


if __name__ == "__main__":
    main()
