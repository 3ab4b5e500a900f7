// The skinned model loader and disposer: reads the engine's own text model file (bones,
// vertices, edges, materials with their seams, animations) into a zntlmdl. Every count and
// index is checked; a malformed file is rejected with a "//" console line.
#include "models/zntl_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "models/import_common.h"
#include "models/materials.h"
#include "models/model_blocks.h"
#include "models/number_scan.h"
#include "models/skeleton.h"
#include "script/script_file.h"
#include "shell/output.h"

namespace {

constexpr size_t kModelLineLimit = 513;          // longer lines are cut and continued
constexpr size_t kMaxModelFileSize = 512u << 20;  // larger files are refused

// Reading position in the file's bytes.
struct ModelReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
  const char* failure;  // the first reason the file was rejected, or null

  size_t remaining() const { return size - pos; }
  bool atEnd() const { return pos >= size; }

  // One line into `buffer` (kModelLineLimit + 1 bytes). A line ends at CR or LF; a LF right
  // after a CR belongs to the same end. False when the file ended before any character.
  bool line(char* buffer) {
    if (atEnd()) {
      buffer[0] = '\0';
      return false;
    }
    size_t n = 0;
    while (pos < size) {
      unsigned char c = data[pos];
      if (c == '\r' || c == '\n') {
        pos++;
        if (c == '\r' && pos < size && data[pos] == '\n') pos++;
        break;
      }
      if (n >= kModelLineLimit) break;
      buffer[n++] = (c == '\0') ? ' ' : static_cast<char>(c);
      pos++;
    }
    buffer[n] = '\0';
    return true;
  }

  bool fail(const char* why) {
    if (!failure) failure = why;
    return false;
  }

  // A line that must exist.
  bool need(char* buffer) { return line(buffer) || fail("the file ends early"); }

  // A count on a line by itself; it cannot exceed the bytes left, since every item it counts
  // takes at least one line.
  bool count(uint32_t* result) {
    char buffer[kModelLineLimit + 1];
    if (!need(buffer)) return false;
    long value = 0;
    if (ScanNumbers(buffer, "%ld", &value) != 1) value = 0;
    if (value < 0) return fail("a negative count");
    if (static_cast<unsigned long>(value) > remaining() + 1) return fail("a count larger than the file");
    *result = static_cast<uint32_t>(value);
    return true;
  }
};

// Seconds to milliseconds, truncated toward zero and kept inside 32 bits.
uint32_t SecondsToMs(float seconds) {
  double ms = static_cast<double>(seconds) * 1000.0;
  if (!std::isfinite(ms)) return 0;
  if (ms >= 4294967295.0) return 4294967295u;
  if (ms <= -2147483648.0) return static_cast<uint32_t>(INT32_MIN);
  if (ms < 0.0) return static_cast<uint32_t>(static_cast<int32_t>(ms));
  return static_cast<uint32_t>(ms);
}

template <typename T>
T* AllocArray(size_t n) {
  return static_cast<T*>(std::calloc(n ? n : 1, sizeof(T)));
}

// Zeroed records for one of the model's chains, handed out in file order from blocks the model
// owns: a large model costs a few allocations instead of one per record, and each chain lies
// in order in memory. A block holds at most the records still to come, and grows with the
// records made so far, so a count the file does not live up to costs little.
template <typename T>
struct RecordSupply {
  T* next = nullptr;
  size_t left = 0;
  size_t made = 0;
};

template <typename T>
T* NewModelRecord(zntlmdl* mdl, RecordSupply<T>* supply, size_t stillToCome) {
  if (supply->left == 0) {
    constexpr size_t kFirstBlock = 256;
    constexpr size_t kHeader = (sizeof(zntlrecordblock) + alignof(T) - 1) / alignof(T) * alignof(T);
    size_t n = std::max(supply->made, kFirstBlock);
    if (n > stillToCome) n = stillToCome;
    if (n == 0) n = 1;
    void* raw = std::calloc(1, kHeader + n * sizeof(T));
    if (!raw) return nullptr;
    zntlrecordblock* block = static_cast<zntlrecordblock*>(raw);
    block->next = mdl->recordBlocks;
    mdl->recordBlocks = block;
    supply->next = reinterpret_cast<T*>(static_cast<unsigned char*>(raw) + kHeader);
    supply->left = n;
  }
  supply->left--;
  supply->made++;
  return supply->next++;
}

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Reports an author, date or notes text once per model file and run: every object made from
// a model loads it again, and one dialog per model is what a player wants to see.
void ReportOnce(const char* path, const char* what, const std::string& text) {
  static std::set<std::string> reported;
  if (!reported.insert(std::string(path) + '\n' + what).second) return;
  OutputToDialog(text.c_str());
}

