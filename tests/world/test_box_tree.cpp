// Box tree: holding nodes, enclosing boxes, split rules (axis, leaf size, straddlers, empty
// halves), degenerate levels, the depth bound, and culling by node.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "support/level_builder.h"
#include "render/frustum.h"
#include "script/engine_variables.h"
#include "world/box_tree.h"
#include "models/materials.h"
#include "world/level_mesh.h"
#include "world/world_math.h"

using wt::V;

namespace {

class BoxTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { wt::ResetLevel(); }
  void TearDown() override { FreeLevelGeometry(); }
};

std::set<const AABB*> TreeNodes() {
  std::set<const AABB*> nodes;
  for (const AABB* n = &boxTree; n; n = n->next) nodes.insert(n);
  return nodes;
}

bool Encloses(const AABB& big, const AABB& small) { return AABBinAABB(&small, &big) == 1; }

// Every subtree box lies inside its node; returns the triangles held below (node included).
int CheckSubtree(const AABB* node, int depth, int* maxDepth) {
  if (depth > *maxDepth) *maxDepth = depth;
  int held = node->numPolys;
  HeldTriangles list = NodeHeldTriangles(node);
  EXPECT_EQ(list.count, node->numPolys);
  for (int k = 0; k < list.count; ++k) {
    EXPECT_EQ(list.list[k].trig->boundingBox.parent, node);
    EXPECT_TRUE(Encloses(*node, list.list[k].trig->boundingBox));
    EXPECT_EQ(list.list[k].min.x, list.list[k].trig->boundingBox.min.x);
  }
  for (const AABB* child : {node->sub1, node->sub2}) {
    if (!child) continue;
    EXPECT_EQ(child->parent, node);
    EXPECT_TRUE(Encloses(*node, *child));
    held += CheckSubtree(child, depth + 1, maxDepth);
  }
  return held;
}

TEST_F(BoxTreeTest, RandomLevelKeepsEveryInvariant) {
  wt::AddRandomTriangles(5000, 100.0f, 2.0f, 7);
  GenerateLevelFromMesh();
  std::set<const AABB*> nodes = TreeNodes();
  for (level_triangle* t : wt::Triangles()) {
    ASSERT_TRUE(nodes.count(t->boundingBox.parent)) << "holding node outside the tree";
    EXPECT_TRUE(Encloses(*t->boundingBox.parent, t->boundingBox));
  }
  int maxDepth = 0;
  EXPECT_EQ(CheckSubtree(&boxTree, 0, &maxDepth), 5000);
  EXPECT_EQ(static_cast<int>(nodes.size()), BoxTreeNodeCount());
  EXPECT_GT(maxDepth, 5);
  EXPECT_LE(maxDepth, kMaxBoxTreeDepth);
  // Leaves that were free to split hold at most ten triangles.
  for (const AABB* n : nodes) {
    if (!n->sub1 && !n->sub2) {
      EXPECT_LE(n->numPolys, kMaxTrianglesPerLeaf) << "leaf too full";
    }
  }
}

// The halves a node is split into: its box cut at the midpoint of its longest side.
void Halves(const AABB& node, AABB* half1, AABB* half2) {
  float size[3] = {node.max.x - node.min.x, node.max.y - node.min.y, node.max.z - node.min.z};
  int axis = 0;
  if (size[1] > size[0]) axis = 1;
  if (size[2] > size[axis]) axis = 2;
  *half1 = node;
  *half2 = node;
  float* lo[3] = {&half2->min.x, &half2->min.y, &half2->min.z};
  float* hi[3] = {&half1->max.x, &half1->max.y, &half1->max.z};
  const float mins[3] = {node.min.x, node.min.y, node.min.z}, maxs[3] = {node.max.x, node.max.y, node.max.z};
  const float mid = mins[axis] + (maxs[axis] - mins[axis]) * 0.5f;
  *hi[axis] = mid;
  *lo[axis] = mid;
}

