// Level mesh lists and what is derived from them: vertex normals, the vertex arrays and the
// per-material draw lists in distance order, the rebuild of the box tree and collision data,
// and the editing helpers (new vertex, deletion, facing).
#include "world/level_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "models/materials.h"
#include "objects/player.h"
#include "world/box_tree.h"
#include "world/collide_slide.h"
#include "world/object_collision.h"
#include "world/record_pool.h"
#include "world/world_math.h"

mesh_vert baseMeshVert;
mesh_edge baseEdge;
level_triangle baseLT;
mesh_vert* baseMeshVertPtr = &baseMeshVert;
mesh_edge* baseEdgePtr = &baseEdge;
level_triangle* baseLTPtr = &baseLT;
mesh_vert* meshVertPtr = &baseMeshVert;
mesh_edge* edgePtr = &baseEdge;
level_triangle* trigPtr = &baseLT;

std::vector<float> gMeshVertexArray;
std::vector<float> gMeshVertexNormalArray;
int gNumVertices = 0;
int gNumTriangles = 0;

int gXLocked = 0, gYLocked = 0, gZLocked = 0;
vector_type gLastVertexPos = {0.0f, 0.0f, 0.0f};
vector_type gTheVerts[3];
int gLevelNeedsRebuild = 0;

namespace {

// The level's records come from these pools and go back to them when removed.
RecordPool<mesh_vert> gVertexPool;
RecordPool<mesh_edge> gEdgePool;
RecordPool<level_triangle> gTrianglePool;

// One more than the largest vertex index in the level list, kept as vertices are made and
// renumbered so that a new vertex gets its index without walking the list. A removal makes it
// unknown; the next new vertex then walks the list once.
uint32_t gVertexIndexLimit = 0;
bool gVertexIndexLimitKnown = true;

std::vector<level_triangle*> gSortOrder;
// Triangles each material's draw arrays can take, parallel to gMaterials.
std::vector<uint32_t> gMaterialRoom;

// Sort key: a distance that is not a number sorts as the farthest.
inline float DistanceKey(const level_triangle* t) {
  return std::isnan(t->zDist) ? INFINITY : t->zDist;
}

inline bool Drawable(const level_triangle* t) { return t->marked && t->visible && !t->invisible; }

template <class T>
bool ResizeArray(T** array, size_t count) {
  void* grown = std::realloc(*array, std::max<size_t>(count, 1) * sizeof(T));
  if (!grown) return false;
  *array = static_cast<T*>(grown);
  return true;
}

void AppendToMaterial(const level_triangle* t) {
  zntlmtrl& m = gMaterials[t->meshworkMaterial];
  if (m.i / 3 >= gMaterialRoom[t->meshworkMaterial]) return;
  for (int c = 0; c < 3; ++c) {
    m.indices[m.i] = t->vertexPtrs[c]->index;
    m.faceNormals[m.i] = VComponent(t->normal, c);
    m.i += 1;
    m.UVs[m.j] = t->u[c];
    m.UVs[m.j + 1] = t->v[c];
    m.j += 2;
  }
}

// Stable ascending sort by distance. The adjacent-swap sort is linear on the nearly sorted
// list of the previous frame; when it meets a list far from sorted (the first frame of a new
// level) it hands over to a merge sort, which gives the same order because both keep equal
// distances in their order.
void SortByDistance(std::vector<level_triangle*>& a) {
  const size_t n = a.size();
  size_t budget = 8 * n + 1024;
  size_t k = 0;
  while (k + 1 < n) {
    if (DistanceKey(a[k + 1]) < DistanceKey(a[k])) {
      std::swap(a[k], a[k + 1]);
      if (k > 0) --k;
      if (--budget == 0) {
        std::stable_sort(a.begin(), a.end(), [](const level_triangle* x, const level_triangle* y) {
          return DistanceKey(x) < DistanceKey(y);
        });
        return;
      }
    } else {
      ++k;
    }
  }
}

void FreeAllLists() {
  gTrianglePool.Clear();
  gEdgePool.Clear();
  gVertexPool.Clear();
  baseLT.next = nullptr;
  baseEdge.next = nullptr;
  baseMeshVert.next = nullptr;
  gVertexIndexLimit = 0;
  gVertexIndexLimitKnown = true;
}

void ResetCursors() {
  meshVertPtr = &baseMeshVert;
  edgePtr = &baseEdge;
  trigPtr = &baseLT;
}

}  // namespace

void InitLevelLists() {
  FreeLevelGeometry();
  baseMeshVertPtr = &baseMeshVert;
  baseEdgePtr = &baseEdge;
  baseLTPtr = &baseLT;
  gXLocked = gYLocked = gZLocked = 0;
}

