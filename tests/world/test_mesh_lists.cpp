// Level lists: vertex normals, the distance sort and the per-material draw lists (opaque
// nearest first, transparent farthest first), new vertices, deletion and facing.
#include <gtest/gtest.h>

#include "support/level_builder.h"
#include "models/materials.h"
#include "objects/player.h"
#include "render/frustum.h"
#include "script/engine_variables.h"
#include "world/box_tree.h"
#include "world/level_mesh.h"
#include "world/world_math.h"

using wt::V;

namespace {

class MeshListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wt::ResetLevel(1, 1);  // material 1 is transparent
    playerPos = V(0, 0, 0);
  }
  void TearDown() override { FreeLevelGeometry(); }
};

// A small upward triangle whose centroid is at (x, 0, 0).
level_triangle* TriAt(float x, int material = 0) {
  return wt::AddTriangle(V(x - 0.1f, 0, -0.1f), V(x, 0, 0.2f), V(x + 0.1f, 0, -0.1f), material);
}

// A frame's culling with a frustum that keeps everything, then the frame's lists.
void SeeEverythingAndList() {
  for (auto& plane : planeEqs) plane[0] = plane[1] = plane[2] = 0.0f, plane[3] = 1.0f;
  HandleMeshCulling();
  MeshListToArray();
}

// The distance the frame measures: from the player to the corner sum times 0.333333.
float FrameDistance(const level_triangle* t) {
  vector_type sum = VAdd(VAdd(t->vertexPtrs[0]->pos, t->vertexPtrs[1]->pos), t->vertexPtrs[2]->pos);
  return VDistance(playerPos, VScale(sum, 0.333333f));
}

TEST_F(MeshListTest, OpaqueNearestFirstTransparentFarthestFirst) {
  level_triangle* far = TriAt(9);
  level_triangle* nearT = TriAt(1);
  level_triangle* glassFar = TriAt(8, 1);
  level_triangle* glassNear = TriAt(2, 1);
  nearT->u[1] = 0.75f;
  gMaterials[0].mapType = 1;  // textured: its lists carry texture coordinates
  GenerateLevelFromMesh();
  SeeEverythingAndList();
  SyncLevelTriangleList();
  EXPECT_EQ(baseLT.next, nearT);
  ASSERT_EQ(gMaterials[0].numTriangles, 2u);
  ASSERT_EQ(gMaterials[0].i, 6u);
  ASSERT_EQ(gMaterials[0].j, 12u);
  EXPECT_EQ(gMaterials[0].indices[0], nearT->vertexPtrs[0]->index);
  EXPECT_EQ(gMaterials[0].indices[3], far->vertexPtrs[0]->index);
  EXPECT_EQ(gMaterials[1].indices[0], glassFar->vertexPtrs[0]->index);
  EXPECT_EQ(gMaterials[1].indices[3], glassNear->vertexPtrs[0]->index);
  EXPECT_FLOAT_EQ(gMaterials[0].faceNormals[1], 1.0f);  // y of the face normal
  EXPECT_FLOAT_EQ(gMaterials[0].UVs[2], nearT->u[1]);
  EXPECT_EQ(gMaterials[1].j, 0u);  // untextured: no texture coordinates are listed
}

TEST_F(MeshListTest, EqualDistancesKeepTheirOrderFrameAfterFrame) {
  level_triangle* a = TriAt(5);
  level_triangle* b = TriAt(-5);
  level_triangle* c = TriAt(1);
  GenerateLevelFromMesh();
  for (int frame = 0; frame < 3; ++frame) {
    MeshListToArray();
    EXPECT_TRUE(TriangleListBefore(c, a));
    EXPECT_TRUE(TriangleListBefore(a, b));
    EXPECT_FALSE(TriangleListBefore(b, a));
    SyncLevelTriangleList();
    ASSERT_EQ(baseLT.next, c);
    EXPECT_EQ(c->next, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, nullptr);
  }
}

TEST_F(MeshListTest, SortOfAReversedLargeListMatchesStableOrder) {
  // Far from sorted: the adjacent-swap budget runs out and the merge sort finishes; the
  // result is still ascending with ties in list order.
  for (int k = 3000; k > 0; --k) TriAt(static_cast<float>(k / 2))->numConnects = 3000 - k;
  GenerateLevelFromMesh();
  float last = -1.0f;
  uint32_t lastOrder = 0;
  level_triangle* prev = nullptr;
  for (level_triangle* t = baseLT.next; t; prev = t, t = t->next) {
    EXPECT_GE(t->zDist, last);
    if (prev && t->zDist == prev->zDist) {
      EXPECT_GT(t->numConnects, prev->numConnects);
    }
    EXPECT_EQ(t->listOrder, prev ? lastOrder + 1 : 0u);
    lastOrder = t->listOrder;
    last = t->zDist;
  }
}

