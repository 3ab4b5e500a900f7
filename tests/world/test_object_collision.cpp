// Object collision: cylinder pairs, the moving sphere against faces, edges, corners and other
// spheres, the segment query against level, objects and the player's box, and the box itself.
#include <gtest/gtest.h>

#include <cmath>

#include "support/level_builder.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "objects/player.h"
#include "script/engine_variables.h"
#include "script/scheduler.h"
#include "shell/startup.h"
#include "world/collide_slide.h"
#include "world/level_mesh.h"
#include "world/line_queries.h"
#include "world/object_collision.h"

using wt::V;

namespace {

class ObjectCollisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wt::ResetLevel();
    wt::RemoveBodies();
    editMode = 4;
    playerPos = V(0, 0, 0);
    viewangle = 0.0f;
    gDoInnerCollision = 0;
    gDoObjectPoke = 1;
    gPokeObject = nullptr;
    gHumanScriptTarget = nullptr;
    selHuman = nullptr;
    gHitPerson = nullptr;
    vecDistance = 65535.0f;
  }
  void TearDown() override {
    gDoInnerCollision = 0;
    selHuman = nullptr;
    wt::RemoveBodies();
    FreeLevelGeometry();
  }
};

TEST_F(ObjectCollisionTest, OverlappingCylindersNeverCollideUnlessInnerCollisionIsOn) {
  vector_type I;
  float t;
  EXPECT_EQ(CollisionOfTwoCylinders(V(1, 0, 0), V(0, 0, 0), 1, 0.5f, V(0.2f, 0, 0), 1, 0.5f, &I, &t), 0);
  EXPECT_EQ(CollisionOfTwoCylinders(V(1, 0, 0), V(0, 50, 0), 1, 0.5f, V(0.2f, 0, 0), 1, 0.5f, &I, &t), 0);
  gDoInnerCollision = 1;
  // Overlapping and level with it: the mover is put on top.
  ASSERT_EQ(CollisionOfTwoCylinders(V(0.1f, 0, 0), V(0, 0.5f, 0), 1, 0.5f, V(0.2f, 0, 0), 1, 0.5f, &I, &t), 1);
  EXPECT_FLOAT_EQ(t, 0.0f);
  EXPECT_FLOAT_EQ(I.y, 2.0001f);
  EXPECT_FLOAT_EQ(I.x, 0.1f);
}

TEST_F(ObjectCollisionTest, SideContactAndPassingOverTheTop) {
  vector_type I;
  float t;
  ASSERT_EQ(CollisionOfTwoCylinders(V(4, 0, 0), V(0, 0, 0), 1, 0.5f, V(3, 0, 0), 1, 0.5f, &I, &t), 1);
  EXPECT_FLOAT_EQ(t, 0.5f);
  EXPECT_FLOAT_EQ(I.x, 2.5f);
  // Mover 3 above the obstacle's centre with half heights 1 + 1: passes above.
  EXPECT_EQ(CollisionOfTwoCylinders(V(4, 0, 0), V(0, 3, 0), 1, 0.5f, V(3, 0, 0), 1, 0.5f, &I, &t), 0);
}

