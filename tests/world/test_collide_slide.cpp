// Collide-and-slide: stopping on a floor and at a wall, sliding along them, walking out
// through a back face, the gravity step, embedded motion, the root finder, other bodies'
// cylinders, and the tree-filtered contact search against a search of every triangle.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/level_builder.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "objects/player.h"
#include "script/engine_variables.h"
#include "world/collide_slide.h"
#include "world/level_mesh.h"

using wt::V;

namespace {

class SlideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wt::ResetLevel();
    wt::RemoveBodies();
    gPlayerDimensions = V(0.2f, 0.6f, 0.2f);
    gDoCollisionSliding = 1;
    gDoInnerCollision = 0;
    gPlayerCollisions = 1;
    gHitPerson = nullptr;
  }
  void TearDown() override {
    gDoCollisionSliding = 1;
    wt::RemoveBodies();
    FreeLevelGeometry();
  }
  void MovePlayer(vector_type from, vector_type vel, vector_type gravity = V(0, 0, 0)) {
    playerPos = from;
    CollisionPacket packet{};
    collideAndSlide(nullptr, vel, gravity, &packet);
  }
};

TEST_F(SlideTest, FallingOntoAFloorStopsJustAboveIt) {
  wt::AddFloorGrid(10, 1.0f, 0.0f);
  GenerateLevelFromMesh();
  MovePlayer(V(5.5f, 1, 5.5f), V(0, -2, 0));
  EXPECT_GE(playerPos.y, 0.0f);
  EXPECT_LT(playerPos.y, 0.001f);
  EXPECT_FLOAT_EQ(playerPos.x, 5.5f);
}

TEST_F(SlideTest, SlidesAlongTheFloorOrStopsWhenSlidingIsOff) {
  wt::AddFloorGrid(10, 1.0f, 0.0f);
  GenerateLevelFromMesh();
  MovePlayer(V(4.5f, 0.5f, 5.5f), V(1, -1, 0));
  EXPECT_NEAR(playerPos.x, 5.5f, 0.001f);
  EXPECT_NEAR(playerPos.y, 0.0f, 0.001f);

  gDoCollisionSliding = 0;
  MovePlayer(V(4.5f, 0.5f, 5.5f), V(1, -1, 0));
  EXPECT_NEAR(playerPos.x, 5.0f, 0.001f);  // contact half way
  EXPECT_NEAR(playerPos.y, 0.0f, 0.001f);
}

TEST_F(SlideTest, WallStopsAndSlidesAndItsBackLetsYouOut) {
  wt::AddWallFacingMinusZ(-10, 10, -1, 5, 10.0f);
  GenerateLevelFromMesh();
  MovePlayer(V(0, 0, 8), V(0, 0, 5));
  EXPECT_NEAR(playerPos.z, 9.8f, 0.001f);
  EXPECT_LT(playerPos.z, 9.8f);
  MovePlayer(V(0, 0, 8), V(1, 0, 5));
  EXPECT_NEAR(playerPos.x, 1.0f, 0.001f);
  EXPECT_NEAR(playerPos.z, 9.8f, 0.001f);
  MovePlayer(V(0, 0, 12), V(0, 0, -5));
  EXPECT_FLOAT_EQ(playerPos.z, 7.0f);
}

TEST_F(SlideTest, PushingIntoACornerNeverPassesEitherWall) {
  wt::AddWallFacingMinusZ(-10, 10, -1, 5, 10.0f);
  // A second wall in the plane x = 2 facing -x.
  wt::AddTriangle(V(2, -1, 0), V(2, 5, 20), V(2, 5, 0));
  wt::AddTriangle(V(2, -1, 0), V(2, -1, 20), V(2, 5, 20));
  GenerateLevelFromMesh();
  playerPos = V(0, 0, 8);
  for (int step = 0; step < 20; ++step) {
    MovePlayer(playerPos, V(0.7f, 0, 0.9f));
    EXPECT_LT(playerPos.x, 1.8f);
    EXPECT_LT(playerPos.z, 9.8f);
  }
  EXPECT_NEAR(playerPos.x, 1.8f, 0.01f);
  EXPECT_NEAR(playerPos.z, 9.8f, 0.01f);
}

TEST_F(SlideTest, GravityStepNeverSlidesDownASlope) {
  // A 45 degree slope rising along +x.
  wt::AddTriangle(V(0, 0, -5), V(0, 0, 5), V(10, 10, 5));
  wt::AddTriangle(V(0, 0, -5), V(10, 10, 5), V(10, 10, -5));
  GenerateLevelFromMesh();
  MovePlayer(V(5, 6, 0), V(0, 0, 0), V(0, -3, 0));
  EXPECT_FLOAT_EQ(playerPos.x, 5.0f);
  EXPECT_GT(playerPos.y, 5.0f);
  EXPECT_LT(playerPos.y, 6.0f);
}

