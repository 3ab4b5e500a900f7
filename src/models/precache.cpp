// Model precache: reads the "cache" list, loads each Meshwork model with its poses (Meshwork
// or engine pose text) and pose animations, and releases them all at the full world reset.
#include "models/precache.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "models/import_common.h"
#include "models/import_line_reader.h"
#include "objects/human.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "world/meshwork_reader.h"

meshwork_model* baseMesh = nullptr;
meshwork_model* meshPtr = nullptr;

namespace {

constexpr size_t kPoseLine = 514;
constexpr size_t kCacheNameLength = 63;

void CopyCode(char* dst, const char* src) { ZNK_CopyString(dst, src, 5); }

// Name lookups for the readers, so that long files cost no more than their length: the first
// bone or pose of a name wins, as in the chain lookups.
std::unordered_map<std::string, bonus*> BonesByName(meshwork_model* mdl) {
  std::unordered_map<std::string, bonus*> map;
  for (bonus* b = mdl->baseBone; b; b = b->next) map.emplace(b->signature, b);
  return map;
}
std::unordered_map<std::string, pose*> PosesByName(pose* first) {
  std::unordered_map<std::string, pose*> map;
  for (pose* p = first; p; p = p->next) map.emplace(p->signature, p);
  return map;
}
template <typename T>
T* Find(const std::unordered_map<std::string, T*>& map, const char* name) {
  auto found = map.find(name);
  return found == map.end() ? nullptr : found->second;
}

bool ReadFileText(const char* path, std::vector<unsigned char>* bytes) {
  return ReadWholeImportFile(path, bytes, size_t(256) << 20);
}

void FreePoses(pose* p) {
  while (p) {
    pose* next = p->next;
    for (bone_turner* t = p->base; t;) {
      bone_turner* n = t->next;
      delete t;
      t = n;
    }
    delete p;
    p = next;
  }
}

void FreeAnimations(pose_animation* a) {
  while (a) {
    pose_animation* next = a->next;
    for (poseanim_frame* f = a->baseFrame; f;) {
      poseanim_frame* n = f->next;
      delete f;
      f = n;
    }
    delete a;
    a = next;
  }
}

// Appends to a chain of poses and turners built while reading.
struct PoseBuilder {
  pose* first = nullptr;
  pose* last = nullptr;
  bone_turner* lastTurner = nullptr;

  pose* start(const char* name) {
    pose* p = new pose();
    ZNK_CopyString(p->signature, name, sizeof p->signature);
    if (last) last->next = p;
    else first = p;
    last = p;
    lastTurner = nullptr;
    return p;
  }
  void add(bone_turner* t) {
    if (!last) {
      delete t;
      return;
    }
    if (lastTurner) lastTurner->next = t;
    else last->base = t;
    lastTurner = t;
  }
};

// The new poses replace the old; animation frames follow them by name.
void InstallPoses(meshwork_model* mdl, PoseBuilder& built) {
  pose* old = mdl->basePose;
  mdl->basePose = built.first;
  mdl->posePtr = built.last;
  const auto poses = PosesByName(mdl->basePose);
  for (pose_animation* a = mdl->baseAnim; a; a = a->next) {
    for (poseanim_frame* f = a->baseFrame; f; f = f->next) f->thePose = Find(poses, f->poseName);
  }
  FreePoses(old);
}

void ReadPosesZNKText(meshwork_model* mdl, const char* data, size_t size) {
  ImportLineReader r(data, size);
  char line[kPoseLine];
  r.line(line, sizeof line);  // "ZNK_Poses"
  const auto bones = BonesByName(mdl);
  PoseBuilder built;
  while (r.line(line, sizeof line)) {
    if (line[0] == '\0') continue;
    built.start(line);
    // The line after the name is not read, unless it already closes the pose.
    if (!r.line(line, sizeof line) || std::strcmp(line, "}") == 0) continue;
    while (r.line(line, sizeof line)) {
      if (std::strcmp(line, "}") == 0) break;
      char name[256];
      int used = 0;
      if (std::sscanf(line, "%255s%n", name, &used) != 1) continue;
      bonus* bone = Find(bones, name);
      if (!bone) continue;
      bone_turner* t = new bone_turner();
      t->theBone = bone;
      t->used = 1;
      std::sscanf(line + used, " %f,%f,%f,%f,%f,%f,%d", &t->xpos, &t->ypos, &t->zpos, &t->xang, &t->yang, &t->zang,
                  &t->used);
      built.add(t);
    }
  }
  InstallPoses(mdl, built);
}

}  // namespace