// Releases everything the loader allocates; the record is left zeroed, ready to free.
void FreeModelContents(zntlmdl* mdl) {
  if (mdl->bones) {
    for (uint32_t i = 0; i <= mdl->numBones; i++) {
      std::free(mdl->bones[i].indices);
      std::free(mdl->bones[i].subBones);
    }
  }
  std::free(mdl->vlist);
  for (zntluvvtxfix* f = mdl->uvfixes.next; f;) {
    zntluvvtxfix* next = f->next;
    std::free(f);
    f = next;
  }
  std::free(mdl->uvfixesPtrs);
  std::free(mdl->va);
  std::free(mdl->vertexNormals);
  std::free(mdl->tvertexNormals);
  std::free(mdl->tva);
  // The vertex, edge and triangle chains live in the record blocks.
  for (zntlrecordblock* block = mdl->recordBlocks; block;) {
    zntlrecordblock* next = block->next;
    std::free(block);
    block = next;
  }
  if (mdl->materials) {
    for (uint32_t i = 0; i < mdl->numMaterials; i++) FreeMaterialArrays(&mdl->materials[i]);
  }
  std::free(mdl->materials);
  if (mdl->animations) {
    for (uint32_t i = 0; i < mdl->numAnimations; i++) std::free(mdl->animations[i].instructions);
  }
  std::free(mdl->animations);
  if (mdl->timelines) {
    for (uint32_t i = 0; i <= mdl->numBones; i++) std::free(mdl->timelines[i].instructions);
  }
  std::free(mdl->timelines);
  std::free(mdl->bones);
  human_being* parent = mdl->parent;
  std::memset(mdl, 0, sizeof *mdl);
  mdl->parent = parent;
}

void SplitPath(const char* path, zntlmdl* mdl) {
  const char* slash = std::strrchr(path, '/');
  if (slash) {
    size_t length = static_cast<size_t>(slash - path) + 1;
    if (length > sizeof mdl->directory - 1) length = sizeof mdl->directory - 1;
    std::memcpy(mdl->directory, path, length);
    mdl->directory[length] = '\0';
    ZNK_CopyString(mdl->signature, slash + 1, sizeof mdl->signature);
  } else {
    mdl->directory[0] = '\0';
    ZNK_CopyString(mdl->signature, path, sizeof mdl->signature);
  }
}

// Version, author, date, notes and the embedded preview image; leaves the reader on the
// bone count line. The texts are reported only when `report` is set.
bool ReadHeader(ModelReader& r, const char* path, bool report) {
  char line[kModelLineLimit + 1];
  if (!r.need(line)) return false;  // version
  if (!r.need(line)) return false;  // author
  if (report && std::strlen(line) > 9) ReportOnce(path, "author", line + 9);
  if (!r.need(line)) return false;  // date
  if (report && std::strlen(line) > 7) ReportOnce(path, "date", line + 7);

  // Notes run from after "#N" up to the next "#" and may span lines.
  if (r.remaining() < 2) return r.fail("the file ends early");
  r.pos += 2;
  size_t start = r.pos;
  while (r.pos < r.size && r.data[r.pos] != '#') r.pos++;
  if (r.atEnd()) return r.fail("the file ends early");
  std::string notes(reinterpret_cast<const char*>(r.data + start), r.pos - start);
  notes = notes.size() > 6 ? notes.substr(6) : std::string();
  // The line end before the next header is not part of the notes: empty notes stay empty
  // and a note of one character is reported like a longer one, whatever the line ends are.
  while (!notes.empty() && (notes.back() == '\n' || notes.back() == '\r')) notes.pop_back();
  if (report && !notes.empty()) ReportOnce(path, "notes", notes);

  // "#PNG: N", white space, then N image bytes and one line-end byte (or, for N = 0, the
  // "#" of the next header).
  static const char kPng[] = "#PNG:";
  if (r.remaining() < 5 || std::memcmp(r.data + r.pos, kPng, 5) != 0) return r.fail("no image count");
  r.pos += 5;
  while (r.pos < r.size && (r.data[r.pos] == ' ' || r.data[r.pos] == '\t')) r.pos++;
  unsigned long n = 0;
  bool digits = false;
  while (r.pos < r.size && r.data[r.pos] >= '0' && r.data[r.pos] <= '9') {
    n = n * 10 + (r.data[r.pos] - '0');
    digits = true;
    r.pos++;
    if (n > r.size) return r.fail("an image larger than the file");
  }
  if (!digits) return r.fail("no image count");
  while (r.pos < r.size && IsSpace(r.data[r.pos])) r.pos++;
  if (n + 1 > r.remaining()) return r.fail("the file ends early");
  r.pos += n + 1;
  if (!r.need(line)) return false;  // the rest of "#Bones:"
  return true;
}

bool ReadBones(ModelReader& r, zntlmdl* mdl) {
  char line[kModelLineLimit + 1];
  uint32_t b = 0;
  if (!r.count(&b)) return false;
  mdl->bones = AllocArray<zntlbone>(static_cast<size_t>(b) + 1);
  mdl->timelines = AllocArray<zntlbonetimeline>(static_cast<size_t>(b) + 1);
  if (!mdl->bones || !mdl->timelines) return r.fail("out of memory");
  mdl->numBones = b;
  zntlbone* root = &mdl->bones[0];
  ZNK_CopyString(root->signature, "None", sizeof root->signature);
  root->currentAnimation = -1;
  for (uint32_t i = 1; i <= b; i++) {
    if (!r.need(line)) return false;
    zntlbone* bone = &mdl->bones[i];
    char name[256] = "";
    std::sscanf(line, "%255s", name);
    ZNK_CopyString(bone->signature, name, sizeof bone->signature);
    bone->currentAnimation = -1;
  }
  for (uint32_t i = 1; i <= b; i++) {
    if (!r.need(line)) return false;
    int h = 0, p = 1;
    ScanNumbers(line, "%d,%d", &h, &p);
    if (p < 1 || static_cast<uint32_t>(p) > b + 1) return r.fail("a parent bone out of range");
    mdl->bones[i].tempInt = h;
    mdl->bones[i].parent = &mdl->bones[p - 1];
  }
  return true;
}

