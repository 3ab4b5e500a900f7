// 3DS reader: little-endian chunks; materials (name and texture map), objects with their
// vertices, faces, face materials and mapping coordinates. The file's z axis is the level's y.
#include "models/import_3ds.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "models/materials.h"
#include "models/model_types.h"
#include "shell/output.h"
#include "shell/startup.h"

namespace {

struct ChunkReader {
  const unsigned char* data;
  size_t size;

  bool u16(size_t pos, uint16_t* v) const {
    if (pos + 2 > size) return false;
    *v = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
    return true;
  }
  bool u32(size_t pos, uint32_t* v) const {
    if (pos + 4 > size) return false;
    *v = static_cast<uint32_t>(data[pos]) | (static_cast<uint32_t>(data[pos + 1]) << 8) |
         (static_cast<uint32_t>(data[pos + 2]) << 16) | (static_cast<uint32_t>(data[pos + 3]) << 24);
    return true;
  }
  bool f32(size_t pos, float* f) const {
    uint32_t bits;
    if (!u32(pos, &bits)) return false;
    std::memcpy(f, &bits, 4);
    return true;
  }
  // A chunk header at `pos` inside [.., limit): its id and its end, cut to `limit`.
  bool header(size_t pos, size_t limit, uint16_t* id, size_t* end) const {
    uint32_t length;
    if (pos + 6 > limit || !u16(pos, id) || !u32(pos + 2, &length)) return false;
    size_t e = pos + (length < 6 ? 6 : length);
    if (e > limit || e < pos) e = limit;
    *end = e;
    return true;
  }
  // A zero-terminated string starting at `pos`, not beyond `limit`; `pos` moves past it.
  std::string untilZero(size_t* pos, size_t limit) const {
    std::string s;
    while (*pos < limit && data[*pos] != 0) {
      if (s.size() < 1023) s.push_back(static_cast<char>(data[*pos]));
      (*pos)++;
    }
    if (*pos < limit) (*pos)++;
    return s;
  }
};

void ReadMaterial(const ChunkReader& r, size_t pos, size_t end, Import3DSFile* out) {
  Import3DSMaterial m;
  while (pos < end) {
    uint16_t id;
    size_t chunkEnd;
    if (!r.header(pos, end, &id, &chunkEnd)) break;
    if (id == 0xA000) {
      size_t p = pos + 6;
      m.name = r.untilZero(&p, chunkEnd);
    } else if (id == 0xA200) {
      size_t sub = pos + 6;
      while (sub < chunkEnd) {
        uint16_t subId;
        size_t subEnd;
        if (!r.header(sub, chunkEnd, &subId, &subEnd)) break;
        if (subId == 0xA300) {
          size_t p = sub + 6;
          m.textureFile = r.untilZero(&p, subEnd);
          break;
        }
        sub = subEnd;
      }
    }
    pos = chunkEnd;
  }
  out->materials.push_back(m);
}

struct ObjectState {
  Import3DSObject object;
  std::vector<float> vertexU, vertexV;
};

void ReadTriangleMesh(const ChunkReader& r, size_t pos, size_t end, float scaleFactor, ObjectState* s) {
  ImportMesh& mesh = s->object.mesh;
  while (pos < end) {
    uint16_t id;
    size_t chunkEnd;
    if (!r.header(pos, end, &id, &chunkEnd)) break;
    size_t p = pos + 6;
    if (id == 0x4110) {
      uint16_t count = 0;
      r.u16(p, &count);
      p += 2;
      for (uint16_t i = 0; i < count && p + 12 <= chunkEnd; i++, p += 12) {
        float x, y, z;
        r.f32(p, &x);
        r.f32(p + 4, &y);
        r.f32(p + 8, &z);
        mesh.positions.push_back(FileUnitsToWorld(vector_type{x, z, -y}, scaleFactor));
      }
      s->vertexU.resize(mesh.positions.size(), 0.0f);
      s->vertexV.resize(mesh.positions.size(), 0.0f);
    } else if (id == 0x4120) {
      uint16_t count = 0;
      r.u16(p, &count);
      p += 2;
      for (uint16_t i = 0; i < count && p + 8 <= chunkEnd; i++, p += 8) {
        uint16_t a = 0, b = 0, c = 0;
        r.u16(p, &a);
        r.u16(p + 2, &b);
        r.u16(p + 4, &c);
        ImportTriangle t = DefaultImportTriangle(a, b, c);
        t.numConnects = i;
        mesh.triangles.push_back(t);
        s->object.faceMaterial.emplace_back();
      }
      // The chunks nested in the face list follow as siblings.
      chunkEnd = p < chunkEnd ? p : chunkEnd;
    } else if (id == 0x4130) {
      std::string name = r.untilZero(&p, chunkEnd);
      uint16_t count = 0;
      r.u16(p, &count);
      p += 2;
      for (uint16_t i = 0; i < count && p + 2 <= chunkEnd; i++, p += 2) {
        uint16_t face = 0;
        r.u16(p, &face);
        // Face numbers count within this object; the object's faces are its triangles.
        if (face >= s->object.faceMaterial.size()) continue;
        ImportTriangle& t = mesh.triangles[face];
        s->object.faceMaterial[face] = name;
        for (int k = 0; k < 3; k++) {
          uint32_t v = t.corner[k];
          float u = v < s->vertexU.size() ? s->vertexU[v] : 0.0f;
          float w = v < s->vertexV.size() ? s->vertexV[v] : 0.0f;
          t.u[k] = u;
          t.v[k] = 1.0f - w;
        }
      }
    } else if (id == 0x4140) {
      uint16_t count = 0;
      r.u16(p, &count);
      p += 2;
      for (uint16_t i = 0; i < count && p + 8 <= chunkEnd; i++, p += 8) {
        if (i >= s->vertexU.size()) break;
        r.f32(p, &s->vertexU[i]);
        r.f32(p + 4, &s->vertexV[i]);
      }
    }
    pos = chunkEnd;
  }
}

}  // namespace

