// Writes level geometry files of every format the level readers take (Meshwork, Coalesce,
// Wavefront OBJ, 3DS, Lightwave LWO2, and the engine's own model file through
// zntl_model_writer.h) from one plain grid, so that benchmarks and tests can read files of any
// size made here. Positions are given in world units and written in file units (x 660).
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zntl_model_writer.h"

namespace lfw {

// A rolling terrain of side x side vertices, split into patches of at most `patchSide` x
// `patchSide` vertices each (formats with 16-bit vertex numbers hold one patch per object);
// each patch's cells become two triangles facing up.
struct Patch {
  std::vector<float> xyz;        // world units, 3 per vertex
  std::vector<int> triangles;    // 3 vertex numbers per triangle, within the patch
};

inline std::vector<Patch> Terrain(int side, int patchSide = 150) {
  std::vector<Patch> patches;
  if (patchSide < 2) patchSide = 2;
  // Neighbouring patches share their border row so the terrain stays closed.
  for (int pz = 0; pz < side - 1; pz += patchSide - 1) {
    for (int px = 0; px < side - 1; px += patchSide - 1) {
      const int nx = std::min(patchSide, side - px), nz = std::min(patchSide, side - pz);
      Patch p;
      for (int z = 0; z < nz; ++z)
        for (int x = 0; x < nx; ++x) {
          const int gx = px + x, gz = pz + z;
          p.xyz.push_back(static_cast<float>(gx));
          p.xyz.push_back(static_cast<float>(((gx * 7 + gz * 3) % 11) * 0.1));
          p.xyz.push_back(static_cast<float>(gz));
        }
      for (int z = 0; z + 1 < nz; ++z)
        for (int x = 0; x + 1 < nx; ++x) {
          const int a = z * nx + x, b = a + 1, c = a + nx, d = c + 1;
          // Counter-clockwise seen from above.
          p.triangles.insert(p.triangles.end(), {a, c, b, b, c, d});
        }
      patches.push_back(std::move(p));
    }
  }
  return patches;
}

inline int VertexCount(const std::vector<Patch>& patches) {
  int n = 0;
  for (const Patch& p : patches) n += static_cast<int>(p.xyz.size() / 3);
  return n;
}

inline int TriangleCount(const std::vector<Patch>& patches) {
  int n = 0;
  for (const Patch& p : patches) n += static_cast<int>(p.triangles.size() / 3);
  return n;
}

inline void Append(std::string* out, const char* format, double a, double b, double c) {
  char line[128];
  std::snprintf(line, sizeof line, format, a, b, c);
  *out += line;
}

// Meshwork: numbered vertices, the edges of every triangle, one material.
inline std::string Meshwork(const std::vector<Patch>& patches) {
  std::string out = "Mesh\t1\t1\nwritten by the level file writers\n";
  int base = 0;
  char line[160];
  for (const Patch& p : patches) {
    for (size_t k = 0; k < p.xyz.size() / 3; ++k) {
      std::snprintf(line, sizeof line, "%d\t%.4f\t%.4f\t%.4f\n", base + static_cast<int>(k), p.xyz[3 * k] * 660.0,
                    p.xyz[3 * k + 1] * 660.0, p.xyz[3 * k + 2] * 660.0);
      out += line;
    }
    base += static_cast<int>(p.xyz.size() / 3);
  }
  out += "EDGES\n";
  base = 0;
  for (const Patch& p : patches) {
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      std::snprintf(line, sizeof line, "%d\t%d\n%d\t%d\n", base + p.triangles[k], base + p.triangles[k + 1],
                    base + p.triangles[k + 1], base + p.triangles[k + 2]);
      out += line;
    }
    base += static_cast<int>(p.xyz.size() / 3);
  }
  out += "MATERIAL\t255\t255\t255\t1\t0\t0\t0\t0\t0\t0\t1\t1\t1\t0\n";
  base = 0;
  for (const Patch& p : patches) {
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      std::snprintf(line, sizeof line, "%d\t%d\t%d\n", base + p.triangles[k], base + p.triangles[k + 1],
                    base + p.triangles[k + 2]);
      out += line;
    }
    base += static_cast<int>(p.xyz.size() / 3);
  }
  out += "END\n";
  return out;
}

// Coalesce: vertices, then per triangle its corners with texture number 0 and a line of
// texture coordinates.
inline std::string Coalesce(const std::vector<Patch>& patches) {
  std::string out = "Coalesce\nVERTICES\t" + std::to_string(VertexCount(patches)) + "\n";
  for (const Patch& p : patches)
    for (size_t k = 0; k < p.xyz.size(); k += 3)
      Append(&out, "%.4f\t%.4f\t%.4f\t\n", p.xyz[k] * 660.0, p.xyz[k + 1] * 660.0, p.xyz[k + 2] * 660.0);
  out += "TRIANGLES\t" + std::to_string(TriangleCount(patches)) + "\n";
  int base = 0;
  char line[160];
  for (const Patch& p : patches) {
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      std::snprintf(line, sizeof line, "%d\t%d\t%d\t0\n0\t0\t1\t0\t0\t1\n", base + p.triangles[k],
                    base + p.triangles[k + 1], base + p.triangles[k + 2]);
      out += line;
    }
    base += static_cast<int>(p.xyz.size() / 3);
  }
  return out;
}

