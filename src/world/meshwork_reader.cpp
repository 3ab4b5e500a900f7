// Meshwork reader: vertices with bone names, edges, up to eight materials with triangles and
// texture-coordinate blocks, and the engine's own texture sections; the level reader puts the
// file's vertices, edges and triangles in front of the level's and has the level rebuilt
// before the next frame or query.
#include "world/meshwork_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "models/import_common.h"
#include "models/import_line_reader.h"
#include "models/model_types.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "world/level_mesh.h"

namespace {

constexpr size_t kMeshworkLine = 514;  // 513 characters and the terminator

bool StartsWith(const char* line, const char* word) { return std::strncmp(line, word, std::strlen(word)) == 0; }

// Splits a line into fields: at tabs when it has any (empty fields kept), else at blanks.
int SplitFields(char* line, char** fields, int maxFields) {
  int n = 0;
  if (std::strchr(line, '\t')) {
    char* p = line;
    while (n < maxFields) {
      char* tab = std::strchr(p, '\t');
      if (tab) *tab = '\0';
      while (*p == ' ') p++;
      char* e = p + std::strlen(p);
      while (e > p && e[-1] == ' ') *--e = '\0';
      fields[n++] = p;
      if (!tab) break;
      p = tab + 1;
    }
  } else {
    char* p = line;
    while (n < maxFields) {
      while (*p == ' ') p++;
      if (!*p) break;
      fields[n++] = p;
      while (*p && *p != ' ') p++;
      if (*p) *p++ = '\0';
    }
  }
  return n;
}

bool ParseLong(const char* text, long* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text) return false;
  *out = v;
  return true;
}

float ParseFloat(const char* text) {
  float f = std::strtof(text, nullptr);
  return f == f ? f : 0.0f;  // NaN reads as 0
}

void CopyCode(char* dst, const char* src) { ZNK_CopyString(dst, src, 5); }

void ParseMaterialLine(const char* line, MeshworkMaterial* m) {
  const char* p = line + 8;  // after "MATERIAL"
  if (*p == ' ') {
    char name[10];
    int used = 0;
    if (std::sscanf(p, " %9s%n", name, &used) == 1) p += used;
    while (*p && *p != ' ' && *p != '\t') p++;  // the rest of a longer name
  }
  *m = MeshworkMaterial{};
  int r, g, b;
  std::sscanf(p, "%d %d %d %d %d %d %d %f %f %f %f %f %f %d", &r, &g, &b, &m->smooth, &m->mapType, &m->reserved,
              &m->mapAxis, &m->mapX, &m->mapY, &m->mapZ, &m->mapX_Size, &m->mapY_Size, &m->mapZ_Size,
              &m->transparencyMode);
}

float Reciprocal(float size) { return size != 0.0f ? 1.0f / size : 1.0f; }

// The texture of material m of the file at `path`: path + m + ".png"; the model precache
// also tries ".bmp". The level finds it in the cache or adds it; a model gets its own.
uint32_t MaterialTexture(const char* path, int m, MeshworkReader reader) {
  static const char* const kExtensions[] = {".png", ".bmp"};
  const int tries = reader == kMeshworkModel ? 2 : 1;
  for (int i = 0; i < tries; i++) {
    char file[2100];
    std::snprintf(file, sizeof file, "%s%d%s", path, m, kExtensions[i]);
    if (!ZNK_FileExists(file)) continue;
    if (reader == kMeshworkModel) {
      unsigned int texture = 0;
      LoadTextureWithLibPNG(file, &texture);
      return texture;
    }
    size_t length = std::strlen(routePath);
    const char* relative = std::strncmp(file, routePath, length) == 0 ? file + length : file;
    textureFile* entry = AddTextureToCache(relative);
    return entry ? entry->theTexture : 0;
  }
  return 0;
}

// A "FILES" texture by name.
uint32_t NamedTexture(const char* name, MeshworkReader reader) {
  if (reader == kMeshworkLevel) return LoadTextureAsLoadtex(name);
  textureFile* entry = AddTextureToCache(name);
  return entry ? entry->theTexture : 0;
}

}  // namespace

int ConfirmMeshworkFileWithHeader(const char* fileName) {
  FILE* file = OpenGameFile(fileName);
  if (!file) return 0;
  char head[8];
  size_t got = std::fread(head, 1, 8, file);
  std::fclose(file);
  return got == 8 && std::memcmp(head, "Mesh\t1\t1", 8) == 0 ? 1 : 0;
}

