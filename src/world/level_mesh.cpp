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

// What the frame reads of every drawn triangle, copied at the level build (a triangle's
// corners and material change only through a rebuild). The frame reads these in distance
// order, far apart in memory, so they are small records that never straddle a cache line.
struct alignas(16) DrawRecord {
  uint32_t corner[3];  // vertex numbers
  uint32_t material;   // or kNeverDrawn
};
// A triangle's place in the last listing that held it (see gListing).
struct ListedRank {
  uint32_t listing, rank;
};
// The material of a triangle that is never drawn (not visible, or invisible).
constexpr uint32_t kNeverDrawn = 0xFFFFFFFFu;

// Draw indices follow the box tree in the order culling visits it (a node's subtrees, then
// the node): the triangles a node holds have consecutive numbers from its firstDrawIndex, and
// a wholly visible subtree is one range.
std::vector<level_triangle*> gDrawTriangles;  // by draw index
std::vector<DrawRecord> gDrawRecords;         // by draw index
std::vector<uint32_t> gDrawMaterials;         // by draw index: the records' materials again
std::vector<ListedRank> gListedRanks;         // by draw index
std::vector<float> gDrawNormals;              // by draw index: the face normal, 3 each
std::vector<float> gDrawUVs;                  // by draw index: u, v of each corner, 6 each
std::vector<vector_type> gCentroids;          // by draw index
// The list's distance order as of the sort from gOrderPos: place k holds the draw index of the
// k-th triangle of the list, nearest first; gPlaceOf is its inverse.
std::vector<uint32_t> gOrder;
std::vector<uint32_t> gPlaceOf;
vector_type gOrderPos = {0.0f, 0.0f, 0.0f};
// Every frame whose player stands somewhere new sorts the list stably by the distances from
// there. Those sorts are not carried out on the whole list each frame: their positions are
// kept here, oldest first, and the order they give is worked out only where it is needed
// (the visible triangles of a frame, a tie between two triangles, a relink). Stable sorts in a
// row order by the newest distance, equal ones by the distance before, and so on back to
// gOrder, which is brought up to date now and then.
std::vector<vector_type> gSortPositions;
// Positions kept at most before gOrder is brought up to date; it is brought up to date sooner
// when tied distances made the comparisons look far back (gTieWork counts those looks).
constexpr size_t kMaxSortPositions = 32;
size_t gTieWork = 0;
// Frames' sorts kept since the level build, and their count at the last listing.
uint64_t gSortCount = 0;
uint64_t gListingSortCount = 0;
// The last frame's listing put its triangles in the order of that moment: their ranks settle
// most ties of the next frame without looking further back. gListing numbers the listings
// since the build (0: none yet); a triangle's rank counts when it carries the last number.
uint32_t gListing = 0;
// The triangle list is relinked into the current order only when something walks or changes it.
bool gListRelinkPending = false;
// Ranges of draw indices held by the nodes this frame's culling found visible.
struct DrawRange {
  uint32_t first, count;
};
std::vector<DrawRange> gCulledIn;
// Triangles being put in list order, keyed by their newest distance, and the sort's room.
std::vector<KeyedIndex> gSortKeys, gSortScratch;
// Per material, this frame: triangles listed so far.
std::vector<uint32_t> gMaterialFill;
// Triangles each material's draw arrays can take, parallel to gMaterials.
std::vector<uint32_t> gMaterialRoom;


bool HasDrawIndex(const level_triangle* t) {
  return t->drawIndex < gDrawTriangles.size() && gDrawTriangles[t->drawIndex] == t;
}

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
void PutInMaterial(uint32_t index, uint32_t material, uint32_t slot) {
  zntlmtrl& m = gMaterials[material];
  if (slot >= gMaterialRoom[material]) return;
  const uint8_t reads = gMaterialReads[material];
  for (int c = 0; c < 3; ++c) m.indices[3 * slot + c] = gDrawRecords[index].corner[c];
  if (reads & kListNormals)
    for (int c = 0; c < 3; ++c) m.faceNormals[3 * slot + c] = gDrawNormals[3 * size_t{index} + c];
  if (reads & kListUVs)
    for (int c = 0; c < 6; ++c) m.UVs[6 * slot + c] = gDrawUVs[6 * size_t{index} + c];
}

