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
#include "world/level_build.h"
#include "world/object_collision.h"
#include "world/radix_sort.h"
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

// What the frame lists of one triangle, copied at the level build: a triangle's corners,
// normal and texture coordinates change only through a rebuild.
struct TriangleDrawData {
  uint32_t corner[3];  // vertex numbers
  float normal[3];
  float uv[6];         // u, v of each corner
};
// The material of a triangle that is never drawn (not visible, or invisible).
constexpr uint32_t kNeverDrawn = 0xFFFFFFFFu;

// Draw indices follow the box tree in the order culling visits it (a node's subtrees, then
// the node): the triangles a node holds have consecutive numbers from its firstDrawIndex, and
// a wholly visible subtree is one range.
std::vector<level_triangle*> gDrawTriangles;  // by draw index
std::vector<TriangleDrawData> gDrawData;      // by draw index
std::vector<uint32_t> gDrawMaterial;          // by draw index: material, or kNeverDrawn
std::vector<vector_type> gCentroids;          // by draw index
std::vector<float> gDistances;                // by draw index: to the player, this frame
// The list's distance order: place k holds the draw index of the k-th triangle of the list,
// nearest first; gPlaceOf is its inverse.
std::vector<uint32_t> gOrder;
std::vector<uint32_t> gPlaceOf;
std::vector<float> gPlaceKey;  // by place: the sort key of its triangle's distance
// The triangle list is relinked into gOrder only when something walks or changes it.
bool gListRelinkPending = false;
// Ranges of draw indices held by the nodes this frame's culling found visible.
struct DrawRange {
  uint32_t first, count;
};
std::vector<DrawRange> gCulledIn;
// Per place, while the lists are filled: the material (plus 1) of a drawn triangle, then its
// rank among its material's drawn triangles. All zero between frames.
std::vector<uint32_t> gPlaceRank;
// A few drawn triangles are put in order by sorting (place, draw index) pairs instead.
std::vector<std::pair<uint32_t, uint32_t>> gFewDrawn;
// Per material, this frame: triangles listed so far.
std::vector<uint32_t> gMaterialFill;
// Triangles each material's draw arrays can take, parallel to gMaterials.
std::vector<uint32_t> gMaterialRoom;

// Sort key: a distance that is not a number sorts as the farthest.
inline float DistanceKey(float distance) { return std::isnan(distance) ? INFINITY : distance; }

bool HasDrawIndex(const level_triangle* t) {
  return t->drawIndex < gDrawTriangles.size() && gDrawTriangles[t->drawIndex] == t;
}

// A material index out of range is read as 0.
uint32_t MaterialOf(uint32_t material) { return material < gNumMaterials ? material : 0; }

template <class T>
bool ResizeArray(T** array, size_t count) {
  void* grown = std::realloc(*array, std::max<size_t>(count, 1) * sizeof(T));
  if (!grown) return false;
  *array = static_cast<T*>(grown);
  return true;
}

// What a material's drawing reads besides the vertex numbers: the face normal of each
// triangle when it is flat shaded, the corners' texture coordinates when it is textured.
constexpr uint8_t kListNormals = 1, kListUVs = 2;
std::vector<uint8_t> gMaterialReads;

uint8_t MaterialReads(const zntlmtrl& m) {
  return static_cast<uint8_t>((m.shadeModel == 0 ? kListNormals : 0) | (m.mapType != 0 ? kListUVs : 0));
}

// Writes the triangle as entry `slot` of its material's lists.
void PutInMaterial(const TriangleDrawData& d, uint32_t material, uint32_t slot) {
  zntlmtrl& m = gMaterials[material];
  if (slot >= gMaterialRoom[material]) return;
  const uint8_t reads = gMaterialReads[material];
  for (int c = 0; c < 3; ++c) m.indices[3 * slot + c] = d.corner[c];
  if (reads & kListNormals)
    for (int c = 0; c < 3; ++c) m.faceNormals[3 * slot + c] = d.normal[c];
  if (reads & kListUVs)
    for (int c = 0; c < 6; ++c) m.UVs[6 * slot + c] = d.uv[c];
}

std::vector<KeyedIndex> gRadixKeys, gRadixScratch;

// Stable radix sort of the order by the places' distances.
void RadixSortOrder() {
  const size_t n = gOrder.size();
  std::vector<KeyedIndex>& a = gRadixKeys;
  a.resize(n);
  for (size_t place = 0; place < n; ++place) a[place] = {DistanceSortKey(gPlaceKey[place]), gOrder[place]};
  StableSortByKey(&a, &gRadixScratch);
  for (size_t place = 0; place < n; ++place) {
    gOrder[place] = a[place].index;
    gPlaceOf[a[place].index] = static_cast<uint32_t>(place);
    gPlaceKey[place] = DistanceKey(gDistances[a[place].index]);
  }
}