void ParseMeshwork(const char* data, size_t size, float modelImportFactor, const char* path, MeshworkReader reader,
                   MeshworkFile* out) {
  ImportLineReader r(data, size);
  char line[kMeshworkLine];
  char work[kMeshworkLine];
  char* f[16];

  r.line(line, sizeof line, false);
  r.line(line, sizeof line, false);

  // Vertices, up to a line whose first character is "E".
  const char* const end = data + size;
  const char* firstVertex = nullptr;
  bool have = false;
  while ((have = r.line(line, sizeof line, false))) {
    if (line[0] == 'E') break;
    const char* at = data + r.pos;
    std::memcpy(work, line, sizeof work);
    int n = SplitFields(work, f, 8);
    long number;
    if (n < 4 || !ParseLong(f[0], &number)) continue;
    MeshworkVertex v{};
    v.number = number;
    v.pos = FileUnitsToWorld(vector_type{ParseFloat(f[1]), ParseFloat(f[2]), ParseFloat(f[3])}, modelImportFactor);
    v.weight = 100;
    if (n > 4) CopyCode(v.bone1, f[4]);
    if (n > 5) CopyCode(v.bone2, f[5]);
    long weight;
    if (n > 6 && ParseLong(f[6], &weight)) v.weight = static_cast<int>(weight);
    if (n > 7) CopyCode(v.bone3, f[7]);
    if (!firstVertex) firstVertex = at;
    MakeRoom(&out->vertices, firstVertex, at, end);
    out->vertices.push_back(v);
  }
  if (!have) return;

  // Vertex numbers run from 0 to the count minus one.
  const size_t count = out->vertices.size();
  std::vector<int64_t> byNumber(count, -1);
  for (size_t i = 0; i < count; i++) {
    long number = out->vertices[i].number;
    if (number >= 0 && static_cast<size_t>(number) < count && byNumber[number] < 0) byNumber[number] = static_cast<int64_t>(i);
  }
  auto lookup = [&](const char* text, uint32_t* slot) {
    long number;
    if (!ParseLong(text, &number) || number < 0 || static_cast<size_t>(number) >= count) return false;
    if (byNumber[number] < 0) return false;
    *slot = static_cast<uint32_t>(byNumber[number]);
    return true;
  };

  // Edges, up to the first material line.
  while ((have = r.line(line, sizeof line, false))) {
    if (line[0] == 'M' || StartsWith(line, "END")) break;
    std::memcpy(work, line, sizeof work);
    int n = SplitFields(work, f, 2);
    uint32_t a, b;
    if (n == 2 && lookup(f[0], &a) && lookup(f[1], &b)) {
      out->edges.push_back(a);
      out->edges.push_back(b);
    }
  }

  uint32_t texture = 0;
  bool inUVs = false;
  int m = -1;
  const char* firstTriangle = nullptr;
  // Materials until "END"; a ninth material and all after it are skipped.
  while (have && !StartsWith(line, "END")) {
    if (StartsWith(line, "MATERIAL")) {
      inUVs = false;
      m++;
      if (m >= kMeshworkMaxMaterials) {
        while ((have = r.line(line, sizeof line, false)) && !StartsWith(line, "END")) {
        }
        break;
      }
      MeshworkMaterial mat;
      ParseMaterialLine(line, &mat);
      if (mat.mapType != 0) {
        if (mat.mapType == 1) {
          mat.mapX -= mat.mapX_Size / 2;
          mat.mapX_Size = Reciprocal(mat.mapX_Size);
          mat.mapY -= mat.mapY_Size / 2;
          mat.mapY_Size = Reciprocal(mat.mapY_Size);
          mat.mapZ -= mat.mapZ_Size / 2;
          mat.mapZ_Size = Reciprocal(mat.mapZ_Size);
        }
        texture = MaterialTexture(path, m, reader);
      }
      mat.texture = texture;
      out->materials.push_back(mat);
    } else if (m >= 0 && StartsWith(line, "UVS")) {
      inUVs = true;
    } else if (m >= 0 && inUVs) {
      std::memcpy(work, line, sizeof work);
      int n = SplitFields(work, f, 3);
      uint32_t slot;
      if (n == 3 && lookup(f[0], &slot)) {
        MeshworkVertex& v = out->vertices[slot];
        v.u = ParseFloat(f[1]);
        v.v = ParseFloat(f[2]);
        if (gSwapTextureV) v.v = 1.0f - v.v;
      }
    } else if (m >= 0) {
      std::memcpy(work, line, sizeof work);
      int n = SplitFields(work, f, 3);
      MeshworkTriangle t{};
      if (n == 3 && lookup(f[0], &t.corner[0]) && lookup(f[1], &t.corner[1]) && lookup(f[2], &t.corner[2])) {
        const MeshworkMaterial& mat = out->materials[m];
        t.material = m;
        t.theTexture = mat.texture;
        t.transparent = mat.transparencyMode != 0;
        t.smooth = mat.smooth != 0;
        for (int k = 0; k < 3; k++) {
          const MeshworkVertex& v = out->vertices[t.corner[k]];
          t.u[k] = v.u;
          t.v[k] = v.v;
          if (mat.mapType == 1) {
            // Planar mapping works in file units.
            const float px = v.pos.x * 660.0f, py = v.pos.y * 660.0f, pz = v.pos.z * 660.0f;
            if (mat.mapAxis == 0) {
              t.u[k] = (pz - mat.mapZ) * mat.mapZ_Size;
              t.v[k] = (py - mat.mapY) * mat.mapY_Size;
            } else if (mat.mapAxis == 1) {
              t.u[k] = (px - mat.mapX) * mat.mapX_Size;
              t.v[k] = (pz - mat.mapZ) * mat.mapZ_Size;
            } else {
              t.u[k] = (px - mat.mapX) * mat.mapX_Size;
              t.v[k] = (py - mat.mapY) * mat.mapY_Size;
            }
            if (gSwapTextureV) t.v[k] = 1.0f - t.v[k];
          }
        }
        const char* at = data + r.pos;
        if (!firstTriangle) firstTriangle = at;
        MakeRoom(&out->triangles, firstTriangle, at, end);
        out->triangles.push_back(t);
      }
    }
    have = r.line(line, sizeof line, false);
    // The end of a texture-coordinate block hands the block's values to the material's
    // triangles.
    if (inUVs && (!have || StartsWith(line, "MATERIAL") || StartsWith(line, "END"))) {
      for (MeshworkTriangle& t : out->triangles) {
        if (t.material != m) continue;
        for (int k = 0; k < 3; k++) {
          t.u[k] = out->vertices[t.corner[k]].u;
          t.v[k] = out->vertices[t.corner[k]].v;
        }
        t.theTexture = out->materials[m].texture;
      }
      inUVs = false;
    }
  }
  if (!have) return;

  // The engine's texture sections.
  if (!r.line(line, sizeof line, false) || !StartsWith(line, "ZNK_TEXTURES")) return;
  out->znkTextures = true;
  size_t next = 0;
  while ((have = r.line(line, sizeof line, false))) {
    if (StartsWith(line, "FILES")) break;
    if (line[0] == '\0') return;  // an empty line ends the file's reading
    if (next >= out->triangles.size()) continue;
    MeshworkTriangle& t = out->triangles[next++];
    std::memcpy(work, line, sizeof work);
    int n = SplitFields(work, f, 5);
    long number = 0;
    if (n > 0 && ParseLong(f[0], &number)) t.numConnects = static_cast<int>(number);
    for (int k = 0; k < 3; k++) {
      if (n > k + 1) std::sscanf(f[k + 1], "%f,%f", &t.u[k], &t.v[k]);
    }
    t.theTexture = 0;
    if (n > 4) {
      for (int c = 0; c < 3 && f[4][c]; c++) {
        if (f[4][c] == 't') t.transparent = 1;
        if (f[4][c] == 's') t.smooth = 1;
        if (f[4][c] == 'i') t.invisible = 1;
      }
    }
  }
  if (!have) return;
  std::unordered_map<int, uint32_t> files;
  while (r.line(line, sizeof line, false)) {
    if (StartsWith(line, "END")) break;
    if (StartsWith(line, "UV_FIX")) {
      out->uvFix = true;
      break;
    }
    char* tab = std::strchr(line, '\t');
    if (!tab) continue;
    *tab = '\0';
    long number;
    if (!ParseLong(line, &number)) continue;
    uint32_t tex = NamedTexture(tab + 1, reader);
    files[static_cast<int>(number)] = tex;
  }
  if (files.empty()) return;
  for (MeshworkTriangle& t : out->triangles) {
    auto found = files.find(t.numConnects);
    if (found != files.end()) t.theTexture = found->second;
  }
}