bool ReadVertices(ModelReader& r, zntlmdl* mdl) {
  char line[kModelLineLimit + 1];
  if (!r.need(line)) return false;  // "#Vertices:"
  uint32_t v = 0;
  if (!r.count(&v)) return false;
  mdl->vlist = AllocArray<mesh_vert*>(v);
  if (!mdl->vlist) return r.fail("out of memory");
  mesh_vert* last = &mdl->baseMeshVert;
  RecordSupply<mesh_vert> supply;
  for (uint32_t i = 0; i < v; i++) {
    if (!r.need(line)) return false;
    float x = 0, y = 0, z = 0;
    int bone = 0;
    ScanNumbers(line, "%f,%f,%f,%d", &x, &y, &z, &bone);
    mesh_vert* vert = NewModelRecord(mdl, &supply, v - i);
    if (!vert) return r.fail("out of memory");
    vert->pos = FileUnitsToWorld(vector_type{x, y, z});
    vert->visible = 1;
    vert->weight = 100;
    ZNK_CopyString(vert->bone1, "None", sizeof vert->bone1);
    ZNK_CopyString(vert->bone2, "None", sizeof vert->bone2);
    vert->boneIndex = bone;
    vert->index = i;
    vert->selected = 1;
    last->next = vert;
    last = vert;
    mdl->vlist[i] = vert;
    mdl->numVertices = i + 1;
  }
  for (uint32_t i = 1; i <= mdl->numBones; i++) {
    int h = mdl->bones[i].tempInt;
    if (h < 0 || static_cast<uint32_t>(h) >= v) return r.fail("a bone head vertex out of range");
    mdl->bones[i].pos = mdl->vlist[h]->pos;
  }
  return true;
}

bool ReadEdges(ModelReader& r, zntlmdl* mdl) {
  char line[kModelLineLimit + 1];
  if (!r.need(line)) return false;  // "#Edges:"
  uint32_t e = 0;
  if (!r.count(&e)) return false;
  mesh_edge* last = &mdl->baseEdge;
  RecordSupply<mesh_edge> supply;
  for (uint32_t i = 0; i < e; i++) {
    if (!r.need(line)) return false;
    int a = 0, b = 0;
    ScanNumbers(line, "%d,%d", &a, &b);
    if (a < 0 || b < 0 || static_cast<uint32_t>(a) >= mdl->numVertices ||
        static_cast<uint32_t>(b) >= mdl->numVertices)
      return r.fail("an edge vertex out of range");
    mesh_edge* edge = NewModelRecord(mdl, &supply, e - i);
    if (!edge) return r.fail("out of memory");
    edge->v1 = mdl->vlist[a];
    edge->v2 = mdl->vlist[b];
    edge->visible = 1;
    last->next = edge;
    last = edge;
    mdl->numEdges = i + 1;
  }
  return true;
}

