#!/usr/bin/env python3
"""Writes the bank directory shipped with Kolvane (resources/etabid.kvb).

Each bank gets a logo of our own: its initials in a small pixel font drawn
here, white on a plain rounded plate of a quiet colour, the corners left
transparent through the mask. No real logo, shape or colour is imitated.

File layout: "KolvaKVB", a signed 32-bit little-endian count, then for each
bank 40 bytes of name and 128 of web address (Windows-1252, NUL-terminated,
zero-filled), a 96 x 48 pixel block (24-bit blue-green-red, bottom row first,
288 bytes a row) and a mask block (1 bit a pixel, bottom row first, 12 bytes a
row, leftmost pixel in the high bit, 1 = transparent).

Usage:
  make_bank_directory.py [--output FILE]     write the directory
  make_bank_directory.py --check             fail when the committed file differs
  make_bank_directory.py --preview DIR [--input FILE]
                                             draw each logo of a directory file on
                                             a grey dialog background as PPM images
"""

import argparse
import pathlib
import struct
import sys

WIDTH, HEIGHT = 96, 48
PIXEL_ROW = WIDTH * 3
MASK_ROW = WIDTH // 8
MAGIC = b"KolvaKVB"
RECORD_SIZE = 40 + 128 + PIXEL_ROW * HEIGHT + MASK_ROW * HEIGHT

# (name, web address, initials, plate colour). The colours are muted greys and
# slates chosen only so that neighbouring rows of the list differ.
BANKS = [
    ("Crédit Agricole", "https://www.credit-agricole.fr", "CA", (86, 98, 112)),
    ("BNP Paribas", "https://mabanque.bnpparibas", "BNP", (104, 96, 88)),
    ("Société Générale", "https://particuliers.sg.fr", "SG", (78, 90, 90)),
    ("La Banque Postale", "https://www.labanquepostale.fr", "LBP", (96, 92, 110)),
    ("Caisse d'Epargne", "https://www.caisse-epargne.fr", "CE", (92, 104, 96)),
    ("Banque Populaire", "https://www.banquepopulaire.fr", "BP", (110, 100, 96)),
    ("LCL", "https://www.lcl.fr", "LCL", (84, 84, 96)),
    ("Crédit Mutuel", "https://www.creditmutuel.fr", "CM", (100, 106, 112)),
    ("CIC", "https://www.cic.fr", "CIC", (90, 96, 84)),
    ("Boursorama", "https://www.boursorama.com", "BB", (106, 94, 104)),
]

# A 5 x 7 font of the capitals we need, one string per row, '#' = ink.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
}
GLYPH_W, GLYPH_H = 5, 7
SCALE = 3  # each font dot is 3 x 3 logo pixels
GAP = 1    # font dots between letters

CORNER_RADIUS = 9
INK = (255, 255, 255)


def inside_plate(x, y):
    """True when (x, y) lies on the rounded plate that fills the logo."""
    r = CORNER_RADIUS
    cx = min(max(x, r - 0.5), WIDTH - r - 0.5)
    cy = min(max(y, r - 0.5), HEIGHT - r - 0.5)
    return (x - cx) ** 2 + (y - cy) ** 2 <= (r - 0.25) ** 2


def shade(colour, factor):
    return tuple(max(0, min(255, round(c * factor))) for c in colour)


def draw_logo(initials, colour):
    """Returns (rows of RGB tuples, rows of opacity flags), top row first."""
    pixels = [[(0, 0, 0)] * WIDTH for _ in range(HEIGHT)]
    opaque = [[False] * WIDTH for _ in range(HEIGHT)]
    border = shade(colour, 0.7)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if not inside_plate(x, y):
                continue
            opaque[y][x] = True
            edge = not all(inside_plate(x + dx, y + dy)
                           for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))
            # A faint light from the top makes the plate read as a plate.
            pixels[y][x] = border if edge else shade(colour, 1.12 - 0.18 * y / HEIGHT)

    dots = (len(initials) * GLYPH_W + (len(initials) - 1) * GAP) * SCALE
    left = (WIDTH - dots) // 2
    top = (HEIGHT - GLYPH_H * SCALE) // 2
    for index, letter in enumerate(initials):
        glyph = FONT[letter]
        x0 = left + index * (GLYPH_W + GAP) * SCALE
        for gy, row in enumerate(glyph):
            for gx, dot in enumerate(row):
                if dot != "#":
                    continue
                for dy in range(SCALE):
                    for dx in range(SCALE):
                        pixels[top + gy * SCALE + dy][x0 + gx * SCALE + dx] = INK
    return pixels, opaque