// Frame after frame the list is the previous frame's list sorted stably by the new distances,
// whether the player creeps (few places move) or jumps (the order is sorted afresh). The grid
// is symmetric about the player's path, so many distances tie exactly.
TEST_F(MeshListTest, EveryFrameSortsStablyFromThePreviousFramesOrder) {
  wt::AddFloorGrid(40, 1.0f, 0.0f);  // 3200 triangles
  playerPos = V(20.0f, 1.0f, 20.0f);
  GenerateLevelFromMesh();
  std::vector<level_triangle*> expected = wt::Triangles();
  // Creeping, jumps near the grid, and jumps far away (where every distance has nearly the
  // same size, sorted in fewer passes).
  const float steps[] = {0.01f, 0.01f, 0.3f, 7.0f, -15.0f, 0.02f, 0.0f, 5.5f, 1000.0f, 0.5f, -2000.0f, 1000.0f};
  for (float step : steps) {
    playerPos.x += step;
    std::stable_sort(expected.begin(), expected.end(), [](const level_triangle* x, const level_triangle* y) {
      return FrameDistance(x) < FrameDistance(y);
    });
    SeeEverythingAndList();
    // Neighbours in the expected order compare so before the list is relinked.
    for (size_t k = 0; k + 1 < expected.size(); ++k) {
      ASSERT_TRUE(TriangleListBefore(expected[k], expected[k + 1])) << "step " << step << " place " << k;
      ASSERT_FALSE(TriangleListBefore(expected[k + 1], expected[k])) << "step " << step << " place " << k;
    }
    EXPECT_EQ(TriangleDistance(expected[5]), FrameDistance(expected[5]));
    ASSERT_EQ(wt::Triangles(), expected) << "step " << step;
    // Opaque lists follow the same order.
    ASSERT_EQ(gMaterials[0].numTriangles, expected.size());
    EXPECT_EQ(gMaterials[0].indices[3 * 7], expected[7]->vertexPtrs[0]->index);
  }
}

// Many frames pass without anything walking the list: each frame's lists, the comparisons
// queries make and the list relinked at the end all follow the frames' sorts carried out one
// by one. The player walks along the grid's mirror line, so mirrored triangles stay tied for
// many frames and their order goes back to where the ties began.
TEST_F(MeshListTest, FramesWithoutARelinkFollowEveryFramesSort) {
  wt::AddFloorGrid(24, 1.0f, 0.0f);
  playerPos = V(12.0f, 1.0f, 3.0f);
  GenerateLevelFromMesh();
  std::vector<level_triangle*> expected = wt::Triangles();
  const auto sameCorners = [](const zntlmtrl& m, size_t entry, const level_triangle* t) {
    for (int c = 0; c < 3; ++c)
      if (m.indices[3 * entry + c] != t->vertexPtrs[c]->index) return false;
    return true;
  };
  for (int frame = 0; frame < 90; ++frame) {
    // Along the mirror line, with stops, a stretch off it and a jump back.
    if (frame % 7 != 3) playerPos.z += 0.37f;
    if (frame == 40) playerPos.x = 12.3f;
    if (frame == 55) playerPos = V(12.0f, 1.0f, -8.0f);
    std::stable_sort(expected.begin(), expected.end(), [](const level_triangle* x, const level_triangle* y) {
      return FrameDistance(x) < FrameDistance(y);
    });
    // Some frames see only the part with z at most a bound that moves, so triangles come back
    // into view after frames in which they were not listed.
    if (frame % 4 == 1) {
      for (auto& plane : planeEqs) plane[0] = plane[1] = plane[2] = 0.0f, plane[3] = 1.0f;
      planeEqs[2][2] = -1.0f;
      planeEqs[2][3] = 6.0f + static_cast<float>(frame % 9);
      HandleMeshCulling();
      MeshListToArray();
    } else {
      SeeEverythingAndList();
    }
    std::vector<level_triangle*> drawn;
    for (level_triangle* t : expected)
      if (TriangleDrawnThisFrame(t)) drawn.push_back(t);
    ASSERT_EQ(gMaterials[0].numTriangles, drawn.size());
    if (frame % 4 == 1) {
      ASSERT_LT(drawn.size(), expected.size());
    }
    for (size_t k = 0; k < drawn.size(); ++k)
      ASSERT_TRUE(sameCorners(gMaterials[0], k, drawn[k])) << "frame " << frame << " entry " << k;
    if (frame % 10 == 9) {
      for (size_t k = 0; k + 1 < expected.size(); ++k)
        ASSERT_TRUE(TriangleListBefore(expected[k], expected[k + 1])) << "frame " << frame << " place " << k;
      EXPECT_EQ(TriangleDistance(expected[17]), FrameDistance(expected[17]));
    }
  }
  EXPECT_EQ(wt::Triangles(), expected);
  for (size_t k = 0; k < expected.size(); ++k) ASSERT_EQ(expected[k]->listOrder, k);
}