bool ReadMaterials(ModelReader& r, zntlmdl* mdl, std::vector<ModelTextureLine>* textures) {
  char line[kModelLineLimit + 1];
  if (!r.need(line)) return false;  // "#Materials:"
  uint32_t m = 0;
  if (!r.count(&m)) return false;
  mdl->materials = AllocArray<zntlmtrl>(m);
  if (!mdl->materials) return r.fail("out of memory");
  mdl->numMaterials = m;

  level_triangle* lastTriangle = &mdl->baseLT;
  RecordSupply<level_triangle> triangles;
  zntluvvtxfix* lastFix = &mdl->uvfixes;
  std::vector<mesh_vert*> markedVertices;  // cleared per material without walking every vertex
  const uint32_t numVertices = mdl->numVertices;

  for (uint32_t mi = 0; mi < m; mi++) {
    zntlmtrl* mat = &mdl->materials[mi];
    if (!r.need(line)) return false;
    ZNK_CopyString(mat->name, line, sizeof mat->name);
    uint32_t s = 0;
    if (!r.count(&s)) return false;
    SetMaterialDefaults(mat);
    for (uint32_t k = 0; k < s; k++) {
      if (!r.need(line)) return false;
      InterpretShaderInstruction(line, mat);
      if (textures) {
        if (const char* file = ShaderLineTexture(line)) textures->push_back({mi, file, mat->materialTexture});
      }
    }
    uint32_t t = 0;
    if (!r.count(&t)) return false;
    mat->indices = AllocArray<uint32_t>(3 * static_cast<size_t>(t));
    mat->faceNormals = AllocArray<float>(3 * static_cast<size_t>(t));
    mat->UVs = AllocArray<float>(2 * static_cast<size_t>(numVertices));
    if (!mat->indices || !mat->faceNormals || !mat->UVs) return r.fail("out of memory");
    for (mesh_vert* v : markedVertices) v->marked = 0;
    markedVertices.clear();

    for (uint32_t ti = 0; ti < t; ti++) {
      if (!r.need(line)) return false;
      int corner[3] = {0, 0, 0};
      float u[3] = {0, 0, 0}, v[3] = {0, 0, 0};
      ScanNumbers(line, "%d,%d,%d,%f,%f,%f,%f,%f,%f", &corner[0], &corner[1], &corner[2], &u[0], &v[0], &u[1],
                  &v[1], &u[2], &v[2]);
      for (int k = 0; k < 3; k++) {
        if (corner[k] < 0 || static_cast<uint32_t>(corner[k]) >= numVertices)
          return r.fail("a triangle vertex out of range");
      }
      level_triangle* trig = NewModelRecord(mdl, &triangles, t - ti);
      if (!trig) return r.fail("out of memory");
      trig->visible = 1;
      trig->theTexture = mat->materialTexture;
      lastTriangle->next = trig;
      lastTriangle = trig;
      mat->numTriangles = ti + 1;
      mdl->numTriangles++;

      for (int k = 0; k < 3; k++) {
        uint32_t n = static_cast<uint32_t>(corner[k]);
        uint32_t offset = 3 * ti + static_cast<uint32_t>(k);
        trig->u[k] = u[k];
        trig->v[k] = v[k];
        mat->indices[offset] = n;
        mesh_vert* vert = mdl->vlist[n];
        if (mat->mapType != 0) {
          if (vert->marked) {
            if (vert->u != u[k] || vert->v != v[k]) {
              zntluvvtxfix* fix = static_cast<zntluvvtxfix*>(std::calloc(1, sizeof(zntluvvtxfix)));
              if (!fix) return r.fail("out of memory");
              fix->matNumber = mi;
              fix->arrayOffset = offset;
              fix->originalVertexIndex = n;
              fix->u = u[k];
              fix->v = v[k];
              lastFix->next = fix;
              lastFix = fix;
              mdl->numUVFixesVertices++;
            }
          } else {
            vert->u = u[k];
            vert->v = v[k];
          }
          if (!vert->marked) markedVertices.push_back(vert);
          vert->marked = 1;
          mat->UVs[2 * n] = vert->u;
          mat->UVs[2 * n + 1] = vert->v;
        }
        trig->vertexPtrs[k] = vert;
      }
      vector_type normal =
          GetNormalOfTrig(trig->vertexPtrs[0]->pos, trig->vertexPtrs[1]->pos, trig->vertexPtrs[2]->pos);
      trig->normal = normal;
      for (int k = 0; k < 3; k++) {
        trig->vertexPtrs[k]->vertexNormal.x += normal.x;
        trig->vertexPtrs[k]->vertexNormal.y += normal.y;
        trig->vertexPtrs[k]->vertexNormal.z += normal.z;
      }
      mat->faceNormals[3 * ti] = normal.x;
      mat->faceNormals[3 * ti + 1] = normal.y;
      mat->faceNormals[3 * ti + 2] = normal.z;
    }
  }
  for (mesh_vert* v : markedVertices) v->marked = 0;
  return true;
}

bool ReadAnimations(ModelReader& r, zntlmdl* mdl) {
  char line[kModelLineLimit + 1];
  // A file that ends where the animation section would begin simply has none.
  if (!r.line(line)) return true;  // "#Animations"
  uint32_t a = 0;
  if (!r.count(&a)) return false;
  if (a == 0) return true;
  mdl->animations = AllocArray<zntlanim>(a);
  if (!mdl->animations) return r.fail("out of memory");
  mdl->numAnimations = a;
  for (uint32_t ai = 0; ai < a; ai++) {
    zntlanim* anim = &mdl->animations[ai];
    if (!r.need(line)) return false;
    ZNK_CopyString(anim->signature, line, sizeof anim->signature);
    uint32_t n = 0;
    if (!r.count(&n)) return false;
    anim->instructions = AllocArray<zntlaniminstr>(n);
    if (!anim->instructions) return r.fail("out of memory");
    anim->numInstructions = n;
    for (uint32_t k = 0; k < n; k++) {
      zntlaniminstr* instr = &anim->instructions[k];
      instr->numExecutions = 0;
      if (!r.need(line)) return false;
      float start = 0, end = 0;
      std::sscanf(line, "%f,%f", &start, &end);
      instr->startTime = SecondsToMs(start);
      instr->endTime = SecondsToMs(end);
      if (!r.need(line)) return false;
      InterpretAnimationInstruction(line, instr);
      if (instr->boneNumber < 0 || static_cast<uint32_t>(instr->boneNumber) > mdl->numBones)
        instr->instructionType = 2;
    }
  }
  return true;
}

// Children and bound vertices of every bone, both ascending.
bool BuildBoneLists(zntlmdl* mdl) {
  const uint32_t nb = mdl->numBones;
  std::vector<uint32_t> children(nb + 1, 0), vertices(nb + 1, 0);
  for (uint32_t j = 1; j <= nb; j++) {
    if (mdl->bones[j].parent) children[mdl->bones[j].parent - mdl->bones]++;
  }
  for (uint32_t i = 0; i < mdl->numVertices; i++) {
    int b = mdl->vlist[i]->boneIndex;
    if (b >= 0 && static_cast<uint32_t>(b) <= nb) vertices[b]++;
  }
  for (uint32_t i = 0; i <= nb; i++) {
    zntlbone* bone = &mdl->bones[i];
    bone->subBones = children[i] ? AllocArray<zntlbone*>(children[i]) : nullptr;
    bone->indices = vertices[i] ? AllocArray<uint32_t>(vertices[i]) : nullptr;
    if ((children[i] && !bone->subBones) || (vertices[i] && !bone->indices)) return false;
  }
  for (uint32_t j = 1; j <= nb; j++) {
    zntlbone* parent = mdl->bones[j].parent;
    if (parent) parent->subBones[parent->numSubBones++] = &mdl->bones[j];
  }
  for (uint32_t i = 0; i < mdl->numVertices; i++) {
    int b = mdl->vlist[i]->boneIndex;
    if (b >= 0 && static_cast<uint32_t>(b) <= nb) {
      zntlbone* bone = &mdl->bones[b];
      bone->indices[bone->numIndices++] = i;
    }
  }
  return true;
}