// Wavefront OBJ: "v" and "vt" per vertex, faces with texture numbers.
inline std::string Obj(const std::vector<Patch>& patches) {
  std::string out = "# written by the level file writers\n";
  for (const Patch& p : patches)
    for (size_t k = 0; k < p.xyz.size(); k += 3)
      Append(&out, "v %.4f %.4f %.4f\n", p.xyz[k] * 660.0, p.xyz[k + 1] * 660.0, p.xyz[k + 2] * 660.0);
  for (const Patch& p : patches)
    for (size_t k = 0; k < p.xyz.size(); k += 3) {
      char line[96];
      std::snprintf(line, sizeof line, "vt %.4f %.4f\n", p.xyz[k] * 0.01, p.xyz[k + 2] * 0.01);
      out += line;
    }
  int base = 1;
  char line[160];
  for (const Patch& p : patches) {
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      const int a = base + p.triangles[k], b = base + p.triangles[k + 1], c = base + p.triangles[k + 2];
      std::snprintf(line, sizeof line, "f %d/%d %d/%d %d/%d\n", a, a, b, b, c, c);
      out += line;
    }
    base += static_cast<int>(p.xyz.size() / 3);
  }
  return out;
}

// Binary helpers: 3DS is little-endian, LWO big-endian.
inline void PutLE16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void PutLE32(std::string* s, uint32_t v) {
  PutLE16(s, v & 0xFFFF);
  PutLE16(s, v >> 16);
}
inline void PutBE16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
  s->push_back(static_cast<char>(v & 0xFF));
}
inline void PutBE32(std::string* s, uint32_t v) {
  PutBE16(s, v >> 16);
  PutBE16(s, v & 0xFFFF);
}
inline uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

inline std::string Chunk3DS(uint16_t id, const std::string& payload) {
  std::string out;
  PutLE16(&out, id);
  PutLE32(&out, static_cast<uint32_t>(6 + payload.size()));
  return out + payload;
}

// 3DS: one object per patch (its vertices numbered from 0), the file's z axis up.
inline std::string ThreeDS(const std::vector<Patch>& patches) {
  std::string editor;
  int number = 0;
  for (const Patch& p : patches) {
    std::string vertices;
    PutLE16(&vertices, static_cast<uint32_t>(p.xyz.size() / 3));
    for (size_t k = 0; k < p.xyz.size(); k += 3) {
      // Level (x, y, z) is stored as (x, -z, y).
      PutLE32(&vertices, FloatBits(p.xyz[k] * 660.0f));
      PutLE32(&vertices, FloatBits(-p.xyz[k + 2] * 660.0f));
      PutLE32(&vertices, FloatBits(p.xyz[k + 1] * 660.0f));
    }
    std::string faces;
    PutLE16(&faces, static_cast<uint32_t>(p.triangles.size() / 3));
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      PutLE16(&faces, static_cast<uint32_t>(p.triangles[k]));
      PutLE16(&faces, static_cast<uint32_t>(p.triangles[k + 1]));
      PutLE16(&faces, static_cast<uint32_t>(p.triangles[k + 2]));
      PutLE16(&faces, 0);
    }
    std::string mesh = Chunk3DS(0x4110, vertices) + Chunk3DS(0x4120, faces);
    std::string object = "patch" + std::to_string(number++);
    object.push_back('\0');
    editor += Chunk3DS(0x4000, object + Chunk3DS(0x4100, mesh));
  }
  return Chunk3DS(0x4D4D, Chunk3DS(0x3D3D, editor));
}

inline std::string ChunkLWO(const char* id, const std::string& payload) {
  std::string out(id, 4);
  PutBE32(&out, static_cast<uint32_t>(payload.size()));
  out += payload;
  if (payload.size() % 2) out.push_back('\0');
  return out;
}

// Lightwave LWO2: one PNTS and POLS pair per patch (point numbers restart with each PNTS).
// The reader mirrors z, so z is written negated.
inline std::string Lightwave(const std::vector<Patch>& patches, float scale = 500.0f) {
  std::string body = "LWO2";
  for (const Patch& p : patches) {
    std::string points;
    for (size_t k = 0; k < p.xyz.size(); k += 3) {
      PutBE32(&points, FloatBits(p.xyz[k] * 660.0f / scale));
      PutBE32(&points, FloatBits(p.xyz[k + 1] * 660.0f / scale));
      PutBE32(&points, FloatBits(-p.xyz[k + 2] * 660.0f / scale));
    }
    std::string polygons = "FACE";
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      PutBE16(&polygons, 3);
      PutBE16(&polygons, static_cast<uint32_t>(p.triangles[k]));
      PutBE16(&polygons, static_cast<uint32_t>(p.triangles[k + 1]));
      PutBE16(&polygons, static_cast<uint32_t>(p.triangles[k + 2]));
    }
    body += ChunkLWO("PNTS", points) + ChunkLWO("POLS", polygons);
  }
  std::string out = "FORM";
  PutBE32(&out, static_cast<uint32_t>(body.size()));
  return out + body;
}

// The engine's own model file: every vertex on the root, one material holding the triangles.
inline zmw::Model ZntlModel(const std::vector<Patch>& patches) {
  zmw::Model m;
  m.bones.push_back({"body", 0, 1});
  zmw::Material mat;
  mat.name = "Ground";
  mat.settings = {"smooth=1"};
  int base = 0;
  for (const Patch& p : patches) {
    for (size_t k = 0; k < p.xyz.size(); k += 3) m.vertices.push_back({p.xyz[k], p.xyz[k + 1], p.xyz[k + 2], 1});
    for (size_t k = 0; k < p.triangles.size(); k += 3) {
      zmw::Triangle t;
      t.a = base + p.triangles[k];
      t.b = base + p.triangles[k + 1];
      t.c = base + p.triangles[k + 2];
      mat.triangles.push_back(t);
      m.edges.push_back({t.a, t.b});
    }
    base += static_cast<int>(p.xyz.size() / 3);
  }
  m.materials.push_back(mat);
  return m;
}

}  // namespace lfw
