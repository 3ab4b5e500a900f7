#!/usr/bin/env python3
"""Writes the demo game's level folder: an OBJ+MTL arena of textured floor, walls, pillars and
a raised platform with a ramp, PNG textures drawn here, and the level's "load script.txt".

Usage: tools/make_demo_level.py [GAME_FOLDER]   (default: examples/demo)
The level folder is GAME_FOLDER/arena/; the game switches to it with: level "arena"
"""
import os
import struct
import sys
import zlib

UNIT = 660.0  # file units per world unit
LEVEL = "arena"


# ---------------------------------------------------------------- PNG textures

def write_png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b); writes an 8-bit RGB PNG."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(bytes(max(0, min(255, int(c))) for c in pixel(x, y)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def noise(x, y, seed):
    """A cheap repeatable hash in 0..1."""
    n = (x * 374761393 + y * 668265263 + seed * 982451653) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65535.0


def floor_tile(x, y):
    # Large two-tone tiles with dark grout and a little grain.
    size = 32
    grout = x % size < 2 or y % size < 2
    dark = ((x // size) + (y // size)) % 2
    g = noise(x, y, 1) * 18
    if grout:
        return (60 + g, 58 + g, 55 + g)
    base = (170, 160, 140) if not dark else (120, 112, 100)
    return (base[0] + g, base[1] + g, base[2] + g)


def brick(x, y):
    h, w = 16, 32
    row = y // h
    offset = (w // 2) if row % 2 else 0
    mortar = y % h < 2 or (x + offset) % w < 2
    g = noise(x, y, 2) * 30
    if mortar:
        return (190 + g * 0.3, 185 + g * 0.3, 175 + g * 0.3)
    tone = noise((x + offset) // w, row, 3) * 40
    return (150 + tone + g, 60 + tone * 0.5 + g * 0.5, 45 + g * 0.5)


def stone(x, y):
    coarse = noise(x // 8, y // 8, 4) * 40
    fine = noise(x, y, 5) * 25
    v = 95 + coarse + fine
    return (v, v * 0.98, v * 1.05)


# ---------------------------------------------------------------- geometry

class Mesh:
    def __init__(self):
        self.v = []
        self.vt = []
        self.groups = {}  # material -> list of faces ((vi, ti) * 3)

    def vertex(self, p):
        self.v.append(p)
        return len(self.v)

    def uv(self, u, v):
        self.vt.append((u, v))
        return len(self.vt)

    def quad(self, material, corners, uvs, facing):
        """Two triangles over four corners in order around the quad, wound so that their
        normal points along `facing`."""
        vi = [self.vertex(c) for c in corners]
        ti = [self.uv(*t) for t in uvs]
        a, b, c = corners[0], corners[1], corners[2]
        e1 = [b[i] - a[i] for i in range(3)]
        e2 = [c[i] - a[i] for i in range(3)]
        n = (e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0])
        order = [0, 1, 2, 3] if sum(n[i] * facing[i] for i in range(3)) > 0 else [0, 3, 2, 1]
        faces = self.groups.setdefault(material, [])
        k = order
        faces.append(((vi[k[0]], ti[k[0]]), (vi[k[1]], ti[k[1]]), (vi[k[2]], ti[k[2]])))
        faces.append(((vi[k[0]], ti[k[0]]), (vi[k[2]], ti[k[2]]), (vi[k[3]], ti[k[3]])))


def floor(mesh, x0, z0, x1, z1, y, material, tile, step):
    """A horizontal surface facing up, cut into squares of `step` world units."""
    x = x0
    while x < x1 - 1e-6:
        z = z0
        xn = min(x + step, x1)
        while z < z1 - 1e-6:
            zn = min(z + step, z1)
            mesh.quad(material, [(x, y, z), (xn, y, z), (xn, y, zn), (x, y, zn)],
                      [(x / tile, z / tile), (xn / tile, z / tile), (xn / tile, zn / tile), (x / tile, zn / tile)],
                      (0, 1, 0))
            z = zn
        x = xn


def wall(mesh, a, b, y0, y1, facing, material, tile):
    """A vertical wall from ground point a to b (x, z), from height y0 to y1."""
    (ax, az), (bx, bz) = a, b
    length = ((bx - ax) ** 2 + (bz - az) ** 2) ** 0.5
    mesh.quad(material, [(ax, y0, az), (bx, y0, bz), (bx, y1, bz), (ax, y1, az)],
              [(0, y0 / tile), (length / tile, y0 / tile), (length / tile, y1 / tile), (0, y1 / tile)], facing)


def box(mesh, x0, z0, x1, z1, y0, y1, side, top, tile):
    wall(mesh, (x0, z0), (x1, z0), y0, y1, (0, 0, -1), side, tile)
    wall(mesh, (x1, z1), (x0, z1), y0, y1, (0, 0, 1), side, tile)
    wall(mesh, (x0, z1), (x0, z0), y0, y1, (-1, 0, 0), side, tile)
    wall(mesh, (x1, z0), (x1, z1), y0, y1, (1, 0, 0), side, tile)
    floor(mesh, x0, z0, x1, z1, y1, top, tile, 4.0)


def build():
    m = Mesh()
    half = 16.0
    height = 5.0
    floor(m, -half, -half, half, half, 0.0, "floor", 4.0, 4.0)
    # Outer walls facing the inside.
    wall(m, (-half, -half), (half, -half), 0, height, (0, 0, 1), "brick", 4.0)
    wall(m, (half, half), (-half, half), 0, height, (0, 0, -1), "brick", 4.0)
    wall(m, (-half, half), (-half, -half), 0, height, (1, 0, 0), "brick", 4.0)
    wall(m, (half, -half), (half, half), 0, height, (-1, 0, 0), "brick", 4.0)
    # Four pillars.
    for px, pz in ((-8, -8), (8, -8), (-8, 8), (8, 8)):
        box(m, px - 0.75, pz - 0.75, px + 0.75, pz + 0.75, 0.0, height, "stone", "stone", 2.0)
    # A raised platform along the far wall with a ramp up to it.
    box(m, -6.0, 10.0, 6.0, 16.0, 0.0, 1.5, "brick", "floor", 4.0)
    ramp = [(-2.0, 0.0, 4.0), (2.0, 0.0, 4.0), (2.0, 1.5, 10.0), (-2.0, 1.5, 10.0)]
    m.quad("stone", ramp, [(0, 0), (1, 0), (1, 1.5), (0, 1.5)], (0, 1, -0.25))
    return m


def write_level(game):
    folder = os.path.join(game, LEVEL)
    os.makedirs(os.path.join(folder, "textures"), exist_ok=True)
    write_png(os.path.join(folder, "textures", "floor.png"), 64, 64, floor_tile)
    write_png(os.path.join(folder, "textures", "brick.png"), 64, 64, brick)
    write_png(os.path.join(folder, "textures", "stone.png"), 64, 64, stone)

    mesh = build()
    with open(os.path.join(folder, LEVEL + ".mtl"), "w", newline="\n") as f:
        f.write("# Zyntrel demo arena materials (generated by tools/make_demo_level.py)\n")
        for name in ("floor", "brick", "stone"):
            f.write("\nnewmtl %s\nKd 1.0 1.0 1.0\nmap_Kd textures/%s.png\n" % (name, name))
    with open(os.path.join(folder, LEVEL + ".obj"), "w", newline="\n") as f:
        f.write("# Zyntrel demo arena (generated by tools/make_demo_level.py); units of 1/660 world unit\n")
        f.write("mtllib %s.mtl\n" % LEVEL)
        for p in mesh.v:
            f.write("v %.1f %.1f %.1f\n" % (p[0] * UNIT, p[1] * UNIT, p[2] * UNIT))
        for t in mesh.vt:
            f.write("vt %.4f %.4f\n" % t)
        for material, faces in mesh.groups.items():
            f.write("usemtl %s\n" % material)
            for face in faces:
                f.write("f %d/%d %d/%d %d/%d\n" % (face[0] + face[1] + face[2]))
    with open(os.path.join(folder, "load script.txt"), "w", newline="\n") as f:
        f.write("// The arena: textured floor, brick walls, stone pillars and a raised platform.\n")
        f.write('mesh "%s/%s.obj"\n' % (LEVEL, LEVEL))
    triangles = sum(len(faces) for faces in mesh.groups.values())
    print("wrote %s: %d vertices, %d triangles" % (folder, len(mesh.v), triangles))


if __name__ == "__main__":
    write_level(sys.argv[1] if len(sys.argv) > 1 else "examples/demo")