bool BuildFlatArrays(zntlmdl* mdl) {
  const size_t nv = mdl->numVertices;
  const size_t all = nv + mdl->numUVFixesVertices;
  mdl->va = AllocArray<float>(3 * nv);
  mdl->vertexNormals = AllocArray<float>(3 * all);
  mdl->tva = AllocArray<float>(3 * all);
  mdl->tvertexNormals = AllocArray<float>(3 * all);
  if (!mdl->va || !mdl->vertexNormals || !mdl->tva || !mdl->tvertexNormals) return false;
  for (size_t i = 0; i < nv; i++) {
    mesh_vert* v = mdl->vlist[i];
    mdl->va[3 * i] = v->pos.x;
    mdl->va[3 * i + 1] = v->pos.y;
    mdl->va[3 * i + 2] = v->pos.z;
    Normalize(&v->vertexNormal);
    mdl->vertexNormals[3 * i] = v->vertexNormal.x;
    mdl->vertexNormals[3 * i + 1] = v->vertexNormal.y;
    mdl->vertexNormals[3 * i + 2] = v->vertexNormal.z;
  }
  mdl->scalars = {1.0f, 1.0f, 1.0f};
  return true;
}

// Seam vertices get their own slots after the file's vertices.
bool ResolveSeams(zntlmdl* mdl) {
  if (mdl->numUVFixesVertices == 0) return true;
  const size_t nv = mdl->numVertices;
  const size_t all = nv + mdl->numUVFixesVertices;
  for (uint32_t mi = 0; mi < mdl->numMaterials; mi++) {
    zntlmtrl* mat = &mdl->materials[mi];
    if (mat->mapType == 0) continue;
    float* grown = static_cast<float*>(std::realloc(mat->UVs, 2 * all * sizeof(float)));
    if (!grown) return false;
    std::memset(grown + 2 * nv, 0, 2 * (all - nv) * sizeof(float));
    mat->UVs = grown;
  }
  mdl->uvfixesPtrs = AllocArray<zntluvvtxfix*>(mdl->numUVFixesVertices);
  if (!mdl->uvfixesPtrs) return false;
  uint32_t i = 0;
  for (zntluvvtxfix* fix = mdl->uvfixes.next; fix; fix = fix->next, i++) {
    mdl->uvfixesPtrs[i] = fix;
    zntlmtrl* mat = &mdl->materials[fix->matNumber];
    size_t slot = nv + i;
    mat->indices[fix->arrayOffset] = static_cast<uint32_t>(slot);
    for (int k = 0; k < 3; k++) mdl->vertexNormals[3 * slot + k] = mdl->vertexNormals[3 * fix->originalVertexIndex + k];
    mat->UVs[2 * slot] = fix->u;
    mat->UVs[2 * slot + 1] = fix->v;
  }
  return true;
}

}  // namespace

zntlmdl* NewZyntrelMdl() { return static_cast<zntlmdl*>(std::calloc(1, sizeof(zntlmdl))); }

int Load_Zyntrel_MdlFromMemory(const unsigned char* data, size_t size, const char* path, zntlmdl* mdl,
                               ZntlModelUse use, std::vector<ModelTextureLine>* textures) {
  if (!mdl || !path) return 0;
  mdl->editing = 0;
  mdl->transformNormals = 1;
  ModelReader r = {data, data ? size : 0, 0, nullptr};
  char line[kModelLineLimit + 1];
  if (!r.line(line) || !ZNK_EqualString(line, "Zyntrel Mdl")) return 0;

  const bool objectModel = use == kZntlObjectModel;
  bool ok = ReadHeader(r, path, objectModel);
  if (ok) {
    SplitPath(path, mdl);
    ok = ReadBones(r, mdl) && ReadVertices(r, mdl) && ReadEdges(r, mdl) && ReadMaterials(r, mdl, textures) &&
         (!objectModel || ReadAnimations(r, mdl));
  }
  if (ok && !(BuildBoneLists(mdl) && BuildFlatArrays(mdl))) ok = r.fail("out of memory");
  if (ok) RecalculateModelBounds(mdl);
  if (ok && !ResolveSeams(mdl)) ok = r.fail("out of memory");
  if (!ok) {
    OutputToConsoleF("//Could not load model %s: %s\n", path, r.failure ? r.failure : "malformed file");
    FreeModelContents(mdl);
    return 0;
  }
  mdl->editing = 0;
  mdl->transformNormals = 1;
  return 1;
}

int ReadModelFile(const char* path, std::vector<unsigned char>* bytes) {
  bool tooLarge = false;
  if (ReadWholeImportFile(path, bytes, kMaxModelFileSize, &tooLarge)) return 1;
  if (tooLarge) OutputToConsoleF("//Could not load model %s: the file is too large\n", path);
  return 0;
}

int Load_Zyntrel_Mdl(const char* path, zntlmdl* mdl, ZntlModelUse use) {
  if (!path || !mdl) return 0;
  std::vector<unsigned char> bytes;
  if (!ReadModelFile(path, &bytes)) return 0;
  return Load_Zyntrel_MdlFromMemory(bytes.data(), bytes.size(), path, mdl, use);
}