void MarkLevelChanged() { gLevelNeedsRebuild = 1; }

void UpdateLevelIfChanged() {
  if (gLevelNeedsRebuild) GenerateLevelFromMesh();
}

void GenerateLevelFromMesh() {
  gLevelNeedsRebuild = 0;
  NumberLevelVertices();
  MakeMeshVertexNormals();
  MeshListToArray();
  BuildBoxTree();
  BuildObjectCollisionData();
}

void MakeMeshVertexNormals() {
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    v->collPos = v->pos;
    v->vertexNormal = {0.0f, 0.0f, 0.0f};
  }
  for (level_triangle* t = baseLT.next; t; t = t->next)
    for (mesh_vert* corner : t->vertexPtrs) corner->vertexNormal = VAdd(corner->vertexNormal, t->normal);
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    vector_type& n = v->vertexNormal;
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) n = {0.0f, 1.0f, 0.0f};
    else Normalize(&n);
  }
}

void MeshListToArray() {
  const vector_type P = playerPos;

  uint32_t count = 0;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) v->index = count++;
  gNumVertices = static_cast<int>(count);
  gMeshVertexArray.resize(3 * static_cast<size_t>(count));
  gMeshVertexNormalArray.resize(3 * static_cast<size_t>(count));
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    float* p = &gMeshVertexArray[3 * static_cast<size_t>(v->index)];
    float* n = &gMeshVertexNormalArray[3 * static_cast<size_t>(v->index)];
    p[0] = v->pos.x, p[1] = v->pos.y, p[2] = v->pos.z;
    n[0] = v->vertexNormal.x, n[1] = v->vertexNormal.y, n[2] = v->vertexNormal.z;
  }

  for (uint32_t m = 0; m < gNumMaterials; ++m) gMaterials[m].i = gMaterials[m].j = gMaterials[m].numTriangles = 0;

  gSortOrder.clear();
  for (level_triangle* t = baseLT.next; t; t = t->next) {
    vector_type sum = VAdd(VAdd(t->vertexPtrs[0]->pos, t->vertexPtrs[1]->pos), t->vertexPtrs[2]->pos);
    t->zDist = VDistance(P, VScale(sum, 0.333333f));
    gSortOrder.push_back(t);
    if (!Drawable(t) || gNumMaterials == 0) continue;
    if (t->meshworkMaterial < 0 || static_cast<uint32_t>(t->meshworkMaterial) >= gNumMaterials) t->meshworkMaterial = 0;
    gMaterials[t->meshworkMaterial].numTriangles += 1;
  }
  gNumTriangles = static_cast<int>(gSortOrder.size());

  gMaterialRoom.assign(gNumMaterials, 0);
  for (uint32_t m = 0; m < gNumMaterials; ++m) {
    zntlmtrl& mat = gMaterials[m];
    const size_t n = mat.numTriangles;
    if (ResizeArray(&mat.indices, 3 * n) && ResizeArray(&mat.faceNormals, 3 * n) && ResizeArray(&mat.UVs, 6 * n))
      gMaterialRoom[m] = static_cast<uint32_t>(n);
  }
  if (gSortOrder.empty()) return;

  SortByDistance(gSortOrder);

  level_triangle* last = &baseLT;
  uint32_t order = 0;
  for (level_triangle* t : gSortOrder) {
    last->next = t;
    last = t;
    t->listOrder = order++;
    if (gNumMaterials && Drawable(t) && gMaterials[t->meshworkMaterial].transparencyMode == 0) AppendToMaterial(t);
  }
  last->next = nullptr;
  if (!gNumMaterials) return;
  for (size_t k = gSortOrder.size(); k-- > 0;) {
    level_triangle* t = gSortOrder[k];
    if (Drawable(t) && gMaterials[t->meshworkMaterial].transparencyMode != 0) AppendToMaterial(t);
  }
}

void MarkAllTriangles(level_triangle* first, int value) {
  for (level_triangle* t = first; t; t = t->next) t->marked = value;
}

uint32_t NumberLevelVertices() {
  uint32_t count = 0;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) v->index = count++;
  gVertexIndexLimit = count;
  gVertexIndexLimitKnown = true;
  return count;
}

