// Small levels and bodies for the collision command tests: floors put straight into the level
// lists, objects with a plain model record, and register access by 1-based number.
#pragma once
#include <cstring>
#include <string>

#include "models/materials.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "objects/vector_math.h"
#include "script/variables.h"
#include "world/level_mesh.h"

namespace ct {

inline vector_type V(float x, float y, float z) { return {x, y, z}; }

inline mesh_vert* Vert(vector_type p) {
  mesh_vert* v = NewEmptyMeshVert(p);
  v->next = baseMeshVert.next;
  baseMeshVert.next = v;
  return v;
}

// A triangle with three new corners, winding as given, appended to the front of the list.
inline level_triangle* Triangle(vector_type a, vector_type b, vector_type c, int material = 0) {
  level_triangle* t = NewLevelTriangle();
  t->vertexPtrs[0] = Vert(a);
  t->vertexPtrs[1] = Vert(b);
  t->vertexPtrs[2] = Vert(c);
  t->normal = GetNormalOfTrig(a, b, c);
  t->meshworkMaterial = material;
  t->visible = 1;
  t->next = baseLT.next;
  baseLT.next = t;
  return t;
}

// A square floor at height y facing up, from (x0, z0) to (x1, z1).
inline void Floor(float x0, float z0, float x1, float z1, float y, int material = 0) {
  Triangle(V(x0, y, z0), V(x0, y, z1), V(x1, y, z1), material);
  Triangle(V(x0, y, z0), V(x1, y, z1), V(x1, y, z0), material);
}

inline int CountTriangles() {
  int n = 0;
  for (level_triangle* t = baseLT.next; t; t = t->next) ++n;
  return n;
}
inline int CountEdges() {
  int n = 0;
  for (mesh_edge* e = baseEdge.next; e; e = e->next) ++n;
  return n;
}
inline int CountVertices() {
  int n = 0;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) ++n;
  return n;
}

// An object with a model whose box is the cube of half side `half` around pos and whose
// sphere has radius `half`.
inline human_being* Body(const char* name, vector_type pos, float half) {
  if (!baseHuman) InitHumanRegistry();
  human_being* h = new human_being();
  std::snprintf(h->name, sizeof h->name, "%s", name);
  h->objectType = 1;
  h->xpos = pos.x, h->ypos = pos.y, h->zpos = pos.z;
  h->mdl = new zntlmdl();
  h->mdl->cradius = half;
  h->mdl->eRadius = V(half, half, half);
  h->mdl->boundingSphereRadius = half;
  h->mdl->newBoxMin = V(pos.x - half, pos.y - half, pos.z - half);
  h->mdl->newBoxMax = V(pos.x + half, pos.y + half, pos.z + half);
  human_being* last = baseHuman;
  while (last->next) last = last->next;
  last->next = h;
  return h;
}

inline void RemoveBodies() {
  if (!baseHuman) return;
  for (human_being* h = baseHuman->next; h;) {
    human_being* next = h->next;
    delete h->mdl;
    delete h;
    h = next;
  }
  baseHuman->next = nullptr;
}

inline double& F(int n) { return gScriptVars.floats[n - 1]; }
inline int32_t& I(int n) { return gScriptVars.ints[n - 1]; }
inline int32_t& B(int n) { return gScriptVars.bools[n - 1]; }
inline char* S(int n) { return gScriptVars.strings[n - 1]; }

inline void Segment(vector_type a, vector_type b) {
  F(1) = a.x, F(2) = a.y, F(3) = a.z;
  F(4) = b.x, F(5) = b.y, F(6) = b.z;
}

// Runs a command on a writable copy of its parameter text.
inline void Cmd(char* (*command)(char*, char*), const std::string& parms, char* echo = nullptr) {
  std::string copy = parms;
  command(&copy[0], echo);
}

}  // namespace ct