TEST_F(SlideTest, MovingParallelInsideAPlaneIsStoppedOnlyByCornersAndEdges) {
  wt::AddFloor(-50, -50, 50, 50, 0.0f);
  GenerateLevelFromMesh();
  // Centre 0.3 above the floor: embedded (closer than one radius) yet free to move.
  // (Away from the floor's diagonal edge.)
  MovePlayer(V(0, 0.3f - 0.6f, 20), V(3, 0, 0));
  EXPECT_FLOAT_EQ(playerPos.x, 3.0f);
  // A floor ending at x = 2: its edge stops the embedded body.
  wt::ResetLevel();
  wt::AddFloor(-50, -50, 2, 50, 0.0f);
  GenerateLevelFromMesh();
  MovePlayer(V(0, 0.3f - 0.6f, 20), V(3, 0, 0));
  EXPECT_LT(playerPos.x, 3.0f);
}

TEST_F(SlideTest, LowestRootIgnoresBothBounds) {
  float r = -1;
  EXPECT_EQ(getLowestRoot(1, -1, 0, 1, &r), 0);  // roots 0 and 1
  EXPECT_EQ(getLowestRoot(1, -1, 0, 2, &r), 1);
  EXPECT_FLOAT_EQ(r, 1.0f);
  EXPECT_EQ(getLowestRoot(1, -3, 2, 5, &r), 1);  // roots 1 and 2
  EXPECT_FLOAT_EQ(r, 1.0f);
  EXPECT_EQ(getLowestRoot(1, 0, 1, 5, &r), 0);   // no real root
  EXPECT_EQ(getLowestRoot(0, 1, -1, 5, &r), 0);  // no square term
}

TEST_F(SlideTest, CylindersOfOtherBodiesStopTheMoverUnlessTheyDoNotCount) {
  human_being* post = wt::AddBody(V(3, 0.6f, 0), 0.3f, 0.6f, 0.5f);
  MovePlayer(V(0, 0, 0), V(5, 0, 0));
  EXPECT_NEAR(playerPos.x, 2.5f, 0.001f);
  EXPECT_EQ(gHitPerson, post);

  post->mdl->cradius = 0.0f;  // no cylinder: not an obstacle
  MovePlayer(V(0, 0, 0), V(5, 0, 0));
  EXPECT_FLOAT_EQ(playerPos.x, 5.0f);
  post->mdl->cradius = 0.3f;
  post->mdl->parallelepipedShape = 1;
  MovePlayer(V(0, 0, 0), V(5, 0, 0));
  EXPECT_FLOAT_EQ(playerPos.x, 5.0f);
  post->mdl->parallelepipedShape = 0;

  // An object of type 2 walks through bodies and the player, but not through the level.
  playerPos = V(6, 0, 0);
  human_being* ghost = wt::AddBody(V(0, 0.6f, 0), 0.3f, 0.6f, 0.5f);
  ghost->objectType = 2;
  CollisionPacket packet{};
  collideAndSlide(ghost, V(8, 0, 0), V(0, 0, 0), &packet);
  EXPECT_FLOAT_EQ(ghost->xpos, 8.0f);
  wt::AddWallFacingMinusZ(-20, 20, -5, 5, 1.0f);
  GenerateLevelFromMesh();
  collideAndSlide(ghost, V(0, 0, 3), V(0, 0, 0), &packet);
  EXPECT_LT(ghost->zpos, 1.0f);

  // An ordinary object is stopped by the player's cylinder; gHitPerson names the player.
  human_being* walker = wt::AddBody(V(6, 0.6f, -3), 0.3f, 0.6f, 0.5f);
  gHitPerson = walker;
  collideAndSlide(walker, V(0, 0, 3.0f), V(0, 0, 0), &packet);
  EXPECT_NEAR(walker->zpos, -0.5f, 0.001f);
  EXPECT_EQ(gHitPerson, nullptr) << (gHitPerson == walker ? "walker" : gHitPerson == post ? "post" : "other");
}