mesh_vert* NewEmptyMeshVert(vector_type pos) {
  mesh_vert* v = gVertexPool.New();
  if (gXLocked) pos.x = 0.0f;
  if (gYLocked) pos.y = 0.0f;
  if (gZLocked) pos.z = 0.0f;
  v->pos = pos;
  gLastVertexPos = pos;
  v->selected = v->oldSelected = 0;
  v->next = nullptr;
  v->isBone = 0;
  v->weight = 100;
  // The largest index present plus one; the caller links the vertex, so it counts from now on.
  if (!gVertexIndexLimitKnown) {
    gVertexIndexLimit = 0;
    for (mesh_vert* w = baseMeshVert.next; w; w = w->next)
      if (w->index + 1 > gVertexIndexLimit) gVertexIndexLimit = w->index + 1;
    gVertexIndexLimitKnown = true;
  }
  v->index = gVertexIndexLimit++;
  std::strcpy(v->bone1, "None");
  std::strcpy(v->bone2, "None");
  v->theBone = v->parent = nullptr;
  v->visible = 1;
  v->u = v->v = 0.0f;
  return v;
}

mesh_edge* NewMeshEdge(mesh_vert* v1, mesh_vert* v2) {
  mesh_edge* e = gEdgePool.New();
  e->v1 = v1;
  e->v2 = v2;
  e->visible = 1;
  return e;
}

level_triangle* NewLevelTriangle() { return gTrianglePool.New(); }

void FreeMeshVert(mesh_vert* v) {
  gVertexPool.Free(v);
  gVertexIndexLimitKnown = false;
}

void FreeMeshEdge(mesh_edge* e) { gEdgePool.Free(e); }

void FreeLevelTriangle(level_triangle* t) { gTrianglePool.Free(t); }

size_t LevelRecordsLive() { return gVertexPool.Live() + gEdgePool.Live() + gTrianglePool.Live(); }

void DeleteVertices(int all) {
  if (all) {
    FreeAllLists();
  } else {
    auto usesSelected = [](mesh_vert* a, mesh_vert* b, mesh_vert* c) {
      return (a && a->selected) || (b && b->selected) || (c && c->selected);
    };
    for (level_triangle* prev = &baseLT; prev->next;) {
      level_triangle* t = prev->next;
      if (usesSelected(t->vertexPtrs[0], t->vertexPtrs[1], t->vertexPtrs[2])) {
        prev->next = t->next;
        FreeLevelTriangle(t);
      } else {
        prev = t;
      }
    }
    for (mesh_edge* prev = &baseEdge; prev->next;) {
      mesh_edge* e = prev->next;
      if (usesSelected(e->v1, e->v2, nullptr)) {
        prev->next = e->next;
        FreeMeshEdge(e);
      } else {
        prev = e;
      }
    }
    for (mesh_vert* prev = &baseMeshVert; prev->next;) {
      mesh_vert* v = prev->next;
      if (v->selected) {
        prev->next = v->next;
        FreeMeshVert(v);
      } else {
        prev = v;
      }
    }
  }
  ResetCursors();
  // The tree and the collision data point at freed records: drop them now, rebuild before
  // the next frame or query.
  FreeBoxTree();
  FreeObjectCollisionData();
  MarkLevelChanged();
}

void InvertTrigFacing(level_triangle* trig) {
  std::swap(trig->vertexPtrs[1], trig->vertexPtrs[2]);
  std::swap(trig->u[1], trig->u[2]);
  std::swap(trig->v[1], trig->v[2]);
  trig->normal = GetNormalOfTrig(trig->vertexPtrs[0]->pos, trig->vertexPtrs[1]->pos, trig->vertexPtrs[2]->pos);
  if (trig->thePlane) *trig->thePlane = planeFromTrig(trig->normal, trig->vertexPtrs[0]->pos);
}

void FixTriangleFacing(level_triangle* trig, vector_type facePos, int out) {
  vector_type sum = VAdd(VAdd(trig->vertexPtrs[0]->pos, trig->vertexPtrs[1]->pos), trig->vertexPtrs[2]->pos);
  vector_type centroid = {static_cast<float>(sum.x / 3.0), static_cast<float>(sum.y / 3.0),
                          static_cast<float>(sum.z / 3.0)};
  vector_type d = VSub(centroid, facePos);
  Normalize(&d);
  if (isFrontFacingTo(trig->normal, d) == (out ? 1 : 0)) InvertTrigFacing(trig);
}

vector_type* TriangleCollPlane(level_triangle* trig) {
  for (int c = 0; c < 3; ++c) gTheVerts[c] = trig->vertexPtrs[c]->pos;
  return gTheVerts;
}

void FreeLevelGeometry() {
  FreeBoxTree();
  FreeObjectCollisionData();
  DeleteVertices(1);
  gMeshVertexArray.clear();
  gMeshVertexNormalArray.clear();
  gNumVertices = gNumTriangles = 0;
  gSortOrder.clear();
}