// Stable ascending sort of the distance order; equal distances keep their order from the
// last frame. The adjacent-swap sort is linear on the nearly sorted order it usually meets;
// when the order has moved more than that (the player walks through a dense level, or jumps
// across it) a radix sort finishes, which gives the same order because both keep equal
// distances in their order. Returns true when anything moved.
bool SortDistanceOrder() {
  const size_t n = gOrder.size();
  // Each place nearer than the one before needs a swap at least: with many of them the
  // adjacent-swap sort would spend its budget for nothing.
  size_t descents = 0;
  for (size_t k = 0; k + 1 < n; ++k) descents += gPlaceKey[k + 1] < gPlaceKey[k];
  if (descents == 0) return false;
  if (descents > n / 64 + 64) {
    RadixSortOrder();
    return true;
  }
  size_t budget = n / 32 + 256;
  bool moved = false;
  size_t k = 0;
  while (k + 1 < n) {
    if (gPlaceKey[k + 1] < gPlaceKey[k]) {
      std::swap(gOrder[k], gOrder[k + 1]);
      std::swap(gPlaceKey[k], gPlaceKey[k + 1]);
      gPlaceOf[gOrder[k]] = static_cast<uint32_t>(k);
      gPlaceOf[gOrder[k + 1]] = static_cast<uint32_t>(k + 1);
      moved = true;
      if (--budget == 0) {
        RadixSortOrder();
        return true;
      }
      if (k > 0) --k;
    } else {
      ++k;
    }
  }
  return moved;
}

// Fills the per-material lists from the triangles of the nodes culling found visible:
// opaque materials nearest first, the others farthest first. Many drawn triangles are put in
// order through one pass over the places (bounded by a fixed multiple of their number) and
// written straight to their entries; a few are sorted.
void FillMaterialLists() {
  if (gNumMaterials == 0) return;
  const size_t n = gOrder.size();
  size_t drawn = 0;
  for (const DrawRange& range : gCulledIn) drawn += range.count;
  const bool many = drawn * 16 >= n;
  if (many) gPlaceRank.resize(n, 0);
  gFewDrawn.clear();
  for (const DrawRange& range : gCulledIn) {
    for (uint32_t index = range.first; index < range.first + range.count; ++index) {
      if (gDrawMaterial[index] == kNeverDrawn) continue;
      if (gDrawMaterial[index] >= gNumMaterials) {
        // A drawn triangle whose material is out of range takes material 0 for good.
        gDrawTriangles[index]->meshworkMaterial = 0;
        gDrawMaterial[index] = 0;
      }
      const uint32_t material = gDrawMaterial[index];
      gMaterials[material].numTriangles += 1;
      if (many)
        gPlaceRank[gPlaceOf[index]] = material + 1;
      else
        gFewDrawn.push_back({gPlaceOf[index], index});
    }
  }
  gMaterialRoom.assign(gNumMaterials, 0);
  gMaterialReads.assign(gNumMaterials, 0);
  for (uint32_t m = 0; m < gNumMaterials; ++m) {
    zntlmtrl& mat = gMaterials[m];
    const size_t count = mat.numTriangles;
    if (ResizeArray(&mat.indices, 3 * count) && ResizeArray(&mat.faceNormals, 3 * count) &&
        ResizeArray(&mat.UVs, 6 * count))
      gMaterialRoom[m] = static_cast<uint32_t>(count);
    gMaterialReads[m] = MaterialReads(mat);
    // Only what the material's drawing reads is listed: a smooth material's face normals and an
    // untextured one's texture coordinates would be written for nobody.
    mat.i = 3 * gMaterialRoom[m];
    mat.j = (gMaterialReads[m] & kListUVs) ? 6 * gMaterialRoom[m] : 0;
  }
  // Entry of the r-th nearest drawn triangle of a material: r when opaque, counted from the
  // end when blended.
  auto entryOf = [](uint32_t material, uint32_t rank) {
    const zntlmtrl& m = gMaterials[material];
    return m.transparencyMode == 0 ? rank : m.numTriangles - 1 - rank;
  };
  gMaterialFill.assign(gNumMaterials, 0);
  if (!many) {
    std::sort(gFewDrawn.begin(), gFewDrawn.end());
    for (const auto& [place, index] : gFewDrawn) {
      const uint32_t material = MaterialOf(gDrawMaterial[index]);
      PutInMaterial(gDrawData[index], material, entryOf(material, gMaterialFill[material]++));
    }
    return;
  }
  for (size_t place = 0; place < n; ++place) {
    if (!gPlaceRank[place]) continue;
    const uint32_t material = gPlaceRank[place] - 1;
    gPlaceRank[place] = gMaterialFill[material]++;
  }
  for (const DrawRange& range : gCulledIn) {
    for (uint32_t index = range.first; index < range.first + range.count; ++index) {
      if (gDrawMaterial[index] == kNeverDrawn) continue;
      const uint32_t material = MaterialOf(gDrawMaterial[index]);
      uint32_t& rank = gPlaceRank[gPlaceOf[index]];
      PutInMaterial(gDrawData[index], material, entryOf(material, rank));
      rank = 0;
    }
  }
}

