// Box tree over the level triangles. Every node keeps the triangles it holds as one range of
// a shared array, so building partitions ranges (linear per level, bounded depth), culling
// and queries visit nodes and their ranges, never the whole triangle list.
#include "world/box_tree.h"

#include <GL/gl.h>

#include <algorithm>
#include <limits>

#include "render/frustum.h"
#include "world/level_build.h"
#include "world/level_mesh.h"
#include "world/record_pool.h"
#include "script/engine_variables.h"
#include "world/world_math.h"

AABB boxTree;

namespace {

// Nodes after the root; entry 0 is unused so that a node's number is its place here and
// the root is number 0.
std::vector<AABB> gTreeNodes;
// Parallel to the node numbers: where the triangles the node holds start in gNodeTrigs (while
// a node is being split, where its whole range starts). A node's range holds sub1's range, then
// its own triangles, then sub2's range.
std::vector<uint32_t> gNodeFirst;
std::vector<HeldTriangle> gNodeTrigs;
std::vector<uint32_t> gNodeNumbers;  // parallel to gNodeTrigs: the triangle's number in the build
// While building, a triangle is its box and its number in the build. A node's range is
// partitioned from one buffer into the other at the same places, so each level of the tree
// moves every triangle once; whatever a node keeps for good is copied back into gBuildItems.
struct BuildItem {
  vector_type min, max;
  uint32_t number;
};
LargePageVector<BuildItem> gBuildItems;
LargePageVector<BuildItem> gPartitionScratch;
// The build being made into a tree: its triangles and what the tree decides for each.
LevelBuild* gBuild = nullptr;
// The triangles of the node being split that stay in it.
std::vector<BuildItem> gStaying;
std::vector<AABB*> gMarkedNodes;
// No triangle box of the tree being built has a coordinate that is not a number.
bool gAllBoxesOrdered = true;
int gTreeDepth = 0;

// While building, children and parents are node numbers; pointers are set once the node
// array stops growing.
struct BuildLinks {
  int sub1, sub2, parent, depth;
};
std::vector<BuildLinks> gBuildLinks;

AABB& BuildNode(int id) { return id == 0 ? boxTree : gTreeNodes[id]; }

uint32_t NodeNumber(const AABB* node) {
  if (node == &boxTree) return 0;
  return static_cast<uint32_t>(node - gTreeNodes.data());
}

bool BoxInBox(vector_type smallMin, vector_type smallMax, const AABB& big) {
  return big.min.x <= smallMin.x && big.min.y <= smallMin.y && big.min.z <= smallMin.z &&
         smallMax.x <= big.max.x && smallMax.y <= big.max.y && smallMax.z <= big.max.z;
}

bool SameBox(const AABB& a, const AABB& b) {
  return a.min.x == b.min.x && a.min.y == b.min.y && a.min.z == b.min.z && a.max.x == b.max.x &&
         a.max.y == b.max.y && a.max.z == b.max.z;
}

int NewBuildNode(int parent, const AABB& box, uint32_t first, int count) {
  AABB node{};
  node.min = box.min;
  node.max = box.max;
  node.numPolys = count;
  gTreeNodes.push_back(node);
  gNodeFirst.push_back(first);
  gBuildLinks.push_back({-1, -1, parent, gBuildLinks[parent].depth + 1});
  return static_cast<int>(gTreeNodes.size()) - 1;
}

// Puts a range that a node keeps for good into gBuildItems at the same places, in list order.
void KeepRange(BuildItem* from, uint32_t first, int count, bool reversed) {
  BuildItem* begin = from + first;
  BuildItem* home = gBuildItems.data() + first;
  if (reversed) {
    if (from == gBuildItems.data()) std::reverse(begin, begin + count);
    else std::reverse_copy(begin, begin + count, home);
  } else if (from != gBuildItems.data()) {
    std::copy(begin, begin + count, home);
  }
}

// Splits node `id`, whose range [first, first + count) of `from` (gBuildItems or the scratch
// buffer) holds the triangles it may still pass down, in list order or, when `reversed`, in
// reverse list order. One pass over the range passes the triangles down into the other buffer:
// child 1's from the front of the range in list order, child 2's from the back in reverse
// order, and those that stay in between (kept in gBuildItems at once). Recurses into children
// holding more than the leaf limit.
void SplitNode(int id, BuildItem* from, bool reversed) {
  const uint32_t first = gNodeFirst[id];
  const int count = BuildNode(id).numPolys;
  const int depth = gBuildLinks[id].depth;
  if (depth > gTreeDepth) gTreeDepth = depth;
  if (depth >= kMaxBoxTreeDepth) {
    KeepRange(from, first, count, reversed);
    return;
  }

  AABB box = BuildNode(id);
  vector_type size = VSub(box.max, box.min);
  // The longest side; a later axis wins only when strictly longer.
  int axis = 0;
  if (size.y > size.x) axis = 1;
  if (size.z > VComponent(size, axis)) axis = 2;
  float lo = VComponent(box.min, axis), hi = VComponent(box.max, axis);
  float mid = lo + (hi - lo) * 0.5f;
  AABB half1 = box, half2 = box;
  VSetComponent(&half1.max, axis, mid);
  VSetComponent(&half2.min, axis, mid);

  BuildItem* to = from == gBuildItems.data() ? gPartitionScratch.data() : gBuildItems.data();
  const BuildItem* range = from + first;
  BuildItem* front = to + first;
  BuildItem* back = to + first + count - 1;
  gStaying.clear();
  int n1 = 0, n2 = 0;
  // The children's boxes grow from empty ones (the first box taken in is kept as it is), in
  // locals the loop keeps in registers.
  constexpr float kInf = std::numeric_limits<float>::infinity();
  vector_type min1 = {kInf, kInf, kInf}, max1 = {-kInf, -kInf, -kInf}, min2 = min1, max2 = max1;
  float vector_type::*const onAxis = axis == 0 ? &vector_type::x : axis == 1 ? &vector_type::y : &vector_type::z;
  const int step = reversed ? -1 : 1;
  const BuildItem* item = reversed ? range + count - 1 : range;
  for (int k = 0; k < count; ++k, item += step) {
    const BuildItem& h = *item;
    // Every triangle of the range lies inside the node's box (the box is the union of theirs),
    // so it fits a half exactly when it fits on the split axis; a box with a coordinate that is
    // not a number fits nowhere, which only the whole test tells.
    bool in1, in2;
    if (gAllBoxesOrdered) {
      in1 = h.max.*onAxis <= mid;
      in2 = !in1 && h.min.*onAxis >= mid;
    } else {
      in1 = BoxInBox(h.min, h.max, half1);
      in2 = !in1 && BoxInBox(h.min, h.max, half2);
    }
    if (in1) {
      min1 = VMin(min1, h.min);
      max1 = VMax(max1, h.max);
      front[n1++] = h;
    } else if (in2) {
      min2 = VMin(min2, h.min);
      max2 = VMax(max2, h.max);
      *(back - n2++) = h;
    } else {
      gStaying.push_back(h);
    }
  }
  AABB box1{}, box2{};
  if (n1) box1.min = min1, box1.max = max1;
  if (n2) box2.min = min2, box2.max = max2;
  const int stay = static_cast<int>(gStaying.size());
  // When every triangle would pass into one child whose box did not shrink (they all collapse
  // into one point, or halving no longer changes the float bounds) the split would repeat for
  // ever: the node stays a leaf holding them all.
  if (stay == 0 && ((n1 == count && SameBox(box1, box)) || (n2 == count && SameBox(box2, box)))) {
    KeepRange(from, first, count, reversed);
    return;
  }
  // Those that straddle the midpoint stay here for good, between the children's ranges.
  for (int k = 0; k < stay; ++k) {
    gBuild->built[gStaying[k].number].marked = 1;
    gBuildItems[first + n1 + k] = gStaying[k];
  }
  gNodeFirst[id] = first + n1;
  BuildNode(id).numPolys = stay;

  int child1 = -1, child2 = -1;
  if (n1 > 0) child1 = NewBuildNode(id, box1, first, n1);
  if (n2 > 0) child2 = NewBuildNode(id, box2, first + n1 + stay, n2);
  gBuildLinks[id].sub1 = child1;
  gBuildLinks[id].sub2 = child2;

  if (child1 >= 0) {
    if (n1 > kMaxTrianglesPerLeaf) SplitNode(child1, to, false);
    else KeepRange(to, first, n1, false);
  }
  if (child2 >= 0) {
    if (n2 > kMaxTrianglesPerLeaf) SplitNode(child2, to, true);
    else KeepRange(to, first + n1 + stay, n2, true);
  }
}

// Turns the node numbers of the build into pointers, chains every node after the root, gives
// each triangle its holding node and keeps the nodes' triangles with their records.
void LinkBuiltTree() {
  auto ptr = [](int id) -> AABB* { return id < 0 ? nullptr : (id == 0 ? &boxTree : &gTreeNodes[id]); };
  const int total = static_cast<int>(gTreeNodes.size());
  for (int id = 0; id < total; ++id) {
    AABB* node = ptr(id);
    node->sub1 = ptr(gBuildLinks[id].sub1);
    node->sub2 = ptr(gBuildLinks[id].sub2);
    node->parent = id == 0 ? nullptr : ptr(gBuildLinks[id].parent);
    node->next = id + 1 < total ? ptr(id + 1) : nullptr;
    node->visible = 0;
    node->depth = 0;
    for (int k = 0; k < node->numPolys; ++k) gBuild->built[gBuildItems[gNodeFirst[id] + k].number].node = node;
  }
  const size_t n = gBuildItems.size();
  gNodeTrigs.resize(n);
  gNodeNumbers.resize(n);
  for (size_t k = 0; k < n; ++k) {
    const BuildItem& item = gBuildItems[k];
    gNodeTrigs[k] = {item.min, item.max, gBuild->triangles[item.number].trig};
    gNodeNumbers[k] = item.number;
  }
  gBuildLinks.clear();
  gBuildLinks.shrink_to_fit();
}

}  // namespace