TEST_F(ObjectCollisionTest, SphereOntoAFloorFaceGivesPointNormalAndSlide) {
  wt::AddFloor(-10, -10, 10, 10, 0.0f);
  GenerateLevelFromMesh();
  playerPos = V(0, 0.5f, 0);  // sphere centre 1.5, radius 0.6
  vector_type dir = V(1, -2, 0), toColl, point, slid;
  ASSERT_EQ(StandardObjectCollision(nullptr, dir, &toColl, &point, &slid), 1);
  // The sphere's lowest point (0, 0.9, 0) crosses the floor 0.45 of the way along.
  EXPECT_NEAR(point.x, 0.45f, 1e-5);
  EXPECT_NEAR(point.y, 0.0f, 1e-5);
  EXPECT_NEAR(gCollisionNormal.y, 1.5f / std::sqrt(1.5f * 1.5f + 0.45f * 0.45f), 1e-4);  // contact to start
  EXPECT_FLOAT_EQ(gCollisionPoint.x, point.x);
  EXPECT_NEAR(vectorDistance(V(0, 1.5f, 0), point) - 0.6f, vectorDistance(V(0, 0, 0), toColl), 1e-3);
  EXPECT_NEAR(slid.x * gCollisionNormal.x + slid.y * gCollisionNormal.y + slid.z * gCollisionNormal.z, 0.0, 1e-4);
  EXPECT_EQ(StandardObjectCollision(nullptr, V(0, 0, 0), nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(StandardObjectCollision(nullptr, V(0, 0.1f, 0), nullptr, nullptr, nullptr), 0);
}

TEST_F(ObjectCollisionTest, EdgesAndCornersTouchWhenNoFaceIsCrossed) {
  level_triangle* t = wt::AddTriangle(V(0, 0, 0), V(0, 0, 1), V(1, 0, 0));
  mesh_edge* e = NewMeshEdge(nullptr, nullptr);
  e->v1 = t->vertexPtrs[0];
  e->v2 = t->vertexPtrs[1];
  baseEdge.next = e;
  GenerateLevelFromMesh();
  // Moving sideways beside the edge x = 0, never crossing the face's plane from above.
  playerPos = V(-1, -1.0f, 0.5f);
  vector_type point;
  ASSERT_EQ(StandardObjectCollision(nullptr, V(0.6f, 0, 0), nullptr, &point, nullptr), 1);
  EXPECT_FLOAT_EQ(point.x, 0.0f);
  EXPECT_FLOAT_EQ(point.z, 0.5f);
  // Beyond the edge's ends only a corner can be touched.
  playerPos = V(-0.3f, -1.0f, -0.4f);
  ASSERT_EQ(StandardObjectCollision(nullptr, V(0, 0, 0.1f), nullptr, &point, nullptr), 1);
  EXPECT_FLOAT_EQ(point.z, 0.0f);
  EXPECT_FLOAT_EQ(point.x, 0.0f);
}

TEST_F(ObjectCollisionTest, SpheresMeetOnlyWhenApartAtTheStart) {
  human_being* ball = wt::AddBody(V(3, 1, 0), 0.3f, 0.5f, 0.5f);
  vector_type point;
  ASSERT_EQ(StandardObjectCollision(nullptr, V(2, 0, 0), nullptr, &point, nullptr), 1);
  EXPECT_EQ(gHitPerson, ball);
  EXPECT_FLOAT_EQ(point.x, 2.5f);
  playerPos = V(2.8f, 0, 0);  // already inside the ball's sphere
  gHitPerson = nullptr;
  EXPECT_EQ(StandardObjectCollision(nullptr, V(0.3f, 0, 0), nullptr, &point, nullptr), 0);
  EXPECT_EQ(gHitPerson, nullptr);
  // An object meeting the player's sphere names no object.
  playerPos = V(6, 0, 0);
  gHitPerson = ball;
  EXPECT_EQ(StandardObjectCollision(ball, V(2.5f, 0, 0), nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(gHitPerson, nullptr);
}

TEST_F(ObjectCollisionTest, SegmentQueryNamesLevelObjectOrNothing) {
  wt::AddWallFacingMinusZ(-5, 5, -5, 5, 10.0f);
  GenerateLevelFromMesh();
  human_being* crate = wt::AddBody(V(0, 0, 5), 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(StandardCollision(V(0, 0, 0), V(0, 0, 20)), 2);
  EXPECT_EQ(gHitPerson, crate);
  EXPECT_FLOAT_EQ(s3, 4.5f);
  EXPECT_FLOAT_EQ(vecDistance, 65535.0f);  // restored
  gDoObjectPoke = 0;
  EXPECT_EQ(StandardCollision(V(0, 0, 0), V(0, 0, 20)), 1);
  EXPECT_FLOAT_EQ(s3, 10.0f);
  gDoObjectPoke = 1;
  gHumanScriptTarget = crate;  // a script never hits its own object
  EXPECT_EQ(StandardCollision(V(0, 0, 0), V(0, 0, 20)), 1);
  gHumanScriptTarget = nullptr;
  crate->objectType = 2;
  EXPECT_EQ(StandardCollision(V(0, 0, 0), V(0, 0, 20)), 1);
  s1 = 42.0f;
  EXPECT_EQ(StandardCollision(V(0, 0, 0), V(0, 0, 0)), 0);
  EXPECT_EQ(StandardCollision(V(20, 0, 0), V(20, 0, 20)), 0);
  EXPECT_FLOAT_EQ(s1, 42.0f);  // a miss leaves the last hit point
  EXPECT_EQ(StandardTeamCollision(V(0, 0, 0), V(0, 0, 20), 1), 0);
}

TEST_F(ObjectCollisionTest, PlayerBoxIsHitWhenAnObjectIsSelected) {
  human_being* me = wt::AddBody(V(-5, 0, -5), 0.5f, 0.5f, 0.5f);
  me->objectType = 2;
  playerPos = V(0, 0, 3);
  EXPECT_EQ(StandardCollision(V(0, 0.5f, 0), V(0, 0.5f, 6)), 0);  // nothing selected
  selHuman = me;
  gHitPerson = me;
  ASSERT_EQ(StandardCollision(V(0, 0.5f, 0), V(0, 0.5f, 6)), 2);
  EXPECT_EQ(gHitPerson, nullptr);
  EXPECT_NEAR(s3, 2.75f, 1e-5);
  // Every face of the box, including the second half of each parallelogram, is solid.
  ASSERT_EQ(StandardCollision(V(0.2f, 1.2f, 0), V(0.2f, 1.2f, 6)), 2);
  EXPECT_NEAR(s3, 2.75f, 1e-5);
  EXPECT_EQ(StandardCollision(V(0.2f, 1.5f, 0), V(0.2f, 1.5f, 6)), 0);
}

TEST_F(ObjectCollisionTest, PlayerBoxTurnsWithTheView) {
  playerPos = V(1, 2, 3);
  viewangle = 0.0f;
  GeneratePlayerBox();
  EXPECT_FLOAT_EQ(playerBox[0][0].x, 0.75f);
  EXPECT_FLOAT_EQ(playerBox[0][1].y, 3.3f);
  EXPECT_FLOAT_EQ(playerBox[0][0].z, 2.75f);
  viewangle = 90.0f;
  GeneratePlayerBox();
  // A quarter turn keeps the box's corners on the same footprint.
  float minX = 10, maxX = -10;
  for (auto& face : playerBox)
    for (auto& c : face) minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
  EXPECT_NEAR(minX, 0.75f, 1e-5);
  EXPECT_NEAR(maxX, 1.25f, 1e-5);
}

TEST_F(ObjectCollisionTest, PlanesAreBuiltWithTheLevelAndFollowAFacingFlip) {
  level_triangle* t = wt::AddTriangle(V(0, 2, 0), V(0, 2, 1), V(1, 2, 0));
  GenerateLevelFromMesh();
  ASSERT_NE(t->thePlane, nullptr);
  EXPECT_FLOAT_EQ(t->thePlane->b, 1.0f);
  EXPECT_FLOAT_EQ(t->thePlane->d, 2.0f);
  InvertTrigFacing(t);
  EXPECT_FLOAT_EQ(t->thePlane->b, -1.0f);
  EXPECT_FLOAT_EQ(t->thePlane->d, -2.0f);
  EXPECT_EQ(CheckMoveNew(0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr), 1);
}

}  // namespace