void ResetMaterialCounters() {
  for (uint32_t m = 0; m < gNumMaterials; ++m) gMaterials[m].i = gMaterials[m].j = gMaterials[m].numTriangles = 0;
}

void ForgetDrawArrays() {
  gDrawTriangles.clear();
  gDrawData.clear();
  gDrawMaterial.clear();
  gCentroids.clear();
  gDistances.clear();
  gOrder.clear();
  gPlaceOf.clear();
  gPlaceKey.clear();
  gCulledIn.clear();
  gPlaceRank.clear();
  gRadixKeys.clear();
  gRadixScratch.clear();
  gListRelinkPending = false;
}

void AddDrawTriangle(LevelBuild* build, uint32_t number);

// Gives the held triangles of every node their draw indices, visiting the tree as culling
// does: sub1's subtree, sub2's subtree, then the node.
void NumberTrianglesByNode(LevelBuild* build) {
  struct Visit {
    AABB* node;
    bool childrenDone;
  };
  std::vector<Visit> stack;
  if (boxTree.numPolys > 0 || boxTree.sub1 || boxTree.sub2) stack.push_back({&boxTree, false});
  while (!stack.empty()) {
    Visit visit = stack.back();
    stack.pop_back();
    AABB* node = visit.node;
    if (!visit.childrenDone) {
      stack.push_back({node, true});
      if (node->sub2) stack.push_back({node->sub2, false});
      if (node->sub1) stack.push_back({node->sub1, false});
      continue;
    }
    node->firstDrawIndex = static_cast<uint32_t>(gDrawTriangles.size());
    HeldTriangles held = NodeHeldTriangles(node);
    for (int k = 0; k < held.count; ++k) AddDrawTriangle(build, held.numbers[k]);
  }
}

// The build's triangle `number` takes the next draw index.
void AddDrawTriangle(LevelBuild* build, uint32_t number) {
  const BuildTriangle& t = build->triangles[number];
  build->built[number].drawIndex = static_cast<uint32_t>(gDrawTriangles.size());
  TriangleDrawData d;
  for (int c = 0; c < 3; ++c) {
    d.corner[c] = t.vertex[c];
    d.normal[c] = VComponent(t.normal, c);
  }
  for (int c = 0; c < 6; ++c) d.uv[c] = t.uv[c];
  // A negative material is out of range like a too large one.
  const uint32_t material = t.material < 0 ? kNeverDrawn - 1 : static_cast<uint32_t>(t.material);
  gDrawTriangles.push_back(t.trig);
  gDrawData.push_back(d);
  gDrawMaterial.push_back(t.drawn ? material : kNeverDrawn);
  gCentroids.push_back(t.centroid);
  gDistances.push_back(t.distance);
}