TEST_F(SlideTest, TreeFilteredSearchFindsTheSameContactAsEveryTriangle) {
  wt::AddRandomTriangles(3000, 40.0f, 2.0f, 3);
  GenerateLevelFromMesh();
  std::mt19937 rng(9);
  std::uniform_real_distribution<float> pos(0.0f, 40.0f), step(-3.0f, 3.0f);
  int contacts = 0;
  for (int q = 0; q < 300; ++q) {
    CollisionPacket a{}, b{};
    a.eRadius = b.eRadius = V(0.5f, 1.0f, 0.5f);
    a.basePoint = b.basePoint = V(pos(rng) / 0.5f, pos(rng), pos(rng) / 0.5f);
    a.velocity = b.velocity = V(step(rng), step(rng), step(rng));
    a.normalizedVelocity = b.normalizedVelocity = V(a.velocity.x, a.velocity.y, a.velocity.z);
    Normalize(&a.normalizedVelocity);
    b.normalizedVelocity = a.normalizedVelocity;
    a.collObject = b.collObject = nullptr;
    checkCollision(&a);
    for (level_triangle* t = baseLT.next; t; t = t->next) checkTriangle(&b, t);
    ASSERT_EQ(a.foundCollision, b.foundCollision) << "sweep " << q;
    if (a.foundCollision) {
      ++contacts;
      EXPECT_EQ(a.nearestDistance, b.nearestDistance);
      EXPECT_EQ(a.intersectionPoint.x, b.intersectionPoint.x);
    }
  }
  EXPECT_GT(contacts, 30);
}

TEST_F(SlideTest, SweepsNearTheLastOneMatchEveryTriangleAcrossRadiiAndRebuilds) {
  // A body creeping through a cluttered level asks about nearly the same place again and
  // again; the answers must stay those of a search over every triangle when the radii change
  // and when the level is rebuilt between two queries.
  wt::AddRandomTriangles(2000, 20.0f, 1.5f, 6);
  GenerateLevelFromMesh();
  std::mt19937 rng(12);
  std::uniform_real_distribution<float> step(-0.15f, 0.15f);
  const vector_type radii[2] = {V(0.5f, 1.0f, 0.5f), V(0.3f, 0.6f, 0.3f)};
  vector_type world = V(10, 10, 10);
  int contacts = 0;
  for (int q = 0; q < 400; ++q) {
    if (q == 220) {
      // A new triangle right on the path, then the rebuild that every change is followed by.
      wt::AddTriangle(V(world.x - 2, world.y, world.z - 2), V(world.x - 2, world.y, world.z + 2),
                      V(world.x + 2, world.y, world.z));
      GenerateLevelFromMesh();
    }
    CollisionPacket a{}, b{};
    a.eRadius = b.eRadius = radii[(q / 50) % 2];
    world = V(world.x + step(rng), world.y + step(rng), world.z + step(rng));
    a.basePoint = b.basePoint = V(world.x / a.eRadius.x, world.y / a.eRadius.y, world.z / a.eRadius.z);
    a.velocity = b.velocity = V(step(rng), step(rng) - 0.05f, step(rng));
    a.normalizedVelocity = a.velocity;
    Normalize(&a.normalizedVelocity);
    b.normalizedVelocity = a.normalizedVelocity;
    checkCollision(&a);
    for (level_triangle* t = baseLT.next; t; t = t->next) checkTriangle(&b, t);
    ASSERT_EQ(a.foundCollision, b.foundCollision) << "sweep " << q;
    if (a.foundCollision) {
      ++contacts;
      EXPECT_EQ(a.nearestDistance, b.nearestDistance) << "sweep " << q;
      EXPECT_EQ(a.intersectionPoint.y, b.intersectionPoint.y) << "sweep " << q;
    }
  }
  EXPECT_GT(contacts, 40);
}

TEST_F(SlideTest, TrianglesWithCornersThatAreNoPointsNeverHideTheOthers) {
  // A script can place a vertex at "nan" or "inf"; such triangles never stop a body, and the
  // floor triangles among them still do.
  const float nan = std::nanf(""), inf = INFINITY;
  wt::AddFloorGrid(8, 1.0f, 0.0f);
  for (int z = 0; z < 8; ++z)
    for (int x = 0; x < 8; ++x) wt::AddTriangle(V(x + 0.6f, 0, z + 0.1f), V(x + 0.9f, 0, z + 0.1f), V(x + 0.7f, nan, z + 0.4f));
  wt::AddTriangle(V(2, inf, 2), V(3, 0, 2), V(2, 0, 3));
  GenerateLevelFromMesh();
  for (int x = 0; x < 8; ++x)
    for (int z = 0; z < 8; ++z) {
      MovePlayer(V(x + 0.5f, 1.0f, z + 0.5f), V(0, 0, 0), V(0, -3.0f, 0));
      EXPECT_NEAR(playerPos.y, 0.0f, 0.001f) << x << "," << z;
    }
}

}  // namespace