namespace {

// Places the arrays of a one-block copy: each array gets the next offset aligned for its
// records. An array the source does not have (a null pointer) gets no room and stays null;
// an empty one that the source has gets room for one record, so it is a distinct address.
struct BlockLayout {
  size_t size = 0;
  template <typename T>
  size_t Place(const T* source, size_t count) {
    if (!source) return SIZE_MAX;
    size = (size + alignof(T) - 1) / alignof(T) * alignof(T);
    size_t at = size;
    size += (count ? count : 1) * sizeof(T);
    return at;
  }
};

template <typename T>
T* InBlock(unsigned char* block, size_t offset) {
  return offset == SIZE_MAX ? nullptr : reinterpret_cast<T*>(block + offset);
}

// The file number of a vertex of a model whose chain is in file order.
bool VertexNumber(const zntlmdl* mdl, const mesh_vert* v, uint32_t* number) {
  if (!v || v->index >= mdl->numVertices || mdl->vlist[v->index] != v) return false;
  *number = v->index;
  return true;
}

// The length of a material's UVs: 2 per vertex, 2 more per seam vertex for a textured one.
size_t MaterialUVCount(const zntlmdl* mdl, const zntlmtrl* mat) {
  size_t vertices = mdl->numVertices;
  if (mat->mapType != 0 && mdl->numUVFixesVertices > 0) vertices += mdl->numUVFixesVertices;
  return 2 * vertices;
}

}  // namespace