// Relinks the list in the order of gOrder: place numbers and distances go into the records.
void RelinkList() {
  level_triangle* last = &baseLT;
  for (size_t place = 0; place < gOrder.size(); ++place) {
    level_triangle* t = gDrawTriangles[gOrder[place]];
    t->listOrder = static_cast<uint32_t>(place);
    t->zDist = gDistances[gOrder[place]];
    last->next = t;
    last = t;
  }
  last->next = nullptr;
  gListRelinkPending = false;
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

// The triangle list is read once; the sort, the tree, the collision data and the draw arrays
// work on what was read, and the records take the results in one pass at the end.
void GenerateLevelFromMesh() {
  gLevelNeedsRebuild = 0;
  SyncLevelTriangleList();
  LevelBuild build;
  GatherLevelForBuild(&build);
  SortLevelBuildByDistance(&build);
  BuildBoxTree(&build);
  BuildObjectCollisionData(&build);
  BuildLevelDrawArrays(&build);
  StoreLevelBuild(build);
}

// The level build makes the vertex normals as it reads the triangle list.
void MakeMeshVertexNormals() {
  LevelBuild build;
  GatherLevelForBuild(&build);
}

void BuildLevelDrawArrays(LevelBuild* build) {
  // The build numbered the vertices 0..n-1 in list order.
  uint32_t count = 0;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) ++count;
  gNumVertices = static_cast<int>(count);
  gMeshVertexArray.resize(3 * static_cast<size_t>(count));
  gMeshVertexNormalArray.resize(3 * static_cast<size_t>(count));
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    float* p = &gMeshVertexArray[3 * static_cast<size_t>(v->index)];
    float* n = &gMeshVertexNormalArray[3 * static_cast<size_t>(v->index)];
    p[0] = v->pos.x, p[1] = v->pos.y, p[2] = v->pos.z;
    n[0] = v->vertexNormal.x, n[1] = v->vertexNormal.y, n[2] = v->vertexNormal.z;
  }

  // Draw indices in the order of the tree's nodes; a triangle no node holds (there should be
  // none) comes last and is never drawn.
  ForgetDrawArrays();
  const size_t n = build->triangles.size();
  gDrawTriangles.reserve(n);
  gDrawData.reserve(n);
  gDrawMaterial.reserve(n);
  gCentroids.reserve(n);
  gDistances.reserve(n);
  for (BuiltTriangle& b : build->built) b.drawIndex = kNeverDrawn;
  NumberTrianglesByNode(build);
  for (uint32_t number : build->order)
    if (build->built[number].drawIndex == kNeverDrawn) AddDrawTriangle(build, number);
  gNumTriangles = static_cast<int>(gDrawTriangles.size());

  // The distance order starts as the list's order, which the build sorted.
  gPlaceOf.resize(n);
  gPlaceKey.resize(n);
  gOrder.resize(n);
  for (uint32_t place = 0; place < n; ++place) {
    gOrder[place] = build->built[build->order[place]].drawIndex;
    gPlaceOf[gOrder[place]] = place;
  }
  ResetMaterialCounters();
}

void MeshListToArray() {
  UpdateLevelIfChanged();
  ResetMaterialCounters();
  if (gOrder.empty()) return;
  const vector_type P = playerPos;
  for (size_t index = 0; index < gCentroids.size(); ++index) {
    const float distance = VDistance(P, gCentroids[index]);
    gDistances[index] = distance;
    gPlaceKey[gPlaceOf[index]] = DistanceKey(distance);
  }
  if (SortDistanceOrder()) gListRelinkPending = true;
  FillMaterialLists();
}

void SyncLevelTriangleList() {
  if (!gListRelinkPending) return;
  // The list must still hold exactly the triangles of the draw arrays; if it was changed
  // behind them, it keeps its own order.
  size_t count = 0;
  for (level_triangle* t = baseLT.next; t; t = t->next, ++count)
    if (!HasDrawIndex(t)) count = gDrawTriangles.size() + 1;
  if (count == gDrawTriangles.size())
    RelinkList();
  else
    ForgetDrawArrays();
}

void ClearCulledTriangles() { gCulledIn.clear(); }

void AddCulledNode(const AABB* node) {
  if (node->numPolys <= 0) return;
  const uint32_t first = node->firstDrawIndex;
  const uint32_t count = static_cast<uint32_t>(node->numPolys);
  if (first > gDrawTriangles.size() || count > gDrawTriangles.size() - first) return;
  // Culling marks a node after its subtrees, so a visible subtree's ranges join up.
  if (!gCulledIn.empty() && gCulledIn.back().first + gCulledIn.back().count == first)
    gCulledIn.back().count += count;
  else
    gCulledIn.push_back({first, count});
}

int TriangleDrawnThisFrame(const level_triangle* t) {
  if (!HasDrawIndex(t)) return 0;
  // The ranges ascend: culling visits the nodes in the order of their numbers.
  auto after = std::upper_bound(gCulledIn.begin(), gCulledIn.end(), t->drawIndex,
                                [](uint32_t index, const DrawRange& range) { return index < range.first; });
  if (after == gCulledIn.begin()) return 0;
  --after;
  return t->drawIndex < after->first + after->count ? 1 : 0;
}

uint32_t TriangleListOrder(const level_triangle* t) {
  if (HasDrawIndex(t)) return gPlaceOf[t->drawIndex];
  return t->listOrder;
}

float TriangleDistance(const level_triangle* t) {
  if (HasDrawIndex(t)) return gDistances[t->drawIndex];
  return t->zDist;
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

size_t LevelTrianglesMade() { return gTrianglePool.Live(); }

void DeleteVertices(int all) {
  if (all) {
    FreeAllLists();
  } else {
    SyncLevelTriangleList();
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
  // The tree, the draw arrays and the collision data point at freed records: drop them now,
  // rebuild before the next frame or query.
  ForgetDrawArrays();
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
  ForgetDrawArrays();
}
