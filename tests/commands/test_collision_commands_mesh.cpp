// The mesh builder commands: vertices picked or made, edges drawn point by point, closed
// three-edge loops turned into triangles that face the chosen side, and the new triangles
// colliding with the next poke.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "commands/collision_commands.h"
#include "commands/commands.h"
#include "models/import_common.h"
#include "objects/player.h"
#include "shell/startup.h"
#include "test_collision_commands_level.h"
#include "world/object_collision.h"

using namespace ct;

namespace {

class MeshBuilder : public ::testing::Test {
 protected:
  void SetUp() override {
    gScriptVars = variable_list();
    InitLevelLists();
    ShrinkToDefaultMaterialAndBone();
    editMode = 4;
    playerPos = V(0, 0, 0);
    gFacePos = V(0, 0, 0);
    gFaceOut = 0;
    gDefaultSmooth = gDefaultTransparent = gDefaultInvisible = 0;
    gDoObjectPoke = 1;
  }
  void TearDown() override {
    gDefaultSmooth = gDefaultTransparent = gDefaultInvisible = 0;
    gFaceOut = 0;
    FreeLevelGeometry();
  }
  mesh_vert* Selected() {
    mesh_vert* found = nullptr;
    int count = 0;
    for (mesh_vert* v = baseMeshVert.next; v; v = v->next)
      if (v->selected) found = v, ++count;
    return count == 1 ? found : nullptr;
  }
  int SelectedCount() {
    int count = 0;
    for (mesh_vert* v = baseMeshVert.next; v; v = v->next) count += v->selected != 0;
    return count;
  }
};

TEST_F(MeshBuilder, VertexSelectsAnExistingVertexWithinTheSamePlaceDistance) {
  Cmd(znkinstr_vertex, "1, 2, 3");
  ASSERT_EQ(CountVertices(), 1);
  mesh_vert* first = Selected();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->oldSelected, 1);
  Cmd(znkinstr_vertex, "5, 5, 5");
  EXPECT_EQ(CountVertices(), 2);
  EXPECT_EQ(baseMeshVert.next->pos.x, 5.0f);  // new vertices go to the head
  EXPECT_EQ(first->selected, 0);
  Cmd(znkinstr_vertex, "1.009, 1.991, 3.005");
  EXPECT_EQ(CountVertices(), 2);
  EXPECT_EQ(Selected(), first);
  // Farther than 0.01 on one axis is another place.
  Cmd(znkinstr_vertex, "1.0, 2.0, 3.02");
  EXPECT_EQ(CountVertices(), 3);
  // Empty: from float registers 1..3.
  F(1) = 5, F(2) = 5, F(3) = 5;
  Cmd(znkinstr_vertex, "");
  EXPECT_EQ(CountVertices(), 3);
  EXPECT_EQ(Selected()->pos.y, 5.0f);
  Cmd(znkinstr_vertex, "none");
  EXPECT_EQ(SelectedCount(), 0);
  EXPECT_EQ(CountVertices(), 3);
}

TEST_F(MeshBuilder, ThreeLinesMakeThreeEdgesAndOneTriangle) {
  Cmd(znkinstr_line, "0, 0, 0");  // nothing selected yet: acts as vertex
  EXPECT_EQ(CountEdges(), 0);
  Cmd(znkinstr_line, "4, 0, 0");
  EXPECT_EQ(CountEdges(), 1);
  EXPECT_EQ(Selected()->pos.x, 4.0f);
  Cmd(znkinstr_line, "0, 0, 4");
  EXPECT_EQ(CountTriangles(), 0);
  Cmd(znkinstr_line, "0, 0, 0");
  EXPECT_EQ(CountVertices(), 3);
  EXPECT_EQ(CountEdges(), 3);
  ASSERT_EQ(CountTriangles(), 1);
  level_triangle* t = baseLT.next;
  EXPECT_EQ(t->visible, 1);
  EXPECT_EQ(t->meshworkMaterial, 0);
  EXPECT_EQ(t->thePlane, nullptr);
  // Drawing along an existing edge adds nothing.
  Cmd(znkinstr_line, "4, 0, 0");
  EXPECT_EQ(CountEdges(), 3);
  EXPECT_EQ(CountTriangles(), 1);
}

TEST_F(MeshBuilder, ASquareWithADiagonalMakesTwoTrianglesThatAPokeHits) {
  Cmd(znkinstr_face, "0,10,0,in");
  Cmd(znkinstr_vertex, "-5, 0, -5");
  Cmd(znkinstr_line, "5, 0, -5");
  Cmd(znkinstr_line, "5, 0, 5");
  Cmd(znkinstr_line, "-5, 0, 5");
  Cmd(znkinstr_line, "-5, 0, -5");
  EXPECT_EQ(CountTriangles(), 0);
  Cmd(znkinstr_line, "5, 0, 5");
  ASSERT_EQ(CountTriangles(), 2);
  for (level_triangle* t = baseLT.next; t; t = t->next) EXPECT_NEAR(t->normal.y, 1.0f, 1e-6);

  Segment(V(2, 3, -1), V(2, -3, -1));
  Cmd(znkinstr_poke, "2,10");
  EXPECT_EQ(I(2), 1);
  EXPECT_FLOAT_EQ(F(10), 2.0f);
  EXPECT_NEAR(F(11), 0.0, 1e-6);
  Cmd(znkinstr_collnormal, "");
  EXPECT_NEAR(F(2), 1.0, 1e-6);
  Segment(V(-2, 3, 1), V(-2, -3, 1));
  Cmd(znkinstr_poke, "");
  EXPECT_EQ(I(1), 1);
  Segment(V(6, 3, 1), V(6, -3, 1));
  Cmd(znkinstr_poke, "");
  EXPECT_EQ(I(1), 0);
}