int Parse3DS(const unsigned char* data, size_t size, float scaleFactor, Import3DSFile* out) {
  ChunkReader r{data, size};
  uint16_t id;
  size_t mainEnd;
  if (!r.header(0, size, &id, &mainEnd) || id != 0x4D4D) return 0;

  size_t pos = 6;
  bool editor = false;
  while (pos < mainEnd) {
    size_t end;
    if (!r.header(pos, mainEnd, &id, &end)) break;
    if (id == 0x3D3D) {
      pos += 6;
      editor = true;
      break;
    }
    pos = end;
  }
  if (!editor) return 1;

  while (pos < mainEnd) {
    size_t end;
    if (!r.header(pos, mainEnd, &id, &end)) break;
    if (id == 0xAFFF) {
      ReadMaterial(r, pos + 6, end, out);
    } else if (id == 0x4000) {
      size_t p = pos + 6;
      r.untilZero(&p, end);
      ObjectState s;
      while (p < end) {
        uint16_t subId;
        size_t subEnd;
        if (!r.header(p, end, &subId, &subEnd)) break;
        if (subId == 0x4100) ReadTriangleMesh(r, p + 6, subEnd, scaleFactor, &s);
        p = subEnd;
      }
      out->objects.push_back(std::move(s.object));
    } else if (id == 0x3D3D) {
      pos += 6;  // a further editor chunk: read into it
      continue;
    }
    pos = end;
  }
  return 1;
}

void ImportMeshFrom3DS(const char* fileName, float scaleFactor) {
  if (!ImportPathInGameFolder(fileName)) return;
  std::vector<unsigned char> bytes;
  if (!ReadWholeImportFile(fileName, &bytes)) {
    OutputToDialog("Could not open file.");
    return;
  }
  ImportMeshFrom3DSMemory(bytes.data(), bytes.size(), fileName, scaleFactor);
}

void ImportMeshFrom3DSMemory(const unsigned char* data, size_t size, const char* fileName, float scaleFactor) {
  Import3DSFile file;
  if (!Parse3DS(data, size, scaleFactor, &file)) return;

  const std::string folder = FolderOfPath(fileName);
  struct Material {
    uint32_t texture = 0;
    int level = 0;
  };
  std::unordered_map<std::string, Material> byName;
  for (const Import3DSMaterial& m : file.materials) {
    if (byName.count(m.name)) continue;
    Material mat;
    if (!m.textureFile.empty()) {
      std::string path = folder + m.textureFile;
      mat.texture = ImportTextureFromPath(path.c_str());
      mat.level = LevelMaterialForTexture(m.name.c_str(), mat.texture, path.c_str() + std::strlen(routePath));
    }
    byName.emplace(m.name, mat);
  }

  // The objects join the level together: each numbers its own vertices from 0.
  ImportMesh all;
  size_t positions = 0, triangles = 0;
  for (const Import3DSObject& object : file.objects) {
    positions += object.mesh.positions.size();
    triangles += object.mesh.triangles.size();
  }
  all.positions.reserve(positions);
  all.triangles.reserve(triangles);
  for (Import3DSObject& object : file.objects) {
    const uint32_t offset = static_cast<uint32_t>(all.positions.size());
    const uint32_t count = static_cast<uint32_t>(object.mesh.positions.size());
    all.positions.insert(all.positions.end(), object.mesh.positions.begin(), object.mesh.positions.end());
    for (size_t i = 0; i < object.mesh.triangles.size(); i++) {
      ImportTriangle t = object.mesh.triangles[i];
      if (t.corner[0] >= count || t.corner[1] >= count || t.corner[2] >= count) continue;
      for (uint32_t& c : t.corner) c += offset;
      const std::string& name = object.faceMaterial[i];
      auto found = name.empty() ? byName.end() : byName.find(name);
      if (found != byName.end()) {
        t.theTexture = found->second.texture;
        t.meshworkMaterial = found->second.level;
      }
      all.triangles.push_back(t);
    }
  }
  AppendImportToLevel(all);
}