def blocks(pixels, opaque):
    """The pixel and mask blocks, bottom row first; black where transparent."""
    pixel_block = bytearray()
    mask_block = bytearray()
    for y in reversed(range(HEIGHT)):
        for x in range(WIDTH):
            r, g, b = pixels[y][x] if opaque[y][x] else (0, 0, 0)
            pixel_block += bytes((b, g, r))
        for byte in range(MASK_ROW):
            value = 0
            for bit in range(8):
                if not opaque[y][byte * 8 + bit]:
                    value |= 0x80 >> bit
            mask_block.append(value)
    return bytes(pixel_block), bytes(mask_block)


def text_field(text, size):
    data = text.encode("cp1252")
    if len(data) >= size:
        raise ValueError(f"{text!r} does not fit in {size} bytes")
    return data + bytes(size - len(data))


def directory_image():
    out = bytearray(MAGIC + struct.pack("<i", len(BANKS)))
    for name, web, initials, colour in BANKS:
        pixel_block, mask_block = blocks(*draw_logo(initials, colour))
        out += text_field(name, 40) + text_field(web, 128) + pixel_block + mask_block
    return bytes(out)


def read_directory(data):
    """The (name, pixel block, mask block) of each record of a directory file."""
    if data[:8] != MAGIC:
        raise ValueError("not a bank directory")
    (count,) = struct.unpack_from("<i", data, 8)
    if count < 0 or len(data) != 12 + count * RECORD_SIZE:
        raise ValueError("the record count does not match the file size")
    records = []
    for i in range(count):
        record = data[12 + i * RECORD_SIZE:12 + (i + 1) * RECORD_SIZE]
        name = record[:40].split(b"\0", 1)[0].decode("cp1252")
        pixel_block = record[168:168 + PIXEL_ROW * HEIGHT]
        mask_block = record[168 + PIXEL_ROW * HEIGHT:]
        records.append((name, pixel_block, mask_block))
    return records


def write_previews(data, folder):
    """Draws each logo as the program does (AND the mask, OR the pixels) over
    the grey of a dialog, one PPM per bank."""
    folder.mkdir(parents=True, exist_ok=True)
    background = (240, 240, 240)
    for index, (name, pixel_block, mask_block) in enumerate(read_directory(data)):
        out = bytearray(b"P6 %d %d 255\n" % (WIDTH, HEIGHT))
        for y in range(HEIGHT):
            row = HEIGHT - 1 - y
            for x in range(WIDTH):
                transparent = mask_block[row * MASK_ROW + x // 8] >> (7 - x % 8) & 1
                b, g, r = pixel_block[row * PIXEL_ROW + 3 * x:row * PIXEL_ROW + 3 * x + 3]
                base = background if transparent else (0, 0, 0)
                out += bytes((base[0] | r, base[1] | g, base[2] | b))
        path = folder / f"logo{index}.ppm"
        path.write_bytes(bytes(out))
        print(f"{path}: {name}")


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    default = root / "resources" / "etabid.kvb"
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=pathlib.Path, default=default)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--preview", type=pathlib.Path)
    parser.add_argument("--input", type=pathlib.Path, default=default)
    args = parser.parse_args()

    if args.preview:
        write_previews(args.input.read_bytes(), args.preview)
        return 0
    image = directory_image()
    if args.check:
        if not args.output.exists() or args.output.read_bytes() != image:
            print(f"{args.output} is out of date; run {pathlib.Path(__file__).name}",
                  file=sys.stderr)
            return 1
        return 0
    args.output.parent.mkdir(parents=True, exist_ok=True)
    args.output.write_bytes(image)
    print(f"{args.output}: {len(BANKS)} banks, {len(image)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