zntlmdl* CopyZyntrelMdl(const zntlmdl* src) {
  if (!src) return nullptr;
  const uint32_t nv = src->numVertices, nb = src->numBones, nf = src->numUVFixesVertices;
  const size_t all = static_cast<size_t>(nv) + nf;
  // The chains must hold what their counts say, the vertices in file order.
  uint32_t count = 0;
  for (const mesh_vert* v = src->baseMeshVert.next; v; v = v->next, count++)
    if (count >= nv || src->vlist[count] != v || v->index != count) return nullptr;
  if (count != nv) return nullptr;
  size_t edges = 0, triangles = 0, fixes = 0;
  for (const mesh_edge* e = src->baseEdge.next; e; e = e->next) edges++;
  for (const level_triangle* t = src->baseLT.next; t; t = t->next) triangles++;
  for (const zntluvvtxfix* f = src->uvfixes.next; f; f = f->next) fixes++;
  if (fixes != nf) return nullptr;

  // The timelines follow the record: releasing the copy reads them and the record's last
  // fields, so those share cache lines.
  BlockLayout layout;
  layout.Place(src, 1);
  const size_t timelines = layout.Place(src->timelines, nb + 1u);
  const size_t bones = layout.Place(src->bones, nb + 1u);
  const size_t verts = layout.Place(src->baseMeshVert.next, nv);
  const size_t vlist = layout.Place(src->vlist, nv);
  const size_t edgeRecords = layout.Place(src->baseEdge.next, edges);
  const size_t triangleRecords = layout.Place(src->baseLT.next, triangles);
  const size_t fixRecords = layout.Place(src->uvfixes.next, nf);
  const size_t fixPtrs = layout.Place(src->uvfixesPtrs, nf);
  const size_t va = layout.Place(src->va, 3 * static_cast<size_t>(nv));
  const size_t normals = layout.Place(src->vertexNormals, 3 * all);
  const size_t tva = layout.Place(src->tva, 3 * all);
  const size_t tnormals = layout.Place(src->tvertexNormals, 3 * all);
  const size_t materials = layout.Place(src->materials, src->numMaterials);
  std::vector<size_t> materialArrays;
  for (uint32_t i = 0; src->materials && i < src->numMaterials; i++) {
    const zntlmtrl& m = src->materials[i];
    materialArrays.push_back(layout.Place(m.indices, 3 * static_cast<size_t>(m.numTriangles)));
    materialArrays.push_back(layout.Place(m.faceNormals, 3 * static_cast<size_t>(m.numTriangles)));
    materialArrays.push_back(layout.Place(m.UVs, MaterialUVCount(src, &m)));
  }
  const size_t animations = layout.Place(src->animations, src->numAnimations);
  std::vector<size_t> instructions;
  for (uint32_t i = 0; src->animations && i < src->numAnimations; i++)
    instructions.push_back(layout.Place(src->animations[i].instructions, src->animations[i].numInstructions));
  std::vector<size_t> boneArrays;
  for (uint32_t i = 0; src->bones && i <= nb; i++) {
    boneArrays.push_back(layout.Place(src->bones[i].indices, src->bones[i].numIndices));
    boneArrays.push_back(layout.Place(src->bones[i].subBones, src->bones[i].numSubBones));
  }

  unsigned char* block = static_cast<unsigned char*>(NewModelBlock(layout.size));
  if (!block) return nullptr;
  zntlmdl* mdl = reinterpret_cast<zntlmdl*>(block);
  *mdl = *src;
  mdl->blockBytes = layout.size;
  mdl->recordBlocks = nullptr;
  mdl->parent = nullptr;
  mdl->next = nullptr;

  mdl->bones = InBlock<zntlbone>(block, bones);
  if (mdl->bones) {
    std::memcpy(mdl->bones, src->bones, (nb + 1u) * sizeof(zntlbone));
    for (uint32_t i = 0; i <= nb; i++) {
      zntlbone* b = &mdl->bones[i];
      const zntlbone& from = src->bones[i];
      if (from.parent) b->parent = mdl->bones + (from.parent - src->bones);
      b->indices = InBlock<uint32_t>(block, boneArrays[2 * i]);
      if (b->indices) std::memcpy(b->indices, from.indices, from.numIndices * sizeof(uint32_t));
      b->subBones = InBlock<zntlbone*>(block, boneArrays[2 * i + 1]);
      for (uint32_t k = 0; b->subBones && k < from.numSubBones; k++)
        b->subBones[k] = mdl->bones + (from.subBones[k] - src->bones);
    }
  }

  mdl->animations = InBlock<zntlanim>(block, animations);
  for (uint32_t i = 0; mdl->animations && i < src->numAnimations; i++) {
    zntlanim* a = &mdl->animations[i];
    *a = src->animations[i];
    a->instructions = InBlock<zntlaniminstr>(block, instructions[i]);
    if (a->instructions) std::memcpy(a->instructions, src->animations[i].instructions, a->numInstructions * sizeof(zntlaniminstr));
  }

  // Timelines keep their instructions apart: starting an animation replaces them.
  mdl->timelines = InBlock<zntlbonetimeline>(block, timelines);
  bool ok = true;
  for (uint32_t i = 0; mdl->timelines && i <= nb; i++) {
    zntlbonetimeline* t = &mdl->timelines[i];
    const zntlbonetimeline& from = src->timelines[i];
    *t = from;
    if (from.whichAnimation) t->whichAnimation = mdl->animations + (from.whichAnimation - src->animations);
    t->instructions = nullptr;
    if (from.instructions && from.numInstructions > 0) {
      size_t n = static_cast<size_t>(from.numInstructions);
      t->instructions = static_cast<zntlaniminstr*>(std::malloc(n * sizeof(zntlaniminstr)));
      if (t->instructions) std::memcpy(t->instructions, from.instructions, n * sizeof(zntlaniminstr));
      else ok = false;
    }
    if (!t->instructions) t->numInstructions = 0;
  }

  mesh_vert* vertexRecords = InBlock<mesh_vert>(block, verts);
  mdl->vlist = InBlock<mesh_vert*>(block, vlist);
  mdl->baseMeshVert.next = nv ? vertexRecords : nullptr;
  for (uint32_t i = 0; i < nv; i++) {
    vertexRecords[i] = *src->vlist[i];
    vertexRecords[i].next = i + 1 < nv ? &vertexRecords[i + 1] : nullptr;
    mdl->vlist[i] = &vertexRecords[i];
  }

  mesh_edge* edgeArray = InBlock<mesh_edge>(block, edgeRecords);
  mdl->baseEdge.next = edges ? edgeArray : nullptr;
  size_t k = 0;
  for (const mesh_edge* e = src->baseEdge.next; e; e = e->next, k++) {
    edgeArray[k] = *e;
    uint32_t a = 0, b = 0;
    if (!VertexNumber(src, e->v1, &a) || !VertexNumber(src, e->v2, &b)) ok = false;
    edgeArray[k].v1 = ok ? &vertexRecords[a] : nullptr;
    edgeArray[k].v2 = ok ? &vertexRecords[b] : nullptr;
    edgeArray[k].next = k + 1 < edges ? &edgeArray[k + 1] : nullptr;
  }

  level_triangle* triangleArray = InBlock<level_triangle>(block, triangleRecords);
  mdl->baseLT.next = triangles ? triangleArray : nullptr;
  k = 0;
  for (const level_triangle* t = src->baseLT.next; t; t = t->next, k++) {
    level_triangle* to = &triangleArray[k];
    *to = *t;
    for (int c = 0; c < 3; c++) {
      uint32_t n = 0;
      if (!VertexNumber(src, t->vertexPtrs[c], &n)) ok = false;
      to->vertexPtrs[c] = ok ? &vertexRecords[n] : nullptr;
    }
    to->next = k + 1 < triangles ? &triangleArray[k + 1] : nullptr;
  }

  zntluvvtxfix* fixArray = InBlock<zntluvvtxfix>(block, fixRecords);
  mdl->uvfixes.next = nf ? fixArray : nullptr;
  mdl->uvfixesPtrs = InBlock<zntluvvtxfix*>(block, fixPtrs);
  k = 0;
  for (const zntluvvtxfix* f = src->uvfixes.next; f; f = f->next, k++) {
    fixArray[k] = *f;
    fixArray[k].next = k + 1 < nf ? &fixArray[k + 1] : nullptr;
    if (mdl->uvfixesPtrs) mdl->uvfixesPtrs[k] = &fixArray[k];
  }

  auto copyFloats = [&](float** to, const float* from, size_t offset, size_t n) {
    *to = InBlock<float>(block, offset);
    if (*to) std::memcpy(*to, from, n * sizeof(float));
  };
  copyFloats(&mdl->va, src->va, va, 3 * static_cast<size_t>(nv));
  copyFloats(&mdl->vertexNormals, src->vertexNormals, normals, 3 * all);
  copyFloats(&mdl->tva, src->tva, tva, 3 * all);
  copyFloats(&mdl->tvertexNormals, src->tvertexNormals, tnormals, 3 * all);

  mdl->materials = InBlock<zntlmtrl>(block, materials);
  for (uint32_t i = 0; mdl->materials && i < src->numMaterials; i++) {
    zntlmtrl* m = &mdl->materials[i];
    const zntlmtrl& from = src->materials[i];
    *m = from;
    m->indices = InBlock<uint32_t>(block, materialArrays[3 * i]);
    if (m->indices) std::memcpy(m->indices, from.indices, 3 * static_cast<size_t>(from.numTriangles) * sizeof(uint32_t));
    copyFloats(&m->faceNormals, from.faceNormals, materialArrays[3 * i + 1], 3 * static_cast<size_t>(from.numTriangles));
    copyFloats(&m->UVs, from.UVs, materialArrays[3 * i + 2], MaterialUVCount(src, &from));
  }

  if (!ok) {
    Dispose_Zyntrel_Mdl(mdl);
    return nullptr;
  }
  return mdl;
}