// Two triangles tied from where the player stands now were ordered by a frame in which
// neither was in view: they come back in that frame's order.
TEST_F(MeshListTest, TrianglesBackInViewKeepTheOrderOfFramesTheyMissed) {
  level_triangle* left = TriAt(-1);
  level_triangle* right = TriAt(1);
  GenerateLevelFromMesh();  // tied: left, right
  playerPos = V(0.5f, 0, 0);  // right is nearer
  for (auto& plane : planeEqs) plane[0] = plane[1] = plane[2] = 0.0f, plane[3] = -1.0f;  // nothing in view
  HandleMeshCulling();
  MeshListToArray();
  EXPECT_EQ(gMaterials[0].numTriangles, 0u);
  playerPos = V(0, 0, 3);  // tied again
  SeeEverythingAndList();
  ASSERT_EQ(gMaterials[0].numTriangles, 2u);
  EXPECT_EQ(gMaterials[0].indices[0], right->vertexPtrs[0]->index);
  EXPECT_EQ(gMaterials[0].indices[3], left->vertexPtrs[0]->index);
  EXPECT_TRUE(TriangleListBefore(right, left));
  EXPECT_EQ(wt::Triangles(), (std::vector<level_triangle*>{right, left}));
}

// Between frames the list waits to be relinked; whatever changes it first gets the order the
// frame left, and nothing is lost when the list was changed without asking.
TEST_F(MeshListTest, ChangesAfterAFrameStartFromTheFramesOrder) {
  level_triangle* a = TriAt(1);
  level_triangle* b = TriAt(2);
  level_triangle* c = TriAt(3);
  GenerateLevelFromMesh();
  playerPos = V(10, 0, 0);  // now c is nearest
  SeeEverythingAndList();
  level_triangle* d = TriAt(0);  // appended after syncing: c, b, a, d
  GenerateLevelFromMesh();
  EXPECT_EQ(wt::Triangles(), (std::vector<level_triangle*>{c, b, a, d}));

  playerPos = V(-10, 0, 0);  // d, a, b, c
  SeeEverythingAndList();
  // A triangle slipped in at the head without syncing: the rebuild keeps it and every other.
  level_triangle* e = NewLevelTriangle();
  *e = *a;
  e->next = baseLT.next;
  baseLT.next = e;
  GenerateLevelFromMesh();
  EXPECT_EQ(wt::TriangleCount(), 5);

  // Deleting after a frame: the survivors keep the frame's order.
  playerPos = V(10, 0, 0);
  SeeEverythingAndList();
  b->vertexPtrs[0]->selected = 1;
  DeleteVertices(0);
  UpdateLevelIfChanged();
  std::vector<level_triangle*> left = wt::Triangles();
  ASSERT_EQ(left.size(), 4u);
  EXPECT_EQ(left[0], c);
  EXPECT_EQ(left.back(), d);
}

TEST_F(MeshListTest, InvisibleTrianglesAreNotDrawnButStayInTheTree) {
  level_triangle* hidden = TriAt(1);
  hidden->invisible = 1;
  level_triangle* shown = TriAt(2);
  GenerateLevelFromMesh();
  SeeEverythingAndList();
  EXPECT_EQ(gMaterials[0].numTriangles, 1u);
  EXPECT_EQ(gMaterials[0].indices[0], shown->vertexPtrs[0]->index);
  EXPECT_NE(hidden->boundingBox.parent, nullptr);
  EXPECT_EQ(gTrigsDrawn, 2);  // counted as seen, not drawn
}

TEST_F(MeshListTest, OutOfRangeMaterialDrawsWithMaterialZero) {
  level_triangle* t = TriAt(1, 7);
  level_triangle* n = TriAt(2, -3);
  GenerateLevelFromMesh();
  SeeEverythingAndList();
  EXPECT_EQ(t->meshworkMaterial, 0);
  EXPECT_EQ(n->meshworkMaterial, 0);
  EXPECT_EQ(gMaterials[0].numTriangles, 2u);
}

