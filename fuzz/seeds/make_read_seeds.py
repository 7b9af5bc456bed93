#!/usr/bin/env python3
"""Writes fuzz_read's seeds of real symbols, made with the zint encoder (`zint --dump`),
on small images:
- fuzz/seeds/read: every option value of fuzz_read's first byte (see
  fuzz/fuzz_read.cpp for the input layout): each format, each `where`, both
  polarities, max symbols 1 to 4, both time budgets. The older seeds
  seed0..seed4 there are gray images in the same layout and stay as they are.
Run from anywhere; needs zint."""
import os
import subprocess

SEEDS = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(SEEDS, "read")
GRAY, BGRA, RGBA, BGR, RGB = range(5)
AUTO, CENTRE, ANYWHERE = range(3)


def modules(symbology, data, *args):
    """The symbol's modules as rows of 0/1 (1 dark), from zint's dump."""
    out = subprocess.run(["zint", "-b", symbology, "-d", data, "--dump", *args],
                         check=True, capture_output=True, text=True).stdout
    rows = [line.replace(" ", "") for line in out.splitlines() if line.strip()]
    side = len(rows)  # Aztec symbols are square
    return [[(int(r, 16) >> (len(r) * 4 - 1 - x)) & 1 for x in range(side)] for r in rows]


def image(width, height, symbols):
    """Gray pixels (255 light, 0 dark) with each (modules, left, top, scale)."""
    pixels = [[255] * width for _ in range(height)]
    for mods, left, top, scale in symbols:
        for y, row in enumerate(mods):
            for x, dark in enumerate(row):
                for dy in range(scale):
                    for dx in range(scale):
                        pixels[top + y * scale + dy][left + x * scale + dx] = 0 if dark else 255
    return pixels


def seed(name, fmt, where, inverted, max_symbols, pixels, long_budget=False):
    height, width = len(pixels), len(pixels[0])
    assert 1 <= width <= 128 and 1 <= height <= 128
    choice = fmt | (where << 3) | (int(inverted) << 5) | ((max_symbols - 1) << 6)
    out = bytearray([choice, (width - 1) | (0x80 if long_budget else 0), height - 1])
    for row in pixels:
        for g in row:
            if inverted:
                g = 255 - g
            # Tinted, so that the colour formats' channels differ.
            r, gr, b = (g, g, g) if fmt == GRAY else ((g * 9 // 10 + 20), g, (g * 8 // 10 + 10))
            out += {GRAY: bytes([g]), BGRA: bytes([b, gr, r, 255]), RGBA: bytes([r, gr, b, 128]),
                    BGR: bytes([b, gr, r]), RGB: bytes([r, gr, b])}[fmt]
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(out)


hello = modules("AZTEC", "Hello, world")                       # compact, 15 x 15
full = modules("AZTEC", "talavex full range", "--vers=6")      # full range, 2 layers
utf8 = modules("AZTEC", "Grüße, ECI 26", "--eci=26")
part1 = modules("AZTEC", "first part", "--structapp=1,2,ID")
part2 = modules("AZTEC", "second part", "--structapp=2,2,ID")
gs1 = modules("AZTEC", "[01]09501101530003", "--gs1")
rune = modules("AZRUNE", "25")                                 # 11 x 11

seed("gray-auto-1", GRAY, AUTO, False, 1, image(72, 72, [(hello, 14, 14, 3)]))
seed("bgra-centre-2", BGRA, CENTRE, False, 2, image(64, 64, [(full, 9, 9, 2)]))
seed("rgba-anywhere-inverted-3", RGBA, ANYWHERE, True, 3, image(80, 64, [(utf8, 40, 12, 2)]), True)
seed("bgr-anywhere-4-two", BGR, ANYWHERE, False, 4,
     image(128, 64, [(part1, 10, 10, 2), (part2, 76, 14, 2)]), True)
seed("rgb-centre-rune", RGB, CENTRE, False, 1, image(64, 64, [(rune, 10, 10, 4)]))
seed("gray-anywhere-2-gs1-rune", GRAY, ANYWHERE, False, 2,
     image(128, 72, [(gs1, 8, 8, 3), (rune, 80, 20, 3)]), True)
seed("gray-centre-inverted-tiny", GRAY, CENTRE, True, 1, [[0, 255, 0, 255, 0, 255, 0, 255]] * 5)

