#!/usr/bin/env python3
"""Writes a 3D Studio (3DS) file holding one object: a flat rectangle of two triangles.

Usage: tools/make_3ds_floor.py OUT.3ds X0 Z0 X1 Z1 HEIGHT

The corners and the height are level coordinates in file units (1/660 of a world unit). 3DS
files keep height in their z axis and the level's z in their -y axis, so the rectangle is
written as (x, -z, height). Both triangles face up in the level.
"""
import struct
import sys


def chunk(ident, payload):
    return struct.pack("<HI", ident, 6 + len(payload)) + payload


def main(argv):
    if len(argv) != 7:
        print(__doc__, file=sys.stderr)
        return 2
    x0, z0, x1, z1, height = (float(a) for a in argv[2:])
    corners = [(x0, z0), (x1, z0), (x1, z1), (x0, z1)]
    points = struct.pack("<H", 4) + b"".join(struct.pack("<fff", x, -z, height) for x, z in corners)
    faces = struct.pack("<H", 2) + struct.pack("<HHHH", 0, 2, 1, 0) + struct.pack("<HHHH", 0, 3, 2, 0)
    mesh = chunk(0x4100, chunk(0x4110, points) + chunk(0x4120, faces))
    editor = chunk(0x3D3D, chunk(0x4000, b"floor\0" + mesh))
    with open(argv[1], "wb") as f:
        f.write(chunk(0x4D4D, editor))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