void LoadTrianglesFromMeshworkModel(const char* fileName, float modelImportFactor, int clearAll) {
  if (!ConfirmMeshworkFileWithHeader(fileName)) {
    OutputToConsoleF("Not a valid meshwork file: \"%s\"\n", fileName);
    return;
  }
  std::vector<unsigned char> bytes;
  if (ReadWholeImportFile(fileName, &bytes)) {
    LoadTrianglesFromMeshworkMemory(reinterpret_cast<const char*>(bytes.data()), bytes.size(), fileName,
                                    modelImportFactor, clearAll);
    return;
  }
  // An unreadable file leaves the lists as they are; the level is rebuilt all the same.
  MarkLevelChanged();
}

void LoadTrianglesFromMeshworkMemory(const char* data, size_t size, const char* fileName, float modelImportFactor,
                                     int clearAll) {
  if (clearAll) DeleteVertices(1);
  SyncLevelTriangleList();
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) v->selected = 0;

  MeshworkFile file;
  ParseMeshwork(data, size, modelImportFactor, fileName, kMeshworkLevel, &file);

  if (!file.vertices.empty()) {
    // The new elements go in front of the level's.
    mesh_vert* oldVerts = baseMeshVert.next;
    mesh_edge* oldEdges = baseEdge.next;
    level_triangle* oldTrigs = baseLT.next;
    baseMeshVert.next = nullptr;

    std::vector<mesh_vert*> verts(file.vertices.size());
    mesh_vert* lastV = &baseMeshVert;
    for (size_t i = 0; i < file.vertices.size(); i++) {
      const MeshworkVertex& src = file.vertices[i];
      mesh_vert* v = NewEmptyMeshVert(FinitePosition(src.pos));
      v->index = static_cast<uint32_t>(i);
      v->weight = static_cast<int16_t>(src.weight);
      v->selected = 1;
      v->oldSelected = 0;
      v->u = src.u;
      v->v = src.v;
      if (src.bone1[0]) CopyCode(v->bone1, src.bone1);
      if (src.bone2[0]) CopyCode(v->bone2, src.bone2);
      if (src.bone3[0]) {
        CopyCode(v->signature, src.bone3);
        v->isBone = 1;
      }
      verts[i] = v;
      lastV->next = v;
      lastV = v;
    }
    lastV->next = oldVerts;

    mesh_edge* lastE = &baseEdge;
    for (size_t i = 0; i + 1 < file.edges.size(); i += 2) {
      mesh_edge* e = NewMeshEdge(verts[file.edges[i]], verts[file.edges[i + 1]]);
      lastE->next = e;
      lastE = e;
    }
    lastE->next = oldEdges;

    level_triangle* lastT = &baseLT;
    for (const MeshworkTriangle& src : file.triangles) {
      level_triangle* t = NewLevelTriangle();
      for (int k = 0; k < 3; k++) {
        t->vertexPtrs[k] = verts[src.corner[k]];
        t->u[k] = src.u[k];
        t->v[k] = src.v[k];
      }
      t->normal = GetNormalOfTrig(t->vertexPtrs[0]->pos, t->vertexPtrs[1]->pos, t->vertexPtrs[2]->pos);
      t->theTexture = src.theTexture;
      t->meshworkMaterial = src.material;
      t->numConnects = src.numConnects;
      t->visible = 1;
      t->invisible = src.invisible;
      t->transparent = src.transparent;
      t->smooth = src.smooth;
      lastT->next = t;
      lastT = t;
    }
    lastT->next = oldTrigs;
    // The level's numbering 0..n-1 in list order, as the rebuild would give it: the new
    // vertices took theirs as they were made, the level's earlier ones follow them.
    NumberLevelVertices(lastV, static_cast<uint32_t>(file.vertices.size()));
  }
  // The rebuild runs before the next frame or query, once for all the files a load script reads.
  MarkLevelChanged();
}