TEST_F(MeshBuilder, FaceOrientsNewTrianglesTowardOrAwayFromItsPoint) {
  F(1) = 0, F(2) = 10, F(3) = 0;
  Cmd(znkinstr_face, "out");
  EXPECT_EQ(gFaceOut, 1);
  EXPECT_EQ(gFacePos.y, 10.0f);
  Cmd(znkinstr_vertex, "0, 0, 0");
  Cmd(znkinstr_line, "0, 0, 4");
  Cmd(znkinstr_line, "4, 0, 0");
  Cmd(znkinstr_line, "0, 0, 0");
  ASSERT_EQ(CountTriangles(), 1);
  EXPECT_NEAR(baseLT.next->normal.y, -1.0f, 1e-6);

  Cmd(znkinstr_face, "in");
  EXPECT_EQ(gFaceOut, 0);
  Cmd(znkinstr_vertex, "10, 0, 0");
  Cmd(znkinstr_line, "10, 0, 4");
  Cmd(znkinstr_line, "14, 0, 0");
  Cmd(znkinstr_line, "10, 0, 0");
  ASSERT_EQ(CountTriangles(), 2);
  EXPECT_NEAR(baseLT.next->normal.y, 1.0f, 1e-6);

  // Empty: only the point changes; any side word but "in" means out.
  F(2) = -3;
  Cmd(znkinstr_face, "");
  EXPECT_EQ(gFacePos.y, -3.0f);
  EXPECT_EQ(gFaceOut, 0);
  Cmd(znkinstr_face, "1,2,3,sideways");
  EXPECT_EQ(gFaceOut, 1);
  EXPECT_EQ(gFacePos.z, 3.0f);
}

TEST_F(MeshBuilder, NewTrianglesTakeTheDefaultFlagsAndInvisibleOnesStillCollide) {
  gDefaultSmooth = 1;
  gDefaultTransparent = 1;
  gDefaultInvisible = 1;
  Cmd(znkinstr_vertex, "0, 0, 0");
  Cmd(znkinstr_line, "0, 0, 4");
  Cmd(znkinstr_line, "4, 0, 0");
  Cmd(znkinstr_line, "0, 0, 0");
  ASSERT_EQ(CountTriangles(), 1);
  EXPECT_EQ(baseLT.next->smooth, 1);
  EXPECT_EQ(baseLT.next->transparent, 1);
  EXPECT_EQ(baseLT.next->invisible, 1);
  Segment(V(1, 1, 1), V(1, -1, 1));
  Cmd(znkinstr_poke, "");
  EXPECT_EQ(I(1), 1);
}

TEST_F(MeshBuilder, DuplicateOlderEdgesCloseALoopOnlyOnce) {
  // A - B and B - C twice each (an imported level gives a shared edge once per triangle).
  mesh_vert* a = Vert(V(0, 0, 0));
  mesh_vert* b = Vert(V(4, 0, 0));
  mesh_vert* c = Vert(V(0, 0, 4));
  for (auto ends : {std::make_pair(a, b), std::make_pair(b, a), std::make_pair(b, c),
                    std::make_pair(c, b)}) {
    mesh_edge* e = NewMeshEdge(nullptr, nullptr);
    e->v1 = ends.first, e->v2 = ends.second, e->visible = 1;
    e->next = baseEdge.next;
    baseEdge.next = e;
  }
  c->selected = 1;
  Cmd(znkinstr_line, "0, 0, 0");
  EXPECT_EQ(CountEdges(), 5);
  EXPECT_EQ(CountTriangles(), 1);
  EXPECT_EQ(a->selected, 1);
  EXPECT_EQ(c->selected, 0);
}

TEST_F(MeshBuilder, LineFromSeveralSelectedVerticesFansToTheTarget) {
  // Two vertices selected at once (as a level file leaves them) joined to one new point.
  mesh_vert* a = Vert(V(0, 0, 0));
  mesh_vert* b = Vert(V(4, 0, 0));
  mesh_edge* e = NewMeshEdge(nullptr, nullptr);
  e->v1 = a, e->v2 = b, e->visible = 1;
  baseEdge.next = e;
  a->selected = b->selected = 1;
  Cmd(znkinstr_line, "2, 0, 3");
  EXPECT_EQ(CountVertices(), 3);
  EXPECT_EQ(CountEdges(), 3);
  EXPECT_EQ(CountTriangles(), 1);
  EXPECT_EQ(SelectedCount(), 1);
  EXPECT_EQ(baseMeshVert.next->selected, 1);
}

TEST_F(MeshBuilder, LineReadsNoneAndOtherUnreadableFieldsAsZero) {
  // "none" is no word for line: it is the point (0, 0, 0), joined to the selected vertex.
  Cmd(znkinstr_vertex, "1, 0, 0");
  Cmd(znkinstr_line, "none");
  EXPECT_EQ(CountVertices(), 2);
  ASSERT_NE(Selected(), nullptr);
  EXPECT_EQ(Selected()->pos.x, 0.0f);
  // With nothing selected it selects (or adds) its point as vertex would.
  Cmd(znkinstr_vertex, "none");
  EXPECT_EQ(SelectedCount(), 0);
  Cmd(znkinstr_line, "2,oops");
  EXPECT_EQ(CountVertices(), 3);
  ASSERT_NE(Selected(), nullptr);
  EXPECT_EQ(Selected()->pos.x, 2.0f);
  EXPECT_EQ(Selected()->pos.y, 0.0f);
  EXPECT_EQ(Selected()->pos.z, 0.0f);
}

}  // namespace