int AABBinAABB(const AABB* smallOne, const AABB* big) {
  return BoxInBox(smallOne->min, smallOne->max, *big) ? 1 : 0;
}

void FreeBoxTree() {
  gTreeNodes.clear();
  gTreeNodes.shrink_to_fit();
  gTreeNodes.emplace_back();  // the unused entry 0
  gNodeFirst.assign(1, 0);
  gNodeTrigs.clear();
  gNodeTrigs.shrink_to_fit();
  gNodeNumbers.clear();
  gNodeNumbers.shrink_to_fit();
  gMarkedNodes.clear();
  gTreeDepth = 0;
  boxTree.sub1 = boxTree.sub2 = nullptr;
  boxTree.next = nullptr;
  boxTree.parent = nullptr;
  boxTree.numPolys = 0;
  boxTree.visible = 0;
}

void BuildBoxTree(LevelBuild* build) {
  FreeBoxTree();
  const size_t n = build->triangles.size();
  if (n == 0) return;
  // One pass: each triangle's box, its place in the root, and the root's box.
  gBuild = build;
  gBuildItems.resize(n);
  vector_type rootMin = build->triangles[build->order[0]].corner[0], rootMax = rootMin;
  bool ordered = true;
  for (size_t place = 0; place < n; ++place) {
    const uint32_t number = build->order[place];
    const BuildTriangle& t = build->triangles[number];
    const vector_type min = TriangleBoxMin(t), max = TriangleBoxMax(t);
    build->built[number].node = &boxTree;
    build->built[number].marked = 0;
    ordered = ordered && min.x <= max.x && min.y <= max.y && min.z <= max.z;
    rootMin = VMin(rootMin, min);
    rootMax = VMax(rootMax, max);
    gBuildItems[place] = {min, max, number};
  }
  boxTree.numPolys = static_cast<int>(n);
  boxTree.min = rootMin;
  boxTree.max = rootMax;
  gAllBoxesOrdered = ordered && rootMin.x <= rootMax.x && rootMin.y <= rootMax.y && rootMin.z <= rootMax.z;
  SubDevideAABB(&boxTree);
  gBuild = nullptr;
}