vector_type CurrentSortPos() { return gSortPositions.empty() ? gOrderPos : gSortPositions.back(); }

float DrawDistance(uint32_t index, vector_type from) { return VDistance(from, gCentroids[index]); }

// Whether draw index a comes before b in the list's current order; `tiedAtNewest` when their
// distances from the current sort position are known to be equal.
bool ListedBefore(uint32_t a, uint32_t b, bool tiedAtNewest) {
  size_t k = gSortPositions.size();  // kept positions still to compare, newest first
  if (k > 0) {
    if (!tiedAtNewest) {
      const uint32_t keyA = DistanceSortKey(DrawDistance(a, gSortPositions[k - 1]));
      const uint32_t keyB = DistanceSortKey(DrawDistance(b, gSortPositions[k - 1]));
      if (keyA != keyB) return keyA < keyB;
      tiedAtNewest = true;
    }
    --k;
  }
  // Both in the last listing: its ranks give the order at that moment, which is the current
  // order when no frame has sorted since, and the order of a tie at the newest sort when one has.
  const ListedRank& rankA = gListedRanks[a];
  const ListedRank& rankB = gListedRanks[b];
  if (gListing != 0 && rankA.listing == gListing && rankB.listing == gListing &&
      (gSortCount == gListingSortCount || (tiedAtNewest && gSortCount == gListingSortCount + 1)))
    return rankA.rank < rankB.rank;
  while (k-- > 0) {
    const uint32_t keyA = DistanceSortKey(DrawDistance(a, gSortPositions[k]));
    const uint32_t keyB = DistanceSortKey(DrawDistance(b, gSortPositions[k]));
    ++gTieWork;
    if (keyA != keyB) return keyA < keyB;
  }
  return gPlaceOf[a] < gPlaceOf[b];
}

// Triangles keyed by their distance from the current sort position are put into the list's
// current order by a stable sort by key, and then each run of equal keys, which are few and
// short, by comparison. This orders the run of equal keys that starts at `first` and returns
// its end.
size_t OrderTiedRun(std::vector<KeyedIndex>* items, size_t first) {
  std::vector<KeyedIndex>& a = *items;
  size_t end = first + 1;
  while (end < a.size() && a[end].key == a[first].key) ++end;
  if (end - first == 2) {
    if (ListedBefore(a[first + 1].index, a[first].index, true)) std::swap(a[first], a[first + 1]);
  } else if (end - first > 2) {
    std::sort(a.begin() + static_cast<std::ptrdiff_t>(first), a.begin() + static_cast<std::ptrdiff_t>(end),
              [](const KeyedIndex& x, const KeyedIndex& y) { return ListedBefore(x.index, y.index, true); });
  }
  return end;
}

// Both steps; when the items came in gOrder's order and at most one position is kept, the
// stable sort alone gives the order.
void SortIntoListOrder(std::vector<KeyedIndex>* items, bool inOrderOfPlaces) {
  StableSortByKey(items, &gSortScratch);
  if (inOrderOfPlaces && gSortPositions.size() <= 1) return;
  for (size_t first = 0; first < items->size();) first = OrderTiedRun(items, first);
}

// Carries out the kept sorts on the whole order.
void BringOrderUpToDate() {
  if (gSortPositions.empty()) return;
  const vector_type P = gSortPositions.back();
  std::vector<KeyedIndex>& a = gSortKeys;
  a.resize(gOrder.size());
  for (size_t place = 0; place < gOrder.size(); ++place)
    a[place] = {DistanceSortKey(DrawDistance(gOrder[place], P)), gOrder[place]};
  SortIntoListOrder(&a, true);
  for (size_t place = 0; place < a.size(); ++place) {
    gOrder[place] = a[place].index;
    gPlaceOf[a[place].index] = static_cast<uint32_t>(place);
  }
  gOrderPos = P;
  gSortPositions.clear();
  gTieWork = 0;
}

