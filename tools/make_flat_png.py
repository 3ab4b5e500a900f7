#!/usr/bin/env python3
"""Writes a PNG of one colour, for test games:  make_flat_png.py OUT.png W H R G B"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_demo_level import write_png  # noqa: E402

if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    out, w, h, r, g, b = sys.argv[1], *map(int, sys.argv[2:])
    write_png(out, w, h, lambda x, y: (r, g, b))