// The build reads the list in its own order, sorts it, builds the tree from the sorted
// triangles and writes each record back at the end: with a list linked in an order unlike the
// order its records were made in, every triangle must still get its own box, plane and straddle
// mark, and every node must hold its triangles in list order.
TEST_F(BoxTreeTest, ShuffledListGivesEachTriangleItsOwnResultsAndNodesHoldListOrder) {
  wt::AddRandomTriangles(4000, 60.0f, 4.0f, 5);
  std::vector<level_triangle*> list = wt::Triangles();
  std::shuffle(list.begin(), list.end(), std::mt19937(9));
  level_triangle* last = &baseLT;
  for (level_triangle* t : list) last = last->next = t;
  last->next = nullptr;
  GenerateLevelFromMesh();

  for (level_triangle* t : wt::Triangles()) {
    const vector_type a = t->vertexPtrs[0]->pos, b = t->vertexPtrs[1]->pos, c = t->vertexPtrs[2]->pos;
    const vector_type mn = VMin(VMin(a, b), c), mx = VMax(VMax(a, b), c);
    EXPECT_TRUE(mn.x == t->boundingBox.min.x && mn.y == t->boundingBox.min.y && mn.z == t->boundingBox.min.z);
    EXPECT_TRUE(mx.x == t->boundingBox.max.x && mx.y == t->boundingBox.max.y && mx.z == t->boundingBox.max.z);
    ASSERT_NE(t->thePlane, nullptr);
    const plane_type expected = planeFromTrig(t->normal, a);
    EXPECT_TRUE(t->thePlane->a == expected.a && t->thePlane->b == expected.b && t->thePlane->c == expected.c &&
                t->thePlane->d == expected.d);
    const AABB* node = t->boundingBox.parent;
    // Inner nodes keep only straddlers; a leaf free to split keeps what it got.
    if (node->sub1 || node->sub2) {
      EXPECT_EQ(t->marked, 1);
    } else if (node->numPolys <= kMaxTrianglesPerLeaf) {
      EXPECT_EQ(t->marked, 0);
    }
  }
  int inner = 0;
  for (const AABB* n = &boxTree; n; n = n->next) {
    inner += (n->sub1 || n->sub2) && n->numPolys > 1;
    HeldTriangles held = NodeHeldTriangles(n);
    for (int k = 1; k < held.count; ++k)
      EXPECT_LT(held.list[k - 1].trig->listOrder, held.list[k].trig->listOrder) << "held out of list order";
  }
  EXPECT_GT(inner, 10);
}

TEST_F(BoxTreeTest, SplitNodesKeepOnlyStraddlersAndChildrenGetTheirHalf) {
  wt::AddRandomTriangles(3000, 50.0f, 3.0f, 11);
  GenerateLevelFromMesh();
  int inner = 0;
  for (const AABB* n = &boxTree; n; n = n->next) {
    if (!n->sub1 && !n->sub2) continue;
    ++inner;
    AABB half1, half2;
    Halves(*n, &half1, &half2);
    // A triangle that fits a half, bounds included, is passed down; only straddlers stay.
    HeldTriangles held = NodeHeldTriangles(n);
    for (int k = 0; k < held.count; ++k) {
      const AABB& box = held.list[k].trig->boundingBox;
      EXPECT_FALSE(AABBinAABB(&box, &half1) || AABBinAABB(&box, &half2)) << "a triangle that fits stayed";
    }
    // Child 1 holds (in its subtree) only triangles of the lower half, child 2 of the upper.
    for (const AABB* child : {n->sub1, n->sub2}) {
      if (!child) continue;
      const AABB& half = child == n->sub1 ? half1 : half2;
      EXPECT_TRUE(AABBinAABB(child, &half));
    }
  }
  EXPECT_GT(inner, 100);
}

TEST_F(BoxTreeTest, OneTriangleRootIsItsBoxWithoutChildren) {
  level_triangle* t = wt::AddTriangle(V(1, 2, 3), V(4, 2, 3), V(1, 5, 7));
  GenerateLevelFromMesh();
  EXPECT_EQ(boxTree.sub1, nullptr);
  EXPECT_EQ(boxTree.sub2, nullptr);
  EXPECT_EQ(t->boundingBox.parent, &boxTree);
  EXPECT_FLOAT_EQ(boxTree.min.x, 1);
  EXPECT_FLOAT_EQ(boxTree.max.y, 5);
  EXPECT_FLOAT_EQ(boxTree.max.z, 7);
  EXPECT_EQ(boxTree.numPolys, 1);
}