void SubDevideAABB(AABB* theBox) {
  if (theBox != &boxTree || boxTree.numPolys <= 0 || !gBuild) return;
  gPartitionScratch.resize(gBuildItems.size());
  gBuildLinks.assign(1, {-1, -1, -1, 0});
  gTreeNodes.resize(1);
  gNodeFirst.assign(1, 0);
  // A first guess at the node count (leaves hold a few triangles each), so that the node
  // arrays of a large level are not grown step by step.
  const size_t guess = gBuildItems.size() / 4 + 16;
  gTreeNodes.reserve(guess);
  gNodeFirst.reserve(guess);
  gBuildLinks.reserve(guess);
  SplitNode(0, gBuildItems.data(), false);
  LinkBuiltTree();
  for (LargePageVector<BuildItem>* buffer : {&gPartitionScratch, &gBuildItems}) {
    buffer->clear();
    buffer->shrink_to_fit();
  }
  gStaying.clear();
  gStaying.shrink_to_fit();
}

HeldTriangles NodeHeldTriangles(const AABB* node) {
  uint32_t id = NodeNumber(node);
  if (id >= gNodeFirst.size() || node->numPolys <= 0) return {nullptr, nullptr, 0};
  return {gNodeTrigs.data() + gNodeFirst[id], gNodeNumbers.data() + gNodeFirst[id], node->numPolys};
}

