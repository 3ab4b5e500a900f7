#!/usr/bin/env python3
"""Writes PNG textures for tests, the docs and the example game.

Usage: tools/make_texture.py OUT.png WIDTH HEIGHT COLOUR [COLOUR ...] [--rows]
       tools/make_texture.py OUT.png --broken

Each COLOUR is R,G,B or R,G,B,A (0 to 255). With one colour the texture is plain; with more
the picture is cut into equal vertical stripes, the first colour on the left (with --rows:
horizontal bands, the first colour at the top row of the file). --broken writes a file that
starts like a PNG but cannot be decoded.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_demo_level import write_png  # noqa: E402


def parse_colour(text):
    parts = [int(p) for p in text.split(",")]
    if len(parts) not in (3, 4) or any(p < 0 or p > 255 for p in parts):
        raise ValueError("a colour is R,G,B or R,G,B,A from 0 to 255: " + text)
    return tuple(parts)


def main(argv):
    if len(argv) == 3 and argv[2] == "--broken":
        with open(argv[1], "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + b"this is no image data")
        return 0
    rows = "--rows" in argv
    args = [a for a in argv[1:] if a != "--rows"]
    if len(args) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    out, width, height = args[0], int(args[1]), int(args[2])
    colours = [parse_colour(c) for c in args[3:]]
    channels = max(len(c) for c in colours)
    colours = [c + (255,) * (channels - len(c)) for c in colours]
    n = len(colours)

    def pixel(x, y):
        along = y * n // height if rows else x * n // width
        return colours[along]

    folder = os.path.dirname(out)
    if folder:
        os.makedirs(folder, exist_ok=True)
    write_png(out, width, height, pixel)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