TEST_F(MeshListTest, VertexNormalsAverageFacesAndLoneVerticesPointUp) {
  // Two triangles sharing corner s: one facing +y, one facing +x.
  mesh_vert* s = NewEmptyMeshVert(V(0, 0, 0));
  s->next = baseMeshVert.next, baseMeshVert.next = s;
  level_triangle* up = wt::AddTriangle(V(0, 0, 0), V(0, 0, 1), V(1, 0, 0));
  level_triangle* side = wt::AddTriangle(V(0, 0, 0), V(0, 1, 0), V(0, 0, 1));
  up->vertexPtrs[0] = s;
  side->vertexPtrs[0] = s;
  mesh_vert* lone = NewEmptyMeshVert(V(5, 5, 5));
  lone->next = baseMeshVert.next, baseMeshVert.next = lone;
  GenerateLevelFromMesh();
  EXPECT_NEAR(s->vertexNormal.x, 0.70710678f, 1e-6);
  EXPECT_NEAR(s->vertexNormal.y, 0.70710678f, 1e-6);
  EXPECT_FLOAT_EQ(lone->vertexNormal.y, 1.0f);
  EXPECT_FLOAT_EQ(lone->collPos.x, 5.0f);
  EXPECT_EQ(gNumVertices, 8);
  EXPECT_FLOAT_EQ(gMeshVertexArray[3 * lone->index], 5.0f);
  EXPECT_FLOAT_EQ(gMeshVertexNormalArray[3 * lone->index + 1], 1.0f);
}

TEST_F(MeshListTest, NewVertexTakesTheNextIndexAndTheAxisLocks) {
  TriAt(1);
  GenerateLevelFromMesh();  // indices 0..2
  gYLocked = 1;
  mesh_vert* v = NewEmptyMeshVert(V(1, 2, 3));
  gYLocked = 0;
  EXPECT_EQ(v->index, 3u);
  EXPECT_FLOAT_EQ(v->pos.y, 0.0f);
  EXPECT_FLOAT_EQ(gLastVertexPos.z, 3.0f);
  EXPECT_EQ(v->weight, 100);
  EXPECT_STREQ(v->bone1, "None");
  EXPECT_EQ(v->visible, 1);
  FreeMeshVert(v);
}

TEST_F(MeshListTest, DeletingSelectedVerticesTakesTheirTrianglesAndRebuildsBeforeQueries) {
  level_triangle* gone = TriAt(1);
  TriAt(2);
  mesh_edge* e = NewMeshEdge(nullptr, nullptr);
  e->v1 = gone->vertexPtrs[0];
  e->v2 = gone->vertexPtrs[1];
  baseEdge.next = e;
  GenerateLevelFromMesh();
  gone->vertexPtrs[2]->selected = 1;
  DeleteVertices(0);
  EXPECT_EQ(wt::TriangleCount(), 1);
  EXPECT_EQ(baseEdge.next, e);  // the edge does not use the selected vertex
  int vertices = 0;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) ++vertices;
  EXPECT_EQ(vertices, 5);
  EXPECT_EQ(gLevelNeedsRebuild, 1);
  UpdateLevelIfChanged();
  EXPECT_EQ(baseLT.next->boundingBox.parent, &boxTree);
  DeleteVertices(1);
  EXPECT_EQ(baseLT.next, nullptr);
  EXPECT_EQ(baseEdge.next, nullptr);
  EXPECT_EQ(baseMeshVert.next, nullptr);
}

TEST_F(MeshListTest, FreeingTheLevelEmptiesListsTreeAndQueries) {
  for (int k = 0; k < 40; ++k) TriAt(static_cast<float>(k));
  GenerateLevelFromMesh();
  ASSERT_NE(boxTree.sub1, nullptr);
  FreeLevelGeometry();
  EXPECT_EQ(baseLT.next, nullptr);
  EXPECT_EQ(baseMeshVert.next, nullptr);
  EXPECT_EQ(boxTree.sub1, nullptr);
  EXPECT_EQ(boxTree.next, nullptr);
  EXPECT_EQ(boxTree.numPolys, 0);
  EXPECT_EQ(gNumVertices, 0);
  // A rebuild of nothing and a frame's culling over nothing are harmless.
  GenerateLevelFromMesh();
  HandleMeshCulling();
  EXPECT_EQ(BoxTreeNodeCount(), 1);
}

TEST_F(MeshListTest, FacingIsFixedTowardOrAwayFromAPoint) {
  level_triangle* t = wt::AddTriangle(V(0, 0, 0), V(0, 0, 1), V(1, 0, 0));  // faces +y
  t->u[1] = 0.25f, t->u[2] = 0.75f;
  FixTriangleFacing(t, V(0.3f, 5, 0.3f), 0);  // already facing the point
  EXPECT_FLOAT_EQ(t->normal.y, 1.0f);
  FixTriangleFacing(t, V(0.3f, 5, 0.3f), 1);  // must face away
  EXPECT_FLOAT_EQ(t->normal.y, -1.0f);
  EXPECT_FLOAT_EQ(t->u[1], 0.75f);
  EXPECT_FLOAT_EQ(t->vertexPtrs[1]->pos.x, 1.0f);
  vector_type* corners = TriangleCollPlane(t);
  EXPECT_FLOAT_EQ(corners[2].z, 1.0f);
}

}  // namespace
