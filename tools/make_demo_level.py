#!/usr/bin/env python3
"""Writes the demo game's level folder: an OBJ+MTL arena of textured floor, walls, pillars and
a raised platform with a ramp, PNG textures drawn here, and the level's "load script.txt".

Usage: tools/make_demo_level.py [GAME_FOLDER]   (default: examples/demo)
The level folders are GAME_FOLDER/arena/ and GAME_FOLDER/courtyard/ (the second with its own
textures and a tint file), plus the particle textures in GAME_FOLDER/Textures/; the game
switches levels with: level "arena" / level "courtyard"
"""
import os
import struct
import sys
import zlib

UNIT = 660.0  # file units per world unit


# ---------------------------------------------------------------- PNG textures

def write_png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) or (r, g, b, a); writes an 8-bit RGB or RGBA PNG."""
    rows = bytearray()
    channels = len(pixel(0, 0))
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(bytes(max(0, min(255, int(c))) for c in pixel(x, y)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6 if channels == 4 else 2, 0, 0, 0))
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


# ---------------------------------------------------------------- the courtyard

def cobble(x, y):
    # Rounded cobbles in offset rows, dark gaps between them.
    h = 12
    row = y // h
    w = 14 + int(noise(0, row, 6) * 6)
    cx = (x + row * 7) % w
    cy = y % h
    edge = min(cx, w - 1 - cx, cy, h - 1 - cy)
    g = noise(x, y, 7) * 20
    if edge < 1:
        return (50 + g, 48 + g, 45 + g)
    tone = noise((x + row * 7) // w, row, 8) * 35
    shade = min(edge, 3) * 6
    return (105 + tone + shade + g, 100 + tone + shade + g, 92 + tone * 0.8 + shade + g)


def hedge(x, y):
    leaf = noise(x // 3, y // 3, 9)
    g = noise(x, y, 10) * 30
    return (30 + leaf * 30 + g * 0.3, 80 + leaf * 70 + g, 30 + leaf * 25)


def plaster(x, y):
    g = noise(x // 2, y // 2, 11) * 20 + noise(x, y, 12) * 10
    band = 30 if y % 64 < 4 else 0
    return (205 + g - band, 195 + g - band, 170 + g - band)


def build_courtyard():
    m = Mesh()
    half = 14.0
    floor(m, -half, -half, half, half, 0.0, "cobble", 3.0, 4.0)
    # Plastered house walls all round, 6 units high.
    wall(m, (-half, -half), (half, -half), 0, 6, (0, 0, 1), "plaster", 4.0)
    wall(m, (half, half), (-half, half), 0, 6, (0, 0, -1), "plaster", 4.0)
    wall(m, (-half, half), (-half, -half), 0, 6, (1, 0, 0), "plaster", 4.0)
    wall(m, (half, -half), (half, half), 0, 6, (-1, 0, 0), "plaster", 4.0)
    # Hedges: two long rows and four short blocks, 1.4 units high.
    for x0, z0, x1, z1 in ((-10, -6, -3, -5), (3, -6, 10, -5), (-10, 5, -3, 6), (3, 5, 10, 6),
                           (-12, -1, -11, 1), (11, -1, 12, 1)):
        box(m, x0, z0, x1, z1, 0.0, 1.4, "hedge", "hedge", 2.0)
    # The fountain in the middle: a low stone basin round a pillar.
    box(m, -2.0, -2.0, 2.0, 2.0, 0.0, 0.6, "stone", "stone", 2.0)
    box(m, -0.4, -0.4, 0.4, 0.4, 0.6, 2.2, "stone", "stone", 2.0)
    return m


ARENA_SCRIPT = """// The arena: textured floor, brick walls, stone pillars and a raised platform.
// Written by tools/make_demo_level.py.
mesh "arena/arena.obj"
seti 1,1
storei "levelNo",1
rgb 1,1,1                 // no tint here (the courtyard's tint file would stay otherwise)
backcol 0.35,0.45,0.65
setb 1,false
storeb "doFog",1          // clear air
// A warm lamp high over the middle and a weak blue light from the side.
light 1
lighton true
put 0,10,0,1
diffuse 1,0.9,0.75,1
ambient 0.35,0.33,0.3,1
attenuation 1,0.02
light 2
lighton true
put 0.4,0.8,-0.5,0
diffuse 0.35,0.4,0.55,1
ambient 0,0,0,1
// The walker patrols between the pillars.
make "walker"
put -1,0,-2
script "Data/walker",1
// Sparks from a brazier on the platform, and its hum.
setf 1,0
setf 2,1.6
setf 3,10.8
setf 4,0
setf 5,5
setf 6,0
partinfo false,false,0,0,0
particles -1,1.4,0.5,0.01,0.1,0.3,0.1,1,1,30,0,"Textures/spark.png",true
channel 1
sndstop 1
sndloop 1,0,1.6,10.8
channel -1
// The camera stands near the entrance, looking at the platform.
player
put 0,0,-9
spin 5,0,0
script "Data/controls"
"""

COURTYARD_SCRIPT = """// The courtyard: cobbles, hedges, plastered walls and a smoking fountain at dusk.
// Written by tools/make_demo_level.py; the tint file colours it blue.
mesh "courtyard/courtyard.obj"
seti 1,2
storei "levelNo",1
backcol 0.45,0.5,0.62
fogcol 0.45,0.5,0.62
setf 1,6
storef "gFogStart",1
setf 1,30
storef "gFogEnd",1
setb 1,true
storeb "doFog",1          // evening haze
// A lamp by the fountain and a dim moon.
light 1
lighton true
put 0,5,-9,1
diffuse 1,0.8,0.5,1
ambient 0.25,0.25,0.3,1
attenuation 1,0.08
light 2
lighton true
put -0.3,1,-0.8,0
diffuse 0.35,0.4,0.6,1
ambient 0,0,0,1
make "walker"
put 0,0,-8
spin 0,90,0
script "Data/walker",1
// Smoke rising from the fountain's pillar, and its hum.
setf 1,0
setf 2,2.3
setf 3,0
setf 4,0
setf 5,0.8
setf 6,0
partinfo false,false,0,0,0
particles -1,4,1.5,0.08,0.2,0.9,0.3,0,5,20,2,"Textures/smoke.png",false
channel 1
sndstop 1
sndloop 1,0,2,0
channel -1
player
put 0,0,-12
spin 8,0,0
script "Data/controls"
"""

LEVELS = {
    "arena": (build, {"floor": floor_tile, "brick": brick, "stone": stone}, ARENA_SCRIPT, None),
    "courtyard": (build_courtyard, {"cobble": cobble, "hedge": hedge, "plaster": plaster, "stone": stone},
                  COURTYARD_SCRIPT, "0.8, 0.85, 1.0"),
}


def write_level(game, name):
    builder, textures, script, tint = LEVELS[name]
    folder = os.path.join(game, name)
    os.makedirs(os.path.join(folder, "textures"), exist_ok=True)
    for tex, pixel in textures.items():
        write_png(os.path.join(folder, "textures", tex + ".png"), 64, 64, pixel)

    mesh = builder()
    with open(os.path.join(folder, name + ".mtl"), "w", newline="\n") as f:
        f.write("# Zyntrel demo %s materials (generated by tools/make_demo_level.py)\n" % name)
        for tex in textures:
            f.write("\nnewmtl %s\nKd 1.0 1.0 1.0\nmap_Kd textures/%s.png\n" % (tex, tex))
    with open(os.path.join(folder, name + ".obj"), "w", newline="\n") as f:
        f.write("# Zyntrel demo %s (generated by tools/make_demo_level.py); units of 1/660 world unit\n" % name)
        f.write("mtllib %s.mtl\n" % name)
        for p in mesh.v:
            f.write("v %.1f %.1f %.1f\n" % (p[0] * UNIT, p[1] * UNIT, p[2] * UNIT))
        for t in mesh.vt:
            f.write("vt %.4f %.4f\n" % t)
        for material, faces in mesh.groups.items():
            f.write("usemtl %s\n" % material)
            for face in faces:
                f.write("f %d/%d %d/%d %d/%d\n" % (face[0] + face[1] + face[2]))
    with open(os.path.join(folder, "load script.txt"), "w", newline="\n") as f:
        f.write(script)
    if tint:
        with open(os.path.join(folder, "tint"), "w", newline="\n") as f:
            f.write(tint + "\n")
    triangles = sum(len(faces) for faces in mesh.groups.values())
    print("wrote %s: %d vertices, %d triangles" % (folder, len(mesh.v), triangles))


# ---------------------------------------------------------------- particle textures

def spark(x, y):
    # A hot white-yellow dot fading out to the rim.
    d = (((x - 15.5) ** 2 + (y - 15.5) ** 2) ** 0.5) / 16.0
    a = max(0.0, 1.0 - d) ** 1.5
    return (255, 230 - 60 * d, 120 - 100 * d, 255 * a)


def smoke(x, y):
    # A soft grey puff with a little grain.
    d = (((x - 31.5) ** 2 + (y - 31.5) ** 2) ** 0.5) / 32.0
    a = max(0.0, 1.0 - d) ** 2 * (0.7 + 0.3 * noise(x // 4, y // 4, 13))
    v = 170 + noise(x, y, 14) * 40
    return (v, v, v * 1.02, 200 * a)


def write_game(game):
    for name in LEVELS:
        write_level(game, name)
    os.makedirs(os.path.join(game, "Textures"), exist_ok=True)
    write_png(os.path.join(game, "Textures", "spark.png"), 32, 32, spark)
    write_png(os.path.join(game, "Textures", "smoke.png"), 64, 64, smoke)


if __name__ == "__main__":
    write_game(sys.argv[1] if len(sys.argv) > 1 else "examples/demo")