TEST_F(BoxTreeTest, TenTrianglesAfterASplitMakeALeafElevenSplitAgain) {
  // Ten tiny triangles in the left half, one on the right: the left child is a leaf.
  for (int k = 0; k < 10; ++k) wt::AddTriangle(V(k * 0.1f, 0, 0), V(k * 0.1f + 0.05f, 0, 0), V(k * 0.1f, 0.05f, 0));
  wt::AddTriangle(V(9.9f, 0, 0), V(10, 0, 0), V(9.9f, 0.05f, 0));
  GenerateLevelFromMesh();
  ASSERT_NE(boxTree.sub1, nullptr);
  EXPECT_EQ(boxTree.sub1->numPolys, 10);
  EXPECT_EQ(boxTree.sub1->sub1, nullptr);
  EXPECT_EQ(boxTree.sub1->sub2, nullptr);

  wt::ResetLevel();
  for (int k = 0; k < 11; ++k) wt::AddTriangle(V(k * 0.1f, 0, 0), V(k * 0.1f + 0.05f, 0, 0), V(k * 0.1f, 0.05f, 0));
  wt::AddTriangle(V(9.9f, 0, 0), V(10, 0, 0), V(9.9f, 0.05f, 0));
  GenerateLevelFromMesh();
  ASSERT_NE(boxTree.sub1, nullptr);
  EXPECT_TRUE(boxTree.sub1->sub1 || boxTree.sub1->sub2);
}

TEST_F(BoxTreeTest, StraddlerStaysInItsNodeAndEmptyHalfMakesNoChild) {
  // Eleven triangles on the left and one crossing the midpoint x = 5; nothing purely right.
  for (int k = 0; k < 11; ++k) wt::AddTriangle(V(k * 0.1f, 0, 0), V(k * 0.1f + 0.05f, 0, 0), V(k * 0.1f, 0.05f, 0));
  level_triangle* straddler = wt::AddTriangle(V(4, 0, 0), V(10, 0, 0), V(4, 0.05f, 0));
  GenerateLevelFromMesh();
  EXPECT_EQ(straddler->boundingBox.parent, &boxTree);
  EXPECT_EQ(boxTree.numPolys, 1);
  EXPECT_NE(boxTree.sub1, nullptr);
  EXPECT_EQ(boxTree.sub2, nullptr);
}

TEST_F(BoxTreeTest, TouchingTheMidpointFitsThatHalfAndTiesPickTheEarlierAxis) {
  // Root box 10 x 10 x 1: equal x and y extents split on x at 5.
  for (int k = 0; k < 11; ++k) wt::AddTriangle(V(4, k * 0.5f, 0), V(5, k * 0.5f, 0), V(4, k * 0.5f + 0.1f, 1));
  wt::AddTriangle(V(0, 0, 0), V(0.1f, 0, 0), V(0, 10, 0));
  wt::AddTriangle(V(9.9f, 0, 0), V(10, 0, 0), V(10, 0.1f, 0));
  GenerateLevelFromMesh();
  ASSERT_NE(boxTree.sub1, nullptr);
  ASSERT_NE(boxTree.sub2, nullptr);
  EXPECT_FLOAT_EQ(boxTree.sub1->max.x, 5);   // the ones ending at x = 5 went left
  EXPECT_EQ(boxTree.numPolys, 0);
  EXPECT_EQ(boxTree.sub2->numPolys, 1);

  // Equal y and z extents (x shorter): the split is on y.
  wt::ResetLevel();
  for (int k = 0; k < 12; ++k) wt::AddTriangle(V(0, 0, 0), V(1, 0.1f, 0.1f), V(0, 0.1f, 0));
  wt::AddTriangle(V(0, 9.9f, 9.9f), V(1, 10, 10), V(0, 10, 9.9f));
  GenerateLevelFromMesh();
  ASSERT_NE(boxTree.sub1, nullptr);
  EXPECT_FLOAT_EQ(boxTree.sub1->max.y, 0.1f);
  EXPECT_EQ(boxTree.sub1->numPolys, 12);
}

