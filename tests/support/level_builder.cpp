// Level and body builders for the world tests.
#include "support/level_builder.h"

#include <cstring>
#include <random>

#include "models/materials.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "world/level_mesh.h"

namespace wt {

static level_triangle* gTail = nullptr;

void ResetLevel(int extraMaterials, int transparent) {
  FreeLevelGeometry();
  gTail = nullptr;
  ShrinkToDefaultMaterialAndBone();
  for (int k = 0; k < extraMaterials; ++k) {
    MeshEditorAddMaterial("Extra");
    if (k >= extraMaterials - transparent) gMaterials[gNumMaterials - 1].transparencyMode = 1;
  }
}

static mesh_vert* NewVertex(vector_type p) {
  mesh_vert* v = NewEmptyMeshVert(p);
  v->next = baseMeshVert.next;
  baseMeshVert.next = v;
  return v;
}

level_triangle* AddTriangle(vector_type a, vector_type b, vector_type c, int material) {
  SyncLevelTriangleList();  // appending to the list changes it
  level_triangle* t = NewLevelTriangle();
  t->vertexPtrs[0] = NewVertex(a);
  t->vertexPtrs[1] = NewVertex(b);
  t->vertexPtrs[2] = NewVertex(c);
  t->normal = GetNormalOfTrig(a, b, c);
  t->meshworkMaterial = material;
  t->visible = 1;
  // Appending keeps list order = creation order. Walking on from the last triangle added
  // (still in the list after any relinking) keeps big levels linear to build.
  level_triangle* last = gTail ? gTail : &baseLT;
  while (last->next) last = last->next;
  last->next = t;
  gTail = t;
  return t;
}

void AddFloor(float x0, float z0, float x1, float z1, float y) {
  // Counter-clockwise seen from above: normal +y.
  AddTriangle(V(x0, y, z0), V(x0, y, z1), V(x1, y, z1));
  AddTriangle(V(x0, y, z0), V(x1, y, z1), V(x1, y, z0));
}

void AddFloorGrid(int n, float cell, float y) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) AddFloor(i * cell, j * cell, (i + 1) * cell, (j + 1) * cell, y);
}

void AddWallFacingMinusZ(float x0, float x1, float y0, float y1, float z0) {
  AddTriangle(V(x0, y0, z0), V(x0, y1, z0), V(x1, y1, z0));
  AddTriangle(V(x0, y0, z0), V(x1, y1, z0), V(x1, y0, z0));
}

void AddRandomTriangles(int count, float extent, float size, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> pos(0.0f, extent), off(-size, size);
  for (int k = 0; k < count; ++k) {
    vector_type a = V(pos(rng), pos(rng), pos(rng));
    AddTriangle(a, V(a.x + off(rng), a.y + off(rng), a.z + off(rng)), V(a.x + off(rng), a.y + off(rng), a.z + off(rng)));
  }
}

std::vector<level_triangle*> Triangles() {
  SyncLevelTriangleList();  // in list order
  std::vector<level_triangle*> out;
  for (level_triangle* t = baseLT.next; t; t = t->next) out.push_back(t);
  return out;
}

int TriangleCount() { return static_cast<int>(Triangles().size()); }

human_being* AddBody(vector_type pos, float cradius, float halfHeight, float sphereRadius) {
  if (!baseHuman) InitHumanRegistry();
  human_being* h = new human_being();
  h->objectType = 1;
  h->xpos = pos.x, h->ypos = pos.y, h->zpos = pos.z;
  h->mdl = new zntlmdl();
  h->mdl->cradius = cradius;
  h->mdl->eRadius = V(cradius, halfHeight, cradius);
  h->mdl->boundingSphereRadius = sphereRadius;
  h->mdl->newBoxMin = V(pos.x - cradius, pos.y - halfHeight, pos.z - cradius);
  h->mdl->newBoxMax = V(pos.x + cradius, pos.y + halfHeight, pos.z + cradius);
  human_being* last = baseHuman;
  while (last->next) last = last->next;
  last->next = h;
  return h;
}

void RemoveBodies() {
  if (!baseHuman) return;
  for (human_being* h = baseHuman->next; h;) {
    human_being* next = h->next;
    delete h->mdl;
    delete h;
    h = next;
  }
  baseHuman->next = nullptr;
}

}  // namespace wt