meshwork_model* NewMeshworkModel() { return new meshwork_model(); }

bonus* GetBonePtrBySignature(bonus* first, const char* name) {
  for (bonus* b = first; b; b = b->next) {
    if (std::strcmp(b->signature, name) == 0) return b;
  }
  return nullptr;
}

pose* GetPosePtrBySignature(pose* first, const char* name) {
  for (pose* p = first; p; p = p->next) {
    if (std::strcmp(p->signature, name) == 0) return p;
  }
  return nullptr;
}

vtx_typ* GetVertexPtrByNumber(vtx_typ* first, uint32_t n) {
  for (vtx_typ* v = first; v; v = v->next) {
    if (v->index == n) return v;
  }
  return nullptr;
}

int LoadMeshworkModelFromMemory(meshwork_model* mdl, const char* data, size_t size, const char* path) {
  if (size < 8 || std::memcmp(data, "Mesh\t1\t1", 8) != 0) {
    OutputToConsoleF("Not a valid meshwork file: \"%s\"\n", path);
    return 0;
  }
  std::string folder = FolderOfPath(path);
  ZNK_CopyString(mdl->directory, folder.c_str(), sizeof mdl->directory);
  ZNK_CopyString(mdl->signature, path + folder.size(), sizeof mdl->signature);

  MeshworkFile file;
  ParseMeshwork(data, size, 1.0f, path, kMeshworkModel, &file);
  mdl->usesZNKTextureMapping = file.znkTextures ? 1 : 0;

  // Bones: "None" first, then one per vertex that names a third code.
  bonus* none = new bonus();
  CopyCode(none->signature, "None");
  CopyCode(none->parentName, "None");
  mdl->baseBone = mdl->bonePtr = none;

  // Bones by code: files may hold many, and every vertex looks up two.
  std::unordered_map<std::string, bonus*> boneByCode = {{"None", none}};
  auto findBone = [&](const char* code) -> bonus* {
    auto found = boneByCode.find(code);
    return found == boneByCode.end() ? nullptr : found->second;
  };
  std::vector<vtx_typ*> verts(file.vertices.size());
  vtx_typ* lastV = nullptr;
  for (size_t i = 0; i < file.vertices.size(); i++) {
    const MeshworkVertex& src = file.vertices[i];
    vtx_typ* v = new vtx_typ();
    v->index = static_cast<uint32_t>(src.number);
    v->pos = src.pos;
    v->u = src.u;
    v->v = src.v;
    if (src.bone1[0]) {
      CopyCode(v->bone1, src.bone1);
      v->weight = src.weight;
    } else {
      CopyCode(v->bone1, "None");
      v->weight = 100;
    }
    CopyCode(v->bone2, src.bone2[0] ? src.bone2 : "None");
    if (lastV) lastV->next = v;
    else mdl->baseVertex = v;
    lastV = v;
    verts[i] = v;
    if (src.bone3[0] && !findBone(src.bone3)) {
      bonus* b = new bonus();
      boneByCode.emplace(src.bone3, b);
      CopyCode(b->signature, src.bone3);
      CopyCode(b->parentName, v->bone1);
      b->pos = src.pos;
      mdl->bonePtr->next = b;
      mdl->bonePtr = b;
    }
  }
  mdl->vertexPtr = lastV;
  mdl->numVertices = static_cast<int>(verts.size());

  trio* lastT = nullptr;
  for (const MeshworkTriangle& src : file.triangles) {
    trio* t = new trio();
    for (int k = 0; k < 3; k++) {
      t->vertices[k] = verts[src.corner[k]];
      t->indices[k] = src.corner[k];
      t->u[k] = src.u[k];
      t->v[k] = src.v[k];
    }
    t->material = src.material;
    t->numConnects = src.numConnects;
    t->transparent = src.transparent;
    t->smooth = src.smooth;
    t->invisible = src.invisible;
    t->theTexture = src.theTexture;
    t->normal = GetNormalOfTrig(t->vertices[0]->pos, t->vertices[1]->pos, t->vertices[2]->pos);
    if (lastT) lastT->next = t;
    else mdl->baseTriangle = t;
    lastT = t;
    mdl->numTriangles++;
  }
  mdl->trianglePtr = lastT;

  for (size_t m = 0; m < file.materials.size() && m < 8; m++) {
    const MeshworkMaterial& src = file.materials[m];
    material_type& dst = mdl->materials[m];
    dst.smooth = src.smooth;
    dst.mapType = src.mapType;
    dst.reserved = src.reserved;
    dst.mapAxis = src.mapAxis;
    dst.mapX = src.mapX;
    dst.mapY = src.mapY;
    dst.mapZ = src.mapZ;
    dst.mapX_Size = src.mapX_Size;
    dst.mapY_Size = src.mapY_Size;
    dst.mapZ_Size = src.mapZ_Size;
    dst.transparencyMode = src.transparencyMode;
    // A slot that only carries the texture in force from an earlier material does not own it.
    bool own = m == 0 || src.texture != file.materials[m - 1].texture;
    dst.theTexture = (src.mapType != 0 && own) ? src.texture : 0;
  }

  // Bones hang from the bone that carries their head vertex; vertices find their bones.
  for (bonus* b = mdl->baseBone->next; b; b = b->next) {
    bonus* parent = findBone(b->parentName);
    b->parent = (parent && parent != b) ? parent : mdl->baseBone;
  }
  std::unordered_set<bonus*> measured;
  for (vtx_typ* v = mdl->baseVertex; v; v = v->next) {
    v->bonePtr1 = findBone(v->bone1);
    v->bonePtr2 = findBone(v->bone2);
    bonus* b = v->bonePtr1 ? v->bonePtr1 : mdl->baseBone;
    if (measured.insert(b).second) {
      b->min = b->max = v->pos;
    } else {
      b->min = {std::fmin(b->min.x, v->pos.x), std::fmin(b->min.y, v->pos.y), std::fmin(b->min.z, v->pos.z)};
      b->max = {std::fmax(b->max.x, v->pos.x), std::fmax(b->max.y, v->pos.y), std::fmax(b->max.z, v->pos.z)};
    }
  }

  // Per-slot index lists and texture coordinates; a slot holds at most 2000 triangles over at
  // most 2000 vertices, further triangles of the slot are left out of its lists.
  std::vector<int> slotOf(verts.size(), -1);
  bool overfull = false;
  for (int m = 0; m < 8; m++) {
    material_type& slot = mdl->materials[m];
    std::vector<uint32_t> touched;
    for (trio* t = mdl->baseTriangle; t; t = t->next) {
      if (t->material != m) continue;
      if (slot.numTriangles >= kMeshworkSlotLimit) {
        overfull = true;
        break;
      }
      int fresh = 0;
      for (uint32_t c : t->indices) fresh += slotOf[c] < 0 ? 1 : 0;
      if (slot.numVertices + fresh > kMeshworkSlotLimit) {
        overfull = true;
        break;
      }
      for (int k = 0; k < 3; k++) {
        uint32_t c = t->indices[k];
        if (slotOf[c] < 0) {
          slotOf[c] = slot.numVertices++;
          touched.push_back(c);
          slot.vertexList.push_back(c);
          slot.uvList.push_back(t->u[k]);
          slot.uvList.push_back(t->v[k]);
        }
        slot.indexList.push_back(static_cast<uint32_t>(slotOf[c]));
      }
      slot.numTriangles++;
    }
    for (uint32_t c : touched) slotOf[c] = -1;
  }
  if (overfull)
    OutputToConsoleF("// The model %s has more than %d triangles or vertices in one material; the rest are not drawn.\n",
                     mdl->signature, kMeshworkSlotLimit);

  // Vertex normals: the average of the face normals around each vertex.
  for (trio* t = mdl->baseTriangle; t; t = t->next) {
    for (vtx_typ* v : t->vertices) {
      v->normal.x += t->normal.x;
      v->normal.y += t->normal.y;
      v->normal.z += t->normal.z;
    }
  }
  for (vtx_typ* v = mdl->baseVertex; v; v = v->next) {
    float length = std::sqrt(v->normal.x * v->normal.x + v->normal.y * v->normal.y + v->normal.z * v->normal.z);
    if (length > 0 && std::isfinite(length)) {
      v->normal.x /= length;
      v->normal.y /= length;
      v->normal.z /= length;
    } else {
      v->normal = {0, 1, 0};
    }
  }
  return 1;
}

