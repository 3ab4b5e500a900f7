#!/usr/bin/env python3
"""Writes a Lightwave object (LWO2) for tests: a square wall of two triangles facing the
default camera, with two surfaces, each a planar image map along z over the whole square.

Usage: tools/make_lwo_quad.py OUT.lwo IMAGE0 IMAGE1 [--tag-all]

The square spans x and y from -1 to 1 and stands at z = -3 in the level (the importer scales
by 500 / 660 and mirrors z). Tags: 0 = "First" (image IMAGE0), 1 = "Second" (image IMAGE1); the
surface "First" is written before "Second". Polygon 0, the lower right triangle, has no
polygon-tag entry (with --tag-all it is tagged 0 explicitly); polygon 1, the upper left
triangle, is tagged 1.
"""
import struct
import sys

LEVEL_TO_FILE = 660.0 / 500.0  # the importer multiplies file units by 500 / 660


def name(text):
    data = text.encode() + b"\0"
    return data + (b"\0" if len(data) % 2 else b"")


def chunk(ident, payload):
    pad = b"\0" if len(payload) % 2 else b""
    return ident + struct.pack(">I", len(payload)) + payload + pad


def sub(ident, payload):
    pad = b"\0" if len(payload) % 2 else b""
    return ident + struct.pack(">H", len(payload)) + payload + pad


def surface(surface_name, clip):
    size = 2 * LEVEL_TO_FILE
    tmap = sub(b"CNTR", struct.pack(">fff", 0, 0, 0)) + sub(b"SIZE", struct.pack(">fff", size, size, 1))
    block = sub(b"IMAG", struct.pack(">H", clip)) + sub(b"PROJ", struct.pack(">H", 0)) + \
        sub(b"AXIS", struct.pack(">H", 2)) + sub(b"TMAP", tmap)
    return chunk(b"SURF", name(surface_name) + name("") + sub(b"BLOK", block))


def clip(number, image):
    return chunk(b"CLIP", struct.pack(">I", number) + sub(b"STIL", name(image)))


def main(argv):
    args = [a for a in argv[1:] if a != "--tag-all"]
    if len(args) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    out, image0, image1 = args
    s = LEVEL_TO_FILE
    z = 3 * LEVEL_TO_FILE  # mirrored to -3 by the importer
    points = [(-s, -s, z), (s, -s, z), (s, s, z), (-s, s, z)]
    pnts = b"".join(struct.pack(">fff", *p) for p in points)
    polygons = [(0, 2, 1), (0, 3, 2)]
    pols = b"FACE" + b"".join(struct.pack(">HHHH", 3, *p) for p in polygons)
    tags = [(1, 1)] if "--tag-all" not in argv else [(0, 0), (1, 1)]
    ptag = b"SURF" + b"".join(struct.pack(">HH", p, t) for p, t in tags)
    body = b"LWO2" + chunk(b"TAGS", name("First") + name("Second")) + chunk(b"PNTS", pnts) + \
        chunk(b"POLS", pols) + chunk(b"PTAG", ptag) + clip(1, image0) + clip(2, image1) + \
        surface("First", 1) + surface("Second", 2)
    with open(out, "wb") as f:
        f.write(b"FORM" + struct.pack(">I", len(body)) + body)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