void Dispose_Zyntrel_Mdl(zntlmdl* mdl) {
  if (!mdl) return;
  if (mdl->blockBytes) {
    for (uint32_t i = 0; mdl->timelines && i <= mdl->numBones; i++) std::free(mdl->timelines[i].instructions);
    FreeModelBlock(mdl, mdl->blockBytes);
    return;
  }
  FreeModelContents(mdl);
  std::free(mdl);
}

void SetBoxCorners(vector_type* c, vector_type m, vector_type M) {
  c[0] = {m.x, m.y, M.z};
  c[1] = {m.x, M.y, M.z};
  c[2] = {M.x, M.y, M.z};
  c[3] = {M.x, m.y, M.z};
  c[4] = {m.x, m.y, m.z};
  c[5] = {m.x, M.y, m.z};
  c[6] = {M.x, M.y, m.z};
  c[7] = {M.x, m.y, m.z};
}

void RecalculateModelBounds(zntlmdl* mdl) {
  if (!mdl) return;
  vector_type mn = {0, 0, 0}, mx = {0, 0, 0};
  for (uint32_t i = 0; i < mdl->numVertices; i++) {
    vector_type p = mdl->vlist[i]->pos;
    if (i == 0) {
      mn = mx = p;
      continue;
    }
    mn.x = std::fmin(mn.x, p.x);
    mn.y = std::fmin(mn.y, p.y);
    mn.z = std::fmin(mn.z, p.z);
    mx.x = std::fmax(mx.x, p.x);
    mx.y = std::fmax(mx.y, p.y);
    mx.z = std::fmax(mx.z, p.z);
  }
  vector_type c = {mn.x + (mx.x - mn.x) / 2, mn.y + (mx.y - mn.y) / 2, mn.z + (mx.z - mn.z) / 2};
  mdl->sphereCenter = c;
  mdl->eRadius = {(mx.x - mn.x) * 0.5f, (mx.y - mn.y) * 0.5f, (mx.z - mn.z) * 0.5f};
  float horizontal = std::fmax(mdl->eRadius.x, mdl->eRadius.z);
  mdl->eRadius.x = mdl->eRadius.z = horizontal;

  mdl->cradius = 0;
  mdl->boundingSphereRadius = 0;
  for (uint32_t i = 0; i < mdl->numVertices; i++) {
    vector_type p = mdl->vlist[i]->pos;
    float dx = p.x - c.x, dy = p.y - c.y, dz = p.z - c.z;
    float h = std::sqrt(dx * dx + dz * dz);
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (h > mdl->cradius) mdl->cradius = h;
    if (d > mdl->boundingSphereRadius) mdl->boundingSphereRadius = d;
  }
  SetBoxCorners(mdl->baseBox, mn, mx);
  mdl->newBoxMin = mdl->oldBoxMin = mn;
  mdl->newBoxMax = mdl->oldBoxMax = mx;
  mdl->sizes = {mx.x - mn.x, mx.y - mn.y, mx.z - mn.z};

  // A bone without vertices keeps the extremes of the box before it (the whole mesh for the
  // root); such a box encloses nothing of its own.
  if (mdl->bones) {
    for (uint32_t b = 0; b <= mdl->numBones; b++) {
      zntlbone* bone = &mdl->bones[b];
      for (uint32_t k = 0; k < bone->numIndices; k++) {
        uint32_t vi = bone->indices[k];
        if (vi >= mdl->numVertices) continue;
        vector_type p = mdl->vlist[vi]->pos;
        if (k == 0) {
          mn = mx = p;
          continue;
        }
        mn.x = std::fmin(mn.x, p.x);
        mn.y = std::fmin(mn.y, p.y);
        mn.z = std::fmin(mn.z, p.z);
        mx.x = std::fmax(mx.x, p.x);
        mx.y = std::fmax(mx.y, p.y);
        mx.z = std::fmax(mx.z, p.z);
      }
      SetBoxCorners(bone->box, mn, mx);
    }
  }
  mdl->translatedSphereCenter = mdl->sphereCenter;
}

void ModelBoxToCollisionPlanes2(zntlmdl* mdl) {
  if (!mdl) return;
  const vector_type* B = mdl->bigBox;
  const int faces[6][3] = {{0, 1, 3}, {4, 5, 7}, {2, 3, 6}, {0, 1, 4}, {0, 3, 4}, {1, 2, 5}};
  for (int f = 0; f < 6; f++) {
    for (int k = 0; k < 3; k++) mdl->planes[f][k] = B[faces[f][k]];
  }
}