int BoxTreeNodeCount() { return static_cast<int>(gTreeNodes.size()); }
int BoxTreeDepth() { return gTreeDepth; }

void ClearNodeMarks() {
  for (AABB* node : gMarkedNodes) node->visible = 0;
  gMarkedNodes.clear();
}

const std::vector<AABB*>& MarkedNodes() { return gMarkedNodes; }

void MarkNode(AABB* node) {
  if (node->visible) return;
  node->visible = 1;
  gMarkedNodes.push_back(node);
}

int CheckAABBWithPlanes(AABB* box) {
  vector_type corners[8];
  for (int k = 0; k < 8; ++k) {
    corners[k].x = (k & 1) ? box->max.x : box->min.x;
    corners[k].y = (k & 2) ? box->max.y : box->min.y;
    corners[k].z = (k & 4) ? box->max.z : box->min.z;
  }
  return CheckBoxWithPlanes(corners);
}

void CheckAABBWithPlanesRecursively(AABB* box) {
  if (!box) return;
  if (CheckAABBWithPlanes(box)) return;
  CheckAABBWithPlanesRecursively(box->sub1);
  CheckAABBWithPlanesRecursively(box->sub2);
  MarkNode(box);
}

void HandleMeshCulling() {
  UpdateLevelIfChanged();
  ClearCulledTriangles();
  ClearNodeMarks();
  gTrigsDrawn = 0;
  if (!baseLT.next) return;
  CheckAABBWithPlanesRecursively(&boxTree);
  // The triangles of the visible nodes are this frame's: the draw lists take them node by
  // node, as ranges of their draw arrays.
  for (AABB* node : gMarkedNodes) {
    AddCulledNode(node);
    gTrigsDrawn += node->numPolys;
  }
}

void DrawAABB(AABB box) {
  const vector_type& a = box.min;
  const vector_type& b = box.max;
  const float edges[12][6] = {
      {a.x, a.y, a.z, b.x, a.y, a.z}, {a.x, b.y, a.z, b.x, b.y, a.z}, {a.x, a.y, b.z, b.x, a.y, b.z},
      {a.x, b.y, b.z, b.x, b.y, b.z}, {a.x, a.y, a.z, a.x, b.y, a.z}, {b.x, a.y, a.z, b.x, b.y, a.z},
      {a.x, a.y, b.z, a.x, b.y, b.z}, {b.x, a.y, b.z, b.x, b.y, b.z}, {a.x, a.y, a.z, a.x, a.y, b.z},
      {b.x, a.y, a.z, b.x, a.y, b.z}, {a.x, b.y, a.z, a.x, b.y, b.z}, {b.x, b.y, a.z, b.x, b.y, b.z}};
  glBegin(GL_LINES);
  for (const auto& e : edges) {
    glVertex3f(e[0], e[1], e[2]);
    glVertex3f(e[3], e[4], e[5]);
  }
  glEnd();
}