int LoadMeshworkModel(meshwork_model* mdl, const char* path) {
  std::vector<unsigned char> bytes;
  if (!ReadFileText(path, &bytes)) return 0;
  return LoadMeshworkModelFromMemory(mdl, reinterpret_cast<const char*>(bytes.data()), bytes.size(), path);
}

void ReadModelPosesText(meshwork_model* mdl, const char* data, size_t size) {
  ImportLineReader first(data, size);
  char line[kPoseLine];
  if (first.line(line, sizeof line) && std::strcmp(line, "ZNK_Poses") == 0) {
    ReadPosesZNKText(mdl, data, size);
    return;
  }
  ImportLineReader r(data, size);
  const auto bones = BonesByName(mdl);
  PoseBuilder built;
  while (r.line(line, sizeof line)) {
    if (line[0] == '\t') {
      // A bone code and its rotation as axis and angle: "(x,y,z) angle" on this line or the next.
      char code[256] = "";
      int used = 0;
      if (std::sscanf(line + 1, "%255s%n", code, &used) != 1) continue;
      const char* rest = line + 1 + used;
      while (*rest == ' ' || *rest == '\t') rest++;
      char next[kPoseLine];
      if (*rest != '(') {
        if (!r.line(next, sizeof next)) break;
        rest = next;
        while (*rest == ' ' || *rest == '\t') rest++;
      }
      long x = 0, y = 0, z = 0, angle = 0;
      if (std::sscanf(rest, "(%ld,%ld,%ld) %ld", &x, &y, &z, &angle) != 4) continue;
      bonus* bone = Find(bones, code);
      if (!bone) continue;
      vector_type e = GetEularAngles(static_cast<float>(angle), x / 100000.0f, y / 100000.0f, z / 100000.0f);
      bone_turner* t = new bone_turner();
      t->theBone = bone;
      t->xang = e.x;
      t->yang = e.y;
      t->zang = e.z;
      t->used = 1;
      built.add(t);
    } else if (std::strcmp(line, "*END*") == 0 || line[0] == '\0') {
      continue;
    } else {
      built.start(line);
    }
  }
  InstallPoses(mdl, built);
}

