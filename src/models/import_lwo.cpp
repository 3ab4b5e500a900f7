// Lightwave reader: big-endian IFF chunks (points, polygons, tags, polygon tags, surfaces with
// their texture blocks, clips, UV maps and their per-polygon overrides), then texture
// coordinates by each surface's projection, then one append to the level.
#include "models/import_lwo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "models/import_common.h"
#include "models/materials.h"
#include "models/model_types.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"

int LWOIsChunk(const char* id) {
  return (std::strncmp(id, "SURF", 4) == 0 || std::strncmp(id, "COLR", 4) == 0) ? 1 : 0;
}

namespace {

struct BigEndian {
  const unsigned char* data;
  size_t end;  // reading stops here

  bool u16(size_t& p, uint32_t* v) const {
    if (p + 2 > end) return false;
    *v = (static_cast<uint32_t>(data[p]) << 8) | data[p + 1];
    p += 2;
    return true;
  }
  bool u32(size_t& p, uint32_t* v) const {
    if (p + 4 > end) return false;
    *v = (static_cast<uint32_t>(data[p]) << 24) | (static_cast<uint32_t>(data[p + 1]) << 16) |
         (static_cast<uint32_t>(data[p + 2]) << 8) | data[p + 3];
    p += 4;
    return true;
  }
  bool f32(size_t& p, float* f) const {
    uint32_t bits;
    if (!u32(p, &bits)) return false;
    std::memcpy(f, &bits, 4);
    if (!std::isfinite(*f)) *f = 0.0f;
    return true;
  }
  // A variable-length index of the LWO2 layout: two bytes, or four when the first is 0xFF.
  bool vx(size_t& p, uint32_t* v, bool lwo2) const {
    if (lwo2 && p < end && data[p] == 0xFF) {
      uint32_t w;
      if (!u32(p, &w)) return false;
      *v = w & 0x00FFFFFF;
      return true;
    }
    return u16(p, v);
  }
  // A zero-terminated name padded to an even length.
  std::string name(size_t& p) const {
    size_t start = p;
    std::string s;
    while (p < end && data[p] != 0) {
      if (s.size() < 1023) s.push_back(static_cast<char>(data[p]));
      p++;
    }
    if (p < end) p++;
    if ((p - start) % 2 && p < end) p++;
    return s;
  }
  bool id(size_t p, const char* four) const { return p + 4 <= end && std::memcmp(data + p, four, 4) == 0; }
};

struct Surface {
  std::string name;
  int level = 0;        // its level material
  int clip = -1;        // image clip number
  int proj = 0, axis = 0;
  vector_type center = {0, 0, 0}, size = {1, 1, 1};
  std::string vmapName;
  int vmap = -1;        // index into the UV maps
};

struct Clip {
  uint32_t number = 0;
  uint32_t texture = 0;
  std::string name;
};

struct LwoTriangle {
  uint32_t p[3];  // global vertex numbers
  int polygon;    // number over all polygon chunks
  int tag = 0;  // a polygon without a polygon-tag entry takes tag 0
  float u[3] = {0, 0, 0}, v[3] = {0, 0, 0};
  uint32_t texture = 0;
};

struct LwoReader {
  std::vector<vector_type> points;  // file units, z mirrored
  size_t pointBase = 0;             // first vertex of the last point chunk
  std::vector<LwoTriangle> triangles;
  // Per polygon of the last POLS chunk, the triangles made of it: `count` from `first` on.
  struct PolygonTriangles {
    uint32_t first, count;
  };
  std::vector<PolygonTriangles> lastPolsTriangles;
  int polygonCount = 0;
  int unsupportedPolys = 0;
  bool unsupportedMapping = false;
  std::vector<LWOTAG> tags;
  std::vector<Surface> surfaces;
  std::vector<Clip> clips;
  std::vector<LWOVMAP> vmaps;
  std::unordered_map<std::string, int> vmapByName;  // the first map of a name
  std::string folder;
};

void ReadPoints(const BigEndian& r, size_t p, LwoReader* L) {
  L->pointBase = L->points.size();
  if (p < r.end) ReserveMore(&L->points, (r.end - p) / 12);
  while (p + 12 <= r.end) {
    float x, y, z;
    r.f32(p, &x);
    r.f32(p, &y);
    r.f32(p, &z);
    L->points.push_back({x, y, -z});
  }
}

void ReadPolygons(const BigEndian& r, size_t p, bool lwo2, LwoReader* L) {
  if (lwo2) p += 4;  // polygon type
  L->lastPolsTriangles.clear();
  // A polygon takes at least 4 bytes, and at most two triangles come of 10 bytes.
  if (p < r.end) {
    L->lastPolsTriangles.reserve((r.end - p) / 4);
    ReserveMore(&L->triangles, (r.end - p) / 5);
  }
  std::vector<uint32_t> corners;
  while (p + 2 <= r.end) {
    uint32_t count;
    r.u16(p, &count);
    if (lwo2) count &= 0x03FF;  // the upper bits are flags
    corners.clear();
    bool complete = true;
    for (uint32_t k = 0; k < count; k++) {
      uint32_t n;
      if (!r.vx(p, &n, lwo2)) {
        complete = false;
        break;
      }
      corners.push_back(n);
    }
    if (!complete) break;
    if (!lwo2) {
      uint32_t surface;
      if (!r.u16(p, &surface)) break;
      // A negative surface is followed by the count of detail polygons, read as ordinary ones.
      if (surface & 0x8000) {
        uint32_t detail;
        if (!r.u16(p, &detail)) break;
      }
    }
    const int polygon = L->polygonCount++;
    LwoReader::PolygonTriangles made = {static_cast<uint32_t>(L->triangles.size()), 0};
    auto valid = [&](uint32_t n) { return L->pointBase + n < L->points.size(); };
    auto add = [&](uint32_t a, uint32_t b, uint32_t c) {
      if (!valid(a) || !valid(b) || !valid(c)) return;
      LwoTriangle t;
      t.p[0] = static_cast<uint32_t>(L->pointBase + b);
      t.p[1] = static_cast<uint32_t>(L->pointBase + a);
      t.p[2] = static_cast<uint32_t>(L->pointBase + c);
      t.polygon = polygon;
      made.count++;
      L->triangles.push_back(t);
    };
    if (count == 3) {
      add(corners[0], corners[1], corners[2]);
    } else if (count == 4) {
      // Quads become two triangles over the diagonal from the first corner.
      add(corners[0], corners[1], corners[2]);
      add(corners[0], corners[2], corners[3]);
    } else if (count != 1) {
      L->unsupportedPolys++;
    }
    L->lastPolsTriangles.push_back(made);
  }
}

void ReadPolygonTags(const BigEndian& r, size_t p, bool lwo2, LwoReader* L) {
  if (!r.id(p, "SURF")) return;
  p += 4;
  while (p < r.end) {
    uint32_t polygon, tag;
    if (!r.vx(p, &polygon, lwo2) || !r.u16(p, &tag)) break;
    if (polygon >= L->lastPolsTriangles.size()) continue;
    const LwoReader::PolygonTriangles made = L->lastPolsTriangles[polygon];
    for (uint32_t t = made.first; t < made.first + made.count; t++) L->triangles[t].tag = static_cast<int>(tag);
  }
}

void ReadTextureMap(const BigEndian& outer, size_t p, Surface* s) {
  while (p + 6 <= outer.end) {
    const size_t head = p;
    uint32_t length = 0;
    p += 4;
    outer.u16(p, &length);
    BigEndian r{outer.data, std::min(outer.end, p + length)};
    size_t q = p;
    if (r.id(head, "CNTR")) {
      r.f32(q, &s->center.x);
      r.f32(q, &s->center.y);
      r.f32(q, &s->center.z);
    } else if (r.id(head, "SIZE")) {
      r.f32(q, &s->size.x);
      r.f32(q, &s->size.y);
      r.f32(q, &s->size.z);
    }
    p += length + (length & 1);
  }
}

void ReadBlock(const BigEndian& outer, size_t p, bool lwo2, Surface* s, LwoReader* L) {
  while (p + 6 <= outer.end) {
    const size_t head = p;
    uint32_t length = 0;
    p += 4;
    outer.u16(p, &length);
    BigEndian r{outer.data, std::min(outer.end, p + length)};
    size_t q = p;
    uint32_t value;
    if (r.id(head, "TMAP")) {
      ReadTextureMap(r, q, s);
    } else if (r.id(head, "PROJ")) {
      if (r.u16(q, &value)) {
        s->proj = static_cast<int>(value);
        if (value != 0 && value != 5) L->unsupportedMapping = true;
      }
    } else if (r.id(head, "IMAG")) {
      if (r.vx(q, &value, lwo2)) s->clip = static_cast<int>(value);
    } else if (r.id(head, "AXIS")) {
      if (r.u16(q, &value)) s->axis = static_cast<int>(value);
    } else if (r.id(head, "VMAP")) {
      s->vmapName = r.name(q);
    }
    p += length + (length & 1);
  }
}

void ReadSurface(const BigEndian& r, size_t p, bool lwo2, LwoReader* L) {
  Surface s;
  s.name = r.name(p);
  if (lwo2) r.name(p);  // the source surface
  uint32_t before = gNumMaterials;
  MeshEditorAddMaterial(s.name.c_str());
  s.level = gNumMaterials > before ? static_cast<int>(gNumMaterials - 1) : 0;
  while (p + 6 <= r.end) {
    const size_t head = p;
    uint32_t length = 0;
    p += 4;
    r.u16(p, &length);
    BigEndian sub{r.data, std::min(r.end, p + length)};
    if (sub.id(head, "BLOK")) ReadBlock(sub, p, lwo2, &s, L);
    p += length + (length & 1);
  }
  auto found = L->vmapByName.find(s.vmapName);
  if (found != L->vmapByName.end()) s.vmap = found->second;
  L->surfaces.push_back(s);
}

void ReadClip(const BigEndian& r, size_t p, LwoReader* L) {
  Clip c;
  if (!r.u32(p, &c.number)) return;
  if (p + 6 > r.end) return;
  p += 4;
  uint32_t length;
  r.u16(p, &length);
  BigEndian sub{r.data, std::min(r.end, p + length)};
  std::string name = sub.name(p);
  size_t slash = name.find_last_of("/\\:");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  std::string path = L->folder + name;
  c.texture = ImportTextureFromPath(path.c_str());
  c.name = path.substr(std::strlen(routePath) <= path.size() ? std::strlen(routePath) : 0);
  L->clips.push_back(c);
}

void ReadUVMap(const BigEndian& r, size_t p, bool lwo2, LwoReader* L) {
  if (!r.id(p, "TXUV")) return;
  p += 4;
  uint32_t dimension;
  if (!r.u16(p, &dimension) || dimension != 2) return;
  LWOVMAP m;
  m.signature = r.name(p);
  m.index = static_cast<int>(L->vmaps.size());
  while (p < r.end) {
    uint32_t point;
    float u, v;
    if (!r.vx(p, &point, lwo2) || !r.f32(p, &u) || !r.f32(p, &v)) break;
    size_t g = L->pointBase + point;
    if (g >= L->points.size()) continue;
    m.at[static_cast<uint32_t>(g)] = m.i.size();
    m.i.push_back(static_cast<uint32_t>(g));
    m.u.push_back(u);
    m.v.push_back(1.0f - v);
  }
  L->vmapByName.emplace(m.signature, m.index);
  L->vmaps.push_back(std::move(m));
}

void ReadUVOverrides(const BigEndian& r, size_t p, bool lwo2, LwoReader* L) {
  if (!r.id(p, "TXUV")) return;
  p += 4;
  uint32_t dimension;
  if (!r.u16(p, &dimension) || dimension != 2) return;
  std::string name = r.name(p);
  auto found = L->vmapByName.find(name);
  if (found == L->vmapByName.end()) return;
  LWOVMAP* map = &L->vmaps[found->second];
  LWOVMAD& d = map->vmad;
  d.signature = name;
  while (p < r.end) {
    uint32_t point, polygon;
    float u, v;
    if (!r.vx(p, &point, lwo2) || !r.vx(p, &polygon, lwo2) || !r.f32(p, &u) || !r.f32(p, &v)) break;
    d.i.push_back(static_cast<uint32_t>(L->pointBase + point));
    d.t.push_back(static_cast<int>(polygon));
    d.u.push_back(u);
    d.v.push_back(1.0f - v);
    d.numEntries++;
  }
}

float SafeSize(float s) { return s != 0.0f ? s : 1.0f; }

void PlanarCoordinates(const Surface& s, int axis, vector_type c, float* u, float* v) {
  const vector_type C = s.center;
  const vector_type S = {SafeSize(s.size.x), SafeSize(s.size.y), SafeSize(s.size.z)};
  if (axis == 0) {
    *u = (c.z - C.z) / S.z + 0.5f;
    *v = 1.0f - ((c.y - C.y) / S.y + 0.5f);
  } else if (axis == 1) {
    *u = (c.x - C.x) / S.x + 0.5f;
    *v = 1.0f - ((c.z - C.z) / S.z + 0.5f);
  } else {
    *u = (c.x - C.x) / S.x + 0.5f;
    *v = 1.0f - ((c.y - C.y) / S.y + 0.5f);
  }
}

}  // namespace

