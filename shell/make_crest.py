#!/usr/bin/env python3
"""Draws the program's logo: a gold-rimmed shield with the letters PK on the
main window's dark blue, and the name PARESKIT below it. Writes an 8-bit,
bottom-up device-independent bitmap with a 40-byte information header and a
256-entry colour table. The drawing is deterministic: the same bytes every run.

Usage: make_crest.py OUTPUT.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 320, 200

# 5 x 7 glyphs, one string per row, '#' = ink.
GLYPHS = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
}

BACKGROUND = 0  # the window's own dark blue
GOLD = 1  # 1..32: gold, dark to light
FIELD = 40  # 40..103: the shield's blue-green field, top to bottom
WHITE = 200
SHADOW = 201


def palette():
    colours = [(0, 0, 0)] * 256
    colours[BACKGROUND] = (0, 0, 127)
    for i in range(32):
        colours[GOLD + i] = (150 + i * 3, 110 + i * 3, 20 + i * 2)
    for i in range(64):
        colours[FIELD + i] = (10, 70 + i, 140 - i)
    colours[WHITE] = (250, 250, 245)
    colours[SHADOW] = (0, 0, 60)
    return colours


def shield_half_width(y, top, bottom, half):
    """Half the shield's width on row y: straight sides, then a curved point."""
    shoulder = top + (bottom - top) * 55 // 100
    if y > bottom:
        return -1
    if y < shoulder:
        return half
    rest = (bottom - y) / (bottom - shoulder)
    return int(half * (1 - (1 - rest) ** 2) ** 0.5)


def draw():
    pixels = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]  # top row first
    top, bottom, centre, half, rim = 10, 166, WIDTH // 2, 72, 5
    for y in range(top, bottom + 1):
        outer = shield_half_width(y, top, bottom, half)
        inner = shield_half_width(y, top + rim, bottom - rim, half - rim)
        for x in range(centre - outer, centre + outer + 1):
            if y < top + rim or abs(x - centre) > inner or y > bottom - rim:
                pixels[y][x] = GOLD + min(31, (y - top) * 32 // (bottom - top + 1))
            else:
                pixels[y][x] = FIELD + (y - top) * 64 // (bottom - top + 1)
        # A gold band falling from the upper left to the lower right.
        for x in range(centre - inner, centre + inner + 1):
            if 0 <= (x - centre) - (y - 88) + 10 < 14 and top + rim <= y <= bottom - rim:
                pixels[y][x] = GOLD + 24
    draw_text(pixels, "PK", centre, 48, 7, WHITE)
    draw_text(pixels, "PARESKIT", centre, 176, 2, GOLD + 31)
    return pixels


def draw_text(pixels, text, centre, top, scale, colour):
    advance = 6 * scale
    left = centre - (len(text) * advance - scale) // 2
    for n, letter in enumerate(text):
        for row, line in enumerate(GLYPHS[letter]):
            for column, mark in enumerate(line):
                if mark != "#":
                    continue
                x0, y0 = left + n * advance + column * scale, top + row * scale
                for dy in range(scale):
                    for dx in range(scale):
                        # A one-pixel shadow down and right of each stroke.
                        if pixels[y0 + dy + 1][x0 + dx + 1] != colour:
                            pixels[y0 + dy + 1][x0 + dx + 1] = SHADOW
                        pixels[y0 + dy][x0 + dx] = colour
    return pixels


def bitmap_bytes(pixels):
    row_bytes = (WIDTH + 3) // 4 * 4
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    rows = b"".join(
        bytes(pixels[y]) + b"\0" * (row_bytes - WIDTH) for y in range(HEIGHT - 1, -1, -1))
    off_bits = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    file_header = struct.pack("<HIHHI", 0x4D42, off_bits + len(rows), 0, 0, off_bits)
    return file_header + info + table + rows


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(bitmap_bytes(draw()))


if __name__ == "__main__":
    main()