void ImportModelPoses(meshwork_model* mdl, const char* path) {
  std::vector<unsigned char> bytes;
  if (!ReadFileText(path, &bytes)) return;
  ReadModelPosesText(mdl, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void LoadModelPosesZNK(meshwork_model* mdl, const char* path) {
  std::vector<unsigned char> bytes;
  if (!ReadFileText(path, &bytes)) return;
  ReadPosesZNKText(mdl, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void ReadModelAnimationsText(meshwork_model* mdl, const char* data, size_t size) {
  FreeAnimations(mdl->baseAnim);
  mdl->baseAnim = mdl->animPtr = nullptr;
  if (mdl->parent) {
    mdl->parent->curAnim = nullptr;
    mdl->parent->animating = 0;
  }
  ImportLineReader r(data, size);
  char line[kPoseLine];
  const auto poses = PosesByName(mdl->basePose);
  while (r.line(line, sizeof line)) {
    if (line[0] == '\0') continue;
    pose_animation* a = new pose_animation();
    ZNK_CopyString(a->signature, line, sizeof a->signature);
    if (mdl->animPtr) mdl->animPtr->next = a;
    else mdl->baseAnim = a;
    mdl->animPtr = a;
    long frames = 0;
    if (r.line(line, sizeof line)) std::sscanf(line, "%ld", &frames);
    // Each frame takes three lines, so a count beyond the bytes left is cut to what is there.
    if (frames < 0) frames = 0;
    if (static_cast<unsigned long>(frames) > r.remaining() / 3 + 1) frames = static_cast<long>(r.remaining() / 3 + 1);
    for (long i = 0; i < frames; i++) {
      char morph[kPoseLine], delay[kPoseLine], name[kPoseLine];
      if (!r.line(morph, sizeof morph) || !r.line(delay, sizeof delay) || !r.line(name, sizeof name)) break;
      poseanim_frame* f = new poseanim_frame();
      double m = 0, d = 0;
      std::sscanf(morph, "%lf", &m);
      std::sscanf(delay, "%lf", &d);
      auto ms = [](double s) -> long {
        double v = s * 1000.0;
        if (!std::isfinite(v) || v > 2e9 || v < -2e9) return 0;
        return static_cast<long>(v);
      };
      f->morphTime = ms(m);
      f->delay = ms(d);
      ZNK_CopyString(f->poseName, name, sizeof f->poseName);
      f->thePose = Find(poses, name);
      f->timeStamp = a->animDuration;
      a->animDuration += f->morphTime + f->delay;
      if (a->lastFrame) a->lastFrame->next = f;
      else a->baseFrame = f;
      a->lastFrame = f;
      a->numPoses++;
    }
    a->framePtr = a->curFrame = a->baseFrame;
  }
}

void ImportModelAnimations(meshwork_model* mdl, const char* path) {
  std::vector<unsigned char> bytes;
  if (!ReadFileText(path, &bytes)) return;
  ReadModelAnimationsText(mdl, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void DisposeMeshworkModel(meshwork_model* mdl) {
  if (!mdl) return;
  for (vtx_typ* v = mdl->baseVertex; v;) {
    vtx_typ* n = v->next;
    delete v;
    v = n;
  }
  for (trio* t = mdl->baseTriangle; t;) {
    trio* n = t->next;
    delete t;
    t = n;
  }
  for (bonus* b = mdl->baseBone; b;) {
    bonus* n = b->next;
    delete b;
    b = n;
  }
  FreePoses(mdl->basePose);
  FreeAnimations(mdl->baseAnim);
  delete mdl;
}

void FlushModelCache() {
  if (!baseMesh) return;
  for (meshwork_model* m = baseMesh->next; m;) {
    meshwork_model* next = m->next;
    for (material_type& slot : m->materials) {
      for (uint32_t* name : {&slot.theTexture, &slot.theTexture2}) {
        if (*name && glIsTexture(*name)) {
          GLuint texture = *name;
          glDeleteTextures(1, &texture);
        }
        *name = 0;
      }
    }
    DisposeMeshworkModel(m);
    m = next;
  }
  baseMesh->next = nullptr;
  meshPtr = baseMesh;
}

int CountCachedModels() {
  int n = 0;
  for (meshwork_model* m = baseMesh ? baseMesh->next : nullptr; m; m = m->next) n++;
  return n;
}

void ImportAllMeshworkModels() {
  if (!baseMesh) baseMesh = new meshwork_model();
  FlushModelCache();
  meshPtr = baseMesh;

  char listPath[1100];
  std::snprintf(listPath, sizeof listPath, "%scache", routePath);
  std::vector<unsigned char> bytes;
  if (!ReadFileText(listPath, &bytes)) {
    OutputToConsole("//Model precache file was not found!\n");
    return;
  }
  ImportLineReader r(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  char line[kPoseLine];
  while (r.line(line, sizeof line)) {
    if (line[0] == '\0') break;
    // A name has at most 63 characters; a longer one names no file of the list.
    char name[kCacheNameLength + 1];
    ZNK_CopyString(name, line, sizeof name);
    char path[1200];
    std::snprintf(path, sizeof path, "%sModels/%s", routePath, name);
    if (std::strlen(line) > kCacheNameLength || !ZNK_FileExists(path)) {
      OutputToConsoleF("//Failed to load model: %s\n", line);
      continue;
    }
    meshwork_model* mdl = NewMeshworkModel();
    if (!LoadMeshworkModel(mdl, path)) {
      DisposeMeshworkModel(mdl);
      continue;
    }
    char poses[1300];
    std::snprintf(poses, sizeof poses, "%s_poses", path);
    ImportModelPoses(mdl, poses);
    char anims[1400];
    std::snprintf(anims, sizeof anims, "%s_anims", poses);
    ImportModelAnimations(mdl, anims);
    meshPtr->next = mdl;
    meshPtr = mdl;
  }
}