void ImportLightwaveModel(const char* fileName, float scaleFactor) {
  if (!ImportPathInGameFolder(fileName)) return;
  std::vector<unsigned char> bytes;
  if (!ReadWholeImportFile(fileName, &bytes)) return;
  ImportLightwaveFromMemory(bytes.data(), bytes.size(), fileName, scaleFactor);
}

void ImportLightwaveFromMemory(const unsigned char* data, size_t size, const char* fileName, float scaleFactor) {
  if (size < 12 || std::memcmp(data, "FORM", 4) != 0) {
    OutputToDialog("This is no valid LWO model.");
    return;
  }
  const bool lwo2 = std::memcmp(data + 8, "LWO2", 4) == 0;
  BigEndian file{data, size};
  size_t p = 4;
  uint32_t formSize = 0;
  file.u32(p, &formSize);
  const size_t formEnd = std::min(size, static_cast<size_t>(formSize) + 8);

  LwoReader L;
  L.folder = FolderOfPath(fileName);
  p = 12;
  while (p + 8 <= formEnd) {
    const size_t head = p;
    uint32_t length = 0;
    p += 4;
    file.u32(p, &length);
    const size_t end = (length > formEnd - p) ? formEnd : p + length;
    BigEndian chunk{data, end};
    if (file.id(head, "PNTS")) {
      ReadPoints(chunk, p, &L);
    } else if (file.id(head, "POLS")) {
      ReadPolygons(chunk, p, lwo2, &L);
    } else if (file.id(head, "TAGS") || file.id(head, "SRFS")) {
      size_t q = p;
      while (q < end) L.tags.push_back(LWOTAG{chunk.name(q)});
    } else if (file.id(head, "PTAG")) {
      ReadPolygonTags(chunk, p, lwo2, &L);
    } else if (file.id(head, "SURF")) {
      ReadSurface(chunk, p, lwo2, &L);
    } else if (file.id(head, "CLIP")) {
      ReadClip(chunk, p, &L);
    } else if (file.id(head, "VMAP")) {
      ReadUVMap(chunk, p, lwo2, &L);
    } else if (file.id(head, "VMAD")) {
      ReadUVOverrides(chunk, p, lwo2, &L);
    }
    if (end >= formEnd) break;
    p = end + ((end - head) & 1);  // chunks are padded to an even length
  }

  std::unordered_map<int, const Clip*> clipByNumber;
  for (const Clip& c : L.clips) clipByNumber.emplace(static_cast<int>(c.number), &c);
  auto clipOf = [&](int number) -> const Clip* {
    auto found = clipByNumber.find(number);
    return found == clipByNumber.end() ? nullptr : found->second;
  };
  std::unordered_map<std::string, const Surface*> surfaceByMap;
  for (const Surface& s : L.surfaces) surfaceByMap.emplace(s.vmapName, &s);

  // UV maps with a surface and a clip give textures to the triangles that use their points:
  // each map hands its values to the corners on its points, and the triangle textures are
  // those of the last map (every map resets them first).
  // The corners on each point, as (triangle, corner) in triangle order: those of point q are
  // corners[firstCorner[q]] up to corners[firstCorner[q + 1]].
  std::vector<uint32_t> firstCorner;
  std::vector<std::pair<uint32_t, int>> corners;
  if (!L.vmaps.empty()) {
    firstCorner.assign(L.points.size() + 1, 0);
    for (const LwoTriangle& t : L.triangles)
      for (int k = 0; k < 3; k++) firstCorner[t.p[k] + 1]++;
    for (size_t q = 1; q < firstCorner.size(); q++) firstCorner[q] += firstCorner[q - 1];
    std::vector<uint32_t> fill(firstCorner.begin(), firstCorner.end() - 1);
    corners.resize(firstCorner.back());
    for (uint32_t t = 0; t < L.triangles.size(); t++)
      for (int k = 0; k < 3; k++) corners[fill[L.triangles[t].p[k]]++] = {t, k};
  }
  for (size_t mi = 0; mi < L.vmaps.size(); mi++) {
    const LWOVMAP& m = L.vmaps[mi];
    uint32_t texture = 0;
    auto surface = surfaceByMap.find(m.signature);
    if (surface != surfaceByMap.end()) {
      const Clip* c = clipOf(surface->second->clip);
      if (c) texture = c->texture;
    }
    const bool last = mi + 1 == L.vmaps.size();
    if (last) {
      for (LwoTriangle& t : L.triangles) t.texture = 0;
    }
    for (const auto& entry : m.at) {
      if (entry.first >= L.points.size()) continue;
      for (uint32_t c = firstCorner[entry.first]; c < firstCorner[entry.first + 1]; c++) {
        const std::pair<uint32_t, int>& corner = corners[c];
        LwoTriangle& t = L.triangles[corner.first];
        t.u[corner.second] = m.u[entry.second];
        t.v[corner.second] = m.v[entry.second];
        if (last) t.texture = texture;
      }
    }
  }
  for (const Surface& s : L.surfaces) {
    const Clip* c = clipOf(s.clip);
    if (!c || s.level < 0 || static_cast<uint32_t>(s.level) >= gNumMaterials) continue;
    zntlmtrl* m = &gMaterials[s.level];
    ZNK_CopyString(m->fileName, c->name.c_str(), sizeof m->fileName);
    m->materialTexture = c->texture;
    m->mapType = 4;
  }

  ImportMesh mesh;
  mesh.positions.reserve(L.points.size());
  for (const vector_type& q : L.points) mesh.positions.push_back(FileUnitsToWorld(q, scaleFactor));
  std::unordered_map<std::string, const Surface*> surfaceByName;
  for (const Surface& s : L.surfaces) surfaceByName.emplace(s.name, &s);
  // The level material and the surface of each tag, looked up once for all its triangles (a
  // triangle whose tag the file lacks has the name "").
  struct TagUse {
    int material;
    const Surface* surface;
  };
  std::vector<TagUse> tagUses(L.tags.size() + 1);
  for (size_t k = 0; k <= L.tags.size(); k++) {
    const char* tagName = k < L.tags.size() ? L.tags[k].str.c_str() : "";
    auto found = surfaceByName.find(tagName);
    tagUses[k] = {static_cast<int>(GetMaterialNumberByName(tagName)),
                  found != surfaceByName.end() ? found->second : nullptr};
  }
  // The per-polygon overrides of each UV map, found by polygon number.
  std::vector<std::unordered_map<int, std::vector<size_t>>> overrides(L.vmaps.size());
  for (size_t mi = 0; mi < L.vmaps.size(); mi++) {
    const LWOVMAD& d = L.vmaps[mi].vmad;
    for (size_t e = 0; e < d.numEntries; e++) overrides[mi][d.t[e]].push_back(e);
  }

  mesh.triangles.reserve(L.triangles.size());
  for (LwoTriangle& t : L.triangles) {
    ImportTriangle it = DefaultImportTriangle(t.p[0], t.p[1], t.p[2]);
    it.numConnects = t.polygon;
    it.theTexture = t.texture;
    const TagUse& use = tagUses[(t.tag >= 0 && static_cast<size_t>(t.tag) < L.tags.size()) ? t.tag : L.tags.size()];
    it.meshworkMaterial = use.material;
    const Surface* s = use.surface;
    if (s) {
      if (s->proj == 0 || s->proj == 3) {
        int axis = s->axis;
        if (s->proj == 3) {
          vector_type n = GetNormalOfTrig(mesh.positions[t.p[0]], mesh.positions[t.p[1]], mesh.positions[t.p[2]]);
          float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
          axis = 0;
          if (ay > ax) axis = 1;
          if (az > std::max(ax, ay)) axis = 2;
        }
        for (int k = 0; k < 3; k++) PlanarCoordinates(*s, axis, L.points[t.p[k]], &t.u[k], &t.v[k]);
      } else if (s->proj == 5) {
        if (s->vmap >= 0) {
          const LWOVMAP& m = L.vmaps[s->vmap];
          for (int k = 0; k < 3; k++) m.has(t.p[k], &t.u[k], &t.v[k]);
        }
      } else {
        for (int k = 0; k < 3; k++) t.u[k] = t.v[k] = 0.0f;
      }
      if (s->vmap >= 0) {
        const LWOVMAD& d = L.vmaps[s->vmap].vmad;
        auto entries = overrides[s->vmap].find(t.polygon);
        const std::vector<size_t> none;
        for (size_t e : entries != overrides[s->vmap].end() ? entries->second : none) {
          for (int k = 0; k < 3; k++) {
            if (t.p[k] == d.i[e]) {
              t.u[k] = d.u[e];
              t.v[k] = d.v[e];
            }
          }
        }
      }
    }
    for (int k = 0; k < 3; k++) {
      it.u[k] = t.u[k];
      it.v[k] = t.v[k];
    }
    mesh.triangles.push_back(it);
  }

  if (L.unsupportedMapping)
    OutputToConsole("// The model uses unsupported mapping modes. Only Planar and UV mapping are supported.\n");
  if (L.unsupportedPolys)
    OutputToConsoleF("// %d polys have an unsupported amount of vertices, ie not 1,3 or 4 and will be ignored.\n",
                     L.unsupportedPolys);
  AppendImportToLevel(mesh);
}