void ForgetListedRanks() {
  for (ListedRank& ranked : gListedRanks) ranked = {0, 0};
  gListing = 0;
}

bool SamePosition(vector_type a, vector_type b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The frame's sort of the list by the distances from `P`: kept for later unless the player
// has not moved, since sorting stably by the same distances again changes nothing.
void SortListFrom(vector_type P) {
  if (SamePosition(P, CurrentSortPos())) return;
  if (gSortPositions.size() >= kMaxSortPositions || gTieWork > gOrder.size()) BringOrderUpToDate();
  gSortPositions.push_back(P);
  gSortCount += 1;
  gListRelinkPending = true;
}

// Fills the per-material lists from the triangles of the nodes culling found visible, in the
// list's current order: opaque materials nearest first, the others farthest first.
void FillMaterialLists() {
  if (gNumMaterials == 0) return;
  const vector_type P = CurrentSortPos();
  std::vector<KeyedIndex>& drawn = gSortKeys;
  size_t inView = 0;
  for (const DrawRange& range : gCulledIn) inView += range.count;
  drawn.resize(inView);
  size_t kept = 0;
  for (const DrawRange& range : gCulledIn) {
    // Materials are read from an array of their own, a quarter of the records' size.
    const vector_type* centroid = gCentroids.data() + range.first;
    uint32_t* materials = gDrawMaterials.data() + range.first;
    for (uint32_t k = 0; k < range.count; ++k) {
      uint32_t material = materials[k];
      if (material == kNeverDrawn) continue;
      if (material >= gNumMaterials) {
        // A drawn triangle whose material is out of range takes material 0 for good.
        const uint32_t index = range.first + k;
        gDrawTriangles[index]->meshworkMaterial = 0;
        materials[k] = gDrawRecords[index].material = material = 0;
      }
      gMaterials[material].numTriangles += 1;
      drawn[kept++] = {DistanceSortKey(VDistance(P, centroid[k])), range.first + k};
    }
  }
  drawn.resize(kept);
  // The runs of equal keys are ordered as the listing below reaches them, while their
  // records are at hand.
  StableSortByKey(&drawn, &gSortScratch);
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
  // The r-th nearest drawn triangle of a material is its entry r when opaque, counted from
  // the end when blended. The records and ranks are read in distance order, far apart in
  // memory, so they are fetched well ahead.
  constexpr size_t kAhead = 40;
  gMaterialFill.assign(gNumMaterials, 0);
  size_t runEnd = 0;
  for (size_t k = 0; k < drawn.size(); ++k) {
    if (k + kAhead < drawn.size()) {
      __builtin_prefetch(&gDrawRecords[drawn[k + kAhead].index]);
      __builtin_prefetch(&gListedRanks[drawn[k + kAhead].index], 1);
    }
    if (k == runEnd) {
      runEnd = k + 1;
      if (runEnd < drawn.size() && drawn[runEnd].key == drawn[k].key) runEnd = OrderTiedRun(&drawn, k);
    }
    const KeyedIndex& item = drawn[k];
    const DrawRecord& record = gDrawRecords[item.index];
    const uint32_t material = record.material;
    const zntlmtrl& m = gMaterials[material];
    const uint32_t rank = gMaterialFill[material]++;
    PutInMaterial(item.index, material, m.transparencyMode == 0 ? rank : m.numTriangles - 1 - rank);
    gListedRanks[item.index] = {gListing + 1, static_cast<uint32_t>(k)};
  }
  gListing += 1;
  gListingSortCount = gSortCount;
  if (gListing == 0xFFFFFFFFu) ForgetListedRanks();
}

void ResetMaterialCounters() {
  for (uint32_t m = 0; m < gNumMaterials; ++m) gMaterials[m].i = gMaterials[m].j = gMaterials[m].numTriangles = 0;
}

void ForgetDrawArrays() {
  gDrawTriangles.clear();
  gDrawRecords.clear();
  gListedRanks.clear();
  gDrawMaterials.clear();
  gDrawNormals.clear();
  gDrawUVs.clear();
  gCentroids.clear();
  gOrder.clear();
  gPlaceOf.clear();
  gSortPositions.clear();
  gTieWork = 0;
  gListing = 0;
  gCulledIn.clear();
  gSortKeys.clear();
  gSortScratch.clear();
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
  const size_t index = gDrawTriangles.size();
  if (index >= build->triangles.size()) return;  // each triangle is numbered once
  build->built[number].drawIndex = static_cast<uint32_t>(index);
  // A negative material is out of range like a too large one.
  const uint32_t material = t.material < 0 ? kNeverDrawn - 1 : static_cast<uint32_t>(t.material);
  DrawRecord record{};
  record.material = t.drawn ? material : kNeverDrawn;
  for (int c = 0; c < 3; ++c) {
    record.corner[c] = t.vertex[c];
    gDrawNormals[3 * index + c] = VComponent(t.normal, c);
  }
  for (int c = 0; c < 6; ++c) gDrawUVs[6 * index + c] = t.uv[c];
  gDrawTriangles.push_back(t.trig);
  gDrawRecords.push_back(record);
  gListedRanks.push_back({0, 0});
  gDrawMaterials.push_back(record.material);
  gCentroids.push_back(t.centroid);
}

// Relinks the list in its current order: place numbers and distances go into the records.
void RelinkList() {
  BringOrderUpToDate();
  level_triangle* last = &baseLT;
  for (size_t place = 0; place < gOrder.size(); ++place) {
    level_triangle* t = gDrawTriangles[gOrder[place]];
    t->listOrder = static_cast<uint32_t>(place);
    t->zDist = DrawDistance(gOrder[place], gOrderPos);
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
  gDrawRecords.reserve(n);
  gListedRanks.reserve(n);
  gDrawMaterials.reserve(n);
  // Every triangle of the build takes one draw index below n.
  gDrawNormals.resize(3 * n);
  gDrawUVs.resize(6 * n);
  gCentroids.reserve(n);
  for (BuiltTriangle& b : build->built) b.drawIndex = kNeverDrawn;
  NumberTrianglesByNode(build);
  for (uint32_t number : build->order)
    if (build->built[number].drawIndex == kNeverDrawn) AddDrawTriangle(build, number);
  gNumTriangles = static_cast<int>(gDrawTriangles.size());

  // The distance order starts as the list's order, which the build sorted from here.
  gOrderPos = playerPos;
  gSortCount = gListingSortCount = 0;
  gPlaceOf.resize(n);
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
  SortListFrom(playerPos);
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

bool TriangleListBefore(const level_triangle* a, const level_triangle* b) {
  if (HasDrawIndex(a) && HasDrawIndex(b)) return ListedBefore(a->drawIndex, b->drawIndex, false);
  BringOrderUpToDate();
  const uint32_t placeA = HasDrawIndex(a) ? gPlaceOf[a->drawIndex] : a->listOrder;
  const uint32_t placeB = HasDrawIndex(b) ? gPlaceOf[b->drawIndex] : b->listOrder;
  return placeA < placeB;
}

float TriangleDistance(const level_triangle* t) {
  if (HasDrawIndex(t)) return DrawDistance(t->drawIndex, CurrentSortPos());
  return t->zDist;
}

void MarkAllTriangles(level_triangle* first, int value) {
  for (level_triangle* t = first; t; t = t->next) t->marked = value;
}

uint32_t NumberLevelVertices(mesh_vert* after, uint32_t first) {
  uint32_t count = first;
  for (mesh_vert* v = after->next; v; v = v->next) v->index = count++;
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
  // Freeing the lists first leaves no triangle to point at the tree or the collision data,
  // which then go without a walk over the records.
  DeleteVertices(1);
  gMeshVertexArray.clear();
  gMeshVertexNormalArray.clear();
  gNumVertices = gNumTriangles = 0;
  ForgetDrawArrays();
}