TEST_F(BoxTreeTest, CollapsedTrianglesStayALeafAndTheBuildEnds) {
  for (int k = 0; k < 50; ++k) wt::AddTriangle(V(3, 3, 3), V(3, 3, 3), V(3, 3, 3));
  GenerateLevelFromMesh();
  EXPECT_EQ(boxTree.numPolys, 50);
  EXPECT_EQ(boxTree.sub1, nullptr);

  // Points one float step apart: halving no longer changes the bounds.
  wt::ResetLevel();
  float a = 1.0f, b = std::nextafter(1.0f, 2.0f);
  for (int k = 0; k < 30; ++k) wt::AddTriangle(V(a, a, a), V(a, a, a), V(a, a, a));
  for (int k = 0; k < 30; ++k) wt::AddTriangle(V(b, b, b), V(b, b, b), V(b, b, b));
  GenerateLevelFromMesh();
  int maxDepth = 0;
  EXPECT_EQ(CheckSubtree(&boxTree, 0, &maxDepth), 60);
  EXPECT_LE(maxDepth, 4);
}

TEST_F(BoxTreeTest, DepthIsBoundedForDeeplyNestedClusters) {
  // Triangles at 1, 1/2, 1/4, ... from the origin: every split peels one off.
  float x = 1.0f;
  for (int k = 0; k < 200; ++k, x *= 0.5f) wt::AddTriangle(V(x, 0, 0), V(x, 0, 0), V(x, 0, 0));
  for (int k = 0; k < 20; ++k) wt::AddTriangle(V(0, 0, 0), V(0, 0, 0), V(0, 0, 0));
  GenerateLevelFromMesh();
  int maxDepth = 0;
  EXPECT_EQ(CheckSubtree(&boxTree, 0, &maxDepth), 220);
  EXPECT_LE(maxDepth, kMaxBoxTreeDepth);
  EXPECT_LE(BoxTreeDepth(), kMaxBoxTreeDepth);
}

TEST_F(BoxTreeTest, EmptyLevelKeepsNoChildren) {
  GenerateLevelFromMesh();
  EXPECT_EQ(boxTree.sub1, nullptr);
  EXPECT_EQ(boxTree.numPolys, 0);
  EXPECT_EQ(boxTree.next, nullptr);
}

void SetHalfSpaceXAtLeast(float x0) {
  // Only one plane restricts (x >= x0); the others accept everything.
  for (auto& p : planeEqs) p[0] = p[1] = p[2] = 0.0f, p[3] = 1.0f;
  planeEqs[1][0] = 1.0f;
  planeEqs[1][3] = -x0;
}

TEST_F(BoxTreeTest, CullingMarksOnlyTrianglesOfVisibleNodes) {
  wt::AddFloorGrid(20, 1.0f, 0.0f);  // 800 triangles over x in [0, 20]
  GenerateLevelFromMesh();
  SetHalfSpaceXAtLeast(15.5f);
  HandleMeshCulling();
  MeshListToArray();
  int marked = 0;
  for (level_triangle* t : wt::Triangles()) {
    // Drawn exactly when its holding node and every node above it pass the frustum test.
    int expected = 1;
    for (AABB* n = t->boundingBox.parent; n; n = n->parent)
      if (CheckAABBWithPlanes(n)) expected = 0;
    EXPECT_EQ(TriangleDrawnThisFrame(t), expected);
    if (t->boundingBox.min.x >= 15.5f) {
      EXPECT_EQ(TriangleDrawnThisFrame(t), 1);
    }
    marked += TriangleDrawnThisFrame(t);
  }
  EXPECT_EQ(marked, gTrigsDrawn);
  // The draw lists hold exactly the triangles of the visible nodes.
  EXPECT_EQ(static_cast<int>(gMaterials[0].numTriangles), marked);
  EXPECT_EQ(static_cast<int>(gMaterials[0].i), 3 * marked);
  EXPECT_GE(marked, 4 * 2 * 20);
  EXPECT_LT(marked, 800);

  SetHalfSpaceXAtLeast(100.0f);  // everything outside
  MarkAllTriangles(baseLT.next, 0);
  HandleMeshCulling();
  EXPECT_EQ(gTrigsDrawn, 0);
}

TEST_F(BoxTreeTest, BoxOnThePlaneIsNotCulledBoxJustOutsideIs) {
  SetHalfSpaceXAtLeast(0.0f);
  vector_type corners[8];
  for (int k = 0; k < 8; ++k) corners[k] = V(-1.0f, (k & 1) * 1.0f, (k & 2) * 1.0f);
  EXPECT_EQ(CheckBoxWithPlanes(corners), 1);
  corners[3].x = 0.0f;
  EXPECT_EQ(CheckBoxWithPlanes(corners), 0);
}

}  // namespace
