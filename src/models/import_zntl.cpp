// Own model file as level geometry. The file is read by the model loader (which checks every
// count and index), then its parts are moved into the level's lists, materials and bones.
#include "models/import_zntl.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "models/import_common.h"
#include "models/materials.h"
#include "models/skeleton.h"
#include "models/zntl_model.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "world/level_mesh.h"

namespace {

// Grows gBones by `extra` zeroed bones. Pointers into the array (the level vertices' bones,
// the bones' parents) follow it when it moves.
bool GrowLevelBones(uint32_t extra) {
  const uintptr_t oldBase = reinterpret_cast<uintptr_t>(gBones);
  const uintptr_t oldEnd = oldBase + gNumBones * sizeof(zntlbone);
  zntlbone* grown = static_cast<zntlbone*>(std::realloc(gBones, (gNumBones + extra) * sizeof(zntlbone)));
  if (!grown) return false;
  std::memset(grown + gNumBones, 0, extra * sizeof(zntlbone));
  gBones = grown;
  const uintptr_t newBase = reinterpret_cast<uintptr_t>(grown);
  if (newBase == oldBase || oldBase == 0) return true;
  auto follow = [&](zntlbone*& p) {
    uintptr_t a = reinterpret_cast<uintptr_t>(p);
    if (a >= oldBase && a < oldEnd) p = reinterpret_cast<zntlbone*>(newBase + (a - oldBase));
  };
  for (uint32_t i = 0; i < gNumBones; i++) follow(gBones[i].parent);
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    follow(v->theBone);
    follow(v->parent);
  }
  return true;
}

}  // namespace

void Import_Zyntrel_Mdl(const char* fileName, float scaleFactor) {
  zntlmdl* mdl = NewZyntrelMdl();
  if (!mdl) return;
  if (!Load_Zyntrel_Mdl(fileName, mdl, kZntlLevelGeometry)) {
    std::free(mdl);
    return;
  }

  // Bones: appended to gBones with four-character codes.
  const uint32_t B = mdl->numBones;
  const uint32_t boneOffset = gNumBones;
  bool bonesOk = B == 0 || GrowLevelBones(B);
  if (bonesOk) {
    for (uint32_t i = 1; i <= B; i++) {
      zntlbone* bone = &gBones[boneOffset + i - 1];
      const zntlbone* src = &mdl->bones[i];
      char name[256];
      ZNK_CopyString(name, src->signature, sizeof name);
      boneAssignment* entry = FindFreeBoneCodeAndAddToList(name, 1);
      ZNK_CopyString(bone->fourchars, entry ? entry->fourchars : "None", sizeof bone->fourchars);
      ZNK_CopyString(bone->signature, entry ? entry->longName : src->signature, sizeof bone->signature);
      bone->tempInt = src->tempInt;
      bone->currentAnimation = -1;
      bone->pos = {src->pos.x * scaleFactor, src->pos.y * scaleFactor, src->pos.z * scaleFactor};
    }
    for (uint32_t i = 1; i <= B; i++) {
      // Parent number p - 1 in the file's numbering; the file's root is the bone before its
      // first bone (the level's default bone for the first import).
      uint32_t p = static_cast<uint32_t>(mdl->bones[i].parent - mdl->bones);
      uint32_t index = boneOffset + p - 1;
      gBones[boneOffset + i - 1].parent = (p == 0 && boneOffset == 0) ? nullptr : &gBones[index];
    }
    gNumBones += B;
  }

  // Vertices.
  ImportMesh mesh;
  mesh.triangleEdges = false;
  const uint32_t V = mdl->numVertices;
  mesh.positions.resize(V);
  for (uint32_t i = 0; i < V; i++) {
    vector_type p = mdl->vlist[i]->pos;
    mesh.positions[i] = {p.x * scaleFactor, p.y * scaleFactor, p.z * scaleFactor};
  }
  mesh.edges.reserve(mdl->numEdges);
  for (mesh_edge* e = mdl->baseEdge.next; e; e = e->next) mesh.edges.push_back({e->v1->index, e->v2->index});
  mesh.triangles.reserve(mdl->numTriangles);

  // Materials, each a new level material with the file's settings, and their triangles.
  level_triangle* t = mdl->baseLT.next;
  for (uint32_t mi = 0; mi < mdl->numMaterials; mi++) {
    const zntlmtrl* src = &mdl->materials[mi];
    uint32_t before = gNumMaterials;
    MeshEditorAddMaterial(src->name);
    int material = 0;
    if (gNumMaterials > before) {
      material = static_cast<int>(gNumMaterials - 1);
      zntlmtrl* dst = &gMaterials[material];
      CopyPublicMaterialSettings(src, dst);
      dst->numTriangles = 0;
      dst->i = dst->j = 0;
    }
    for (uint32_t k = 0; k < src->numTriangles && t; k++, t = t->next) {
      ImportTriangle it{};
      for (int c = 0; c < 3; c++) {
        it.corner[c] = t->vertexPtrs[c]->index;
        it.u[c] = t->u[c];
        it.v[c] = t->v[c];
      }
      it.meshworkMaterial = material;
      it.smooth = src->shadeModel;
      it.theTexture = src->materialTexture;
      it.invisible = 0;
      it.transparent = 0;
      mesh.triangles.push_back(it);
    }
  }

  // Bone codes go onto the new level vertices once they are made.
  std::vector<mesh_vert*> verts;
  AppendImportToLevelNoRebuild(mesh, &verts);
  for (uint32_t i = 0; i < V && i < verts.size(); i++) {
    mesh_vert* v = verts[i];
    int b = mdl->vlist[i]->boneIndex;
    v->vertexNormal = {0, 0, 0};
    v->boneIndex = static_cast<int>(boneOffset) + b - 1;
    const char* code = "None";
    if (bonesOk && b >= 1 && static_cast<uint32_t>(b) <= B) code = gBones[boneOffset + b - 1].fourchars;
    ZNK_CopyString(v->bone1, code, sizeof v->bone1);
  }
  if (bonesOk) {
    for (uint32_t i = 1; i <= B; i++) {
      zntlbone* bone = &gBones[boneOffset + i - 1];
      int h = bone->tempInt;
      if (h < 0 || static_cast<uint32_t>(h) >= verts.size()) continue;
      mesh_vert* head = verts[h];
      head->isBone = 1;
      head->theBone = bone;
      ZNK_CopyString(head->bone1, bone->fourchars, sizeof head->bone1);
      uint32_t p = static_cast<uint32_t>(mdl->bones[i].parent - mdl->bones);
      bool ownParent = p == i;
      bool topLevel = p == 0;
      ZNK_CopyString(head->signature, (ownParent || topLevel) ? "None" : gBones[boneOffset + p - 1].fourchars,
                     sizeof head->signature);
    }
  }
  Dispose_Zyntrel_Mdl(mdl);
  MarkLevelChanged();
}
