// Segment queries: box entry, out-codes, triangle crossing rules, the level query's nearest
// hit, ties and distance bound, a cross-check against walking the whole list, and the
// projection of points to pixels.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <random>

#include "support/level_builder.h"
#include "support/test_support.h"
#include "world/level_mesh.h"
#include "world/line_queries.h"

using wt::V;

namespace {

class LineQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wt::ResetLevel(2);
    vecDistance = 65535.0f;
  }
  void TearDown() override { FreeLevelGeometry(); }
};

TEST(SegmentBox, EndInsideIsTheEntryPointAndFacesAreTriedOnTheStartSide) {
  vector_type I;
  EXPECT_EQ(collide_linesegment_boundingbox(V(0, 0, 0), V(1, 1, 1), V(0.5f, 0.5f, 0.5f), V(5, 5, 5), &I), 1);
  EXPECT_FLOAT_EQ(I.x, 0.5f);
  EXPECT_EQ(collide_linesegment_boundingbox(V(0, 0, 0), V(1, 1, 1), V(5, 5, 5), V(1, 1, 1), &I), 1);
  EXPECT_FLOAT_EQ(I.y, 1.0f);
  EXPECT_EQ(collide_linesegment_boundingbox(V(0, 0, 0), V(1, 1, 1), V(-1, 0.5f, 0.5f), V(3, 0.5f, 0.5f), &I), 1);
  EXPECT_FLOAT_EQ(I.x, 0.0f);
  EXPECT_FLOAT_EQ(I.z, 0.5f);
  EXPECT_EQ(collide_linesegment_boundingbox(V(0, 0, 0), V(1, 1, 1), V(0.5f, 0.5f, 3), V(0.5f, 0.5f, -3), &I), 1);
  EXPECT_FLOAT_EQ(I.z, 1.0f);
  // Both beyond the same face; and a segment passing beside the box.
  EXPECT_EQ(collide_linesegment_boundingbox(V(0, 0, 0), V(1, 1, 1), V(2, 0, 0), V(3, 5, 5), &I), 0);
  EXPECT_EQ(collide_linesegment_boundingbox(V(0, 0, 0), V(1, 1, 1), V(-1, 3, 0.5f), V(3, 2, 0.5f), &I), 0);
}

TEST(SegmentBox, OutCodeBits) {
  EXPECT_EQ(calc_outcode(V(0, 0, 0), V(1, 1, 1), V(2, 0.5f, 0.5f)), 0x01u);
  EXPECT_EQ(calc_outcode(V(0, 0, 0), V(1, 1, 1), V(-1, 2, 0.5f)), 0x06u);
  EXPECT_EQ(calc_outcode(V(0, 0, 0), V(1, 1, 1), V(0.5f, -1, -1)), 0x18u);
  EXPECT_EQ(calc_outcode(V(0, 0, 0), V(1, 1, 1), V(0.5f, 0.5f, 2)), 0x20u);
  EXPECT_EQ(calc_outcode(V(0, 0, 0), V(1, 1, 1), V(1, 0, 1)), 0u);
}

TEST(SegmentTriangle, CrossingRulesAndTheParallelogramHalf) {
  const vector_type tri[3] = {V(0, 0, 0), V(1, 0, 0), V(0, 0, 1)};
  vector_type I;
  vector_type a = V(0.2f, 0, 0.2f), b = V(0.2f, -1, 0.2f), c = V(0.2f, 1, 0.2f);
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &c, &b, &I), 1);
  EXPECT_FLOAT_EQ(I.y, 0.0f);
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &a, &b, &I), 1);  // starts on the plane
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &c, &a, &I), 1);  // ends on it
  vector_type inPlaneA = V(-1, 0, 0.2f), inPlaneB = V(2, 0, 0.2f);
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &inPlaneA, &inPlaneB, &I), 0);
  vector_type edgeA = V(0.5f, 1, 0.5f), edgeB = V(0.5f, -1, 0.5f);  // on the hypotenuse
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &edgeA, &edgeB, &I), 1);
  vector_type halfA = V(0.8f, 1, 0.8f), halfB = V(0.8f, -1, 0.8f);
  s1 = s2 = s3 = -7.0f;
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &halfA, &halfB, nullptr), 2);
  EXPECT_FLOAT_EQ(s1, 0.8f);  // without an out point the crossing goes to s1..s3
  EXPECT_FLOAT_EQ(s2, 0.0f);
  vector_type missA = V(1.2f, 1, 0.2f), missB = V(1.2f, -1, 0.2f);
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &missA, &missB, &I), 0);
  vector_type shortA = V(0.2f, 1, 0.2f), shortB = V(0.2f, 0.5f, 0.2f);
  EXPECT_EQ(LineSegmentCollidesWithTriangle(tri, &shortA, &shortB, &I), 0);
  const vector_type flat[3] = {V(0, 0, 0), V(1, 0, 0), V(2, 0, 0)};
  EXPECT_EQ(LineSegmentCollidesWithTriangle(flat, &c, &b, &I), 0);
}

TEST_F(LineQueryTest, NearestHitWinsAndFillsTheResults) {
  wt::AddFloor(-5, -5, 5, 5, 0);
  level_triangle* upper = wt::AddTriangle(V(-1, 2, -1), V(-1, 2, 1), V(1, 2, 0), 1);
  GenerateLevelFromMesh();
  vector_type X;
  EXPECT_EQ(CollideLineSegmentWorld(V(0, 5, 0), V(0, -5, 0), &X), 1);
  EXPECT_FLOAT_EQ(X.y, 2.0f);
  EXPECT_FLOAT_EQ(gCollisionPoint.y, 2.0f);
  EXPECT_EQ(gCollisionMaterial, 1);
  EXPECT_FLOAT_EQ(gCollisionNormal.y, upper->normal.y);
  EXPECT_FLOAT_EQ(vecDistance, 3.0f);
  // Farther than the bound: still a hit, results unchanged.
  EXPECT_EQ(CollideLineSegmentWorld(V(3, 5, 3), V(3, -5, 3), &X), 1);
  EXPECT_FLOAT_EQ(gCollisionPoint.y, 2.0f);
  EXPECT_FLOAT_EQ(vecDistance, 3.0f);
  EXPECT_EQ(CollideLineSegmentWorld(V(30, 5, 3), V(30, -5, 3), &X), 0);
}

TEST_F(LineQueryTest, EqualDistancesPickTheTriangleFirstInTheList) {
  for (int m = 0; m < 3; ++m) wt::AddTriangle(V(-1, 0, -1), V(-1, 0, 1), V(1, 0, 0), m);
  GenerateLevelFromMesh();
  vector_type X;
  ASSERT_EQ(CollideLineSegmentWorld(V(0, 1, 0), V(0, -1, 0), &X), 1);
  EXPECT_EQ(gCollisionMaterial, baseLT.next->meshworkMaterial);
}

TEST_F(LineQueryTest, EqualDistancesInManyLeavesPickTheTriangleFirstInTheList) {
  // Forty copies of one triangle fill several leaves among other triangles; the nearest-first
  // walk must still reach every copy and keep the earliest in the list.
  wt::ResetLevel(40);
  wt::AddRandomTriangles(3000, 20.0f, 1.0f, 2);
  for (int m = 0; m < 40; ++m) wt::AddTriangle(V(9, 30, 9), V(9, 30, 11), V(11, 30, 10), (m * 7) % 41);
  GenerateLevelFromMesh();
  int firstCopy = -1;
  for (level_triangle* t = baseLT.next; t && firstCopy < 0; t = t->next)
    if (t->vertexPtrs[0]->pos.y == 30.0f) firstCopy = t->meshworkMaterial;
  vector_type X;
  ASSERT_EQ(CollideLineSegmentWorld(V(10, 40, 10), V(10, -5, 10), &X), 1);
  EXPECT_FLOAT_EQ(X.y, 30.0f);
  EXPECT_EQ(gCollisionMaterial, firstCopy);
}

TEST_F(LineQueryTest, TreeQueryMatchesAWalkOfTheWholeList) {
  wt::AddRandomTriangles(4000, 50.0f, 3.0f, 11);
  GenerateLevelFromMesh();
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> pos(-5.0f, 55.0f);
  int hits = 0;
  for (int q = 0; q < 300; ++q) {
    vector_type a = V(pos(rng), pos(rng), pos(rng)), b = V(pos(rng), pos(rng), pos(rng));
    // The list walk: every triangle in list order whose box the segment meets.
    int expectHit = 0;
    float best = 65535.0f;
    level_triangle* bestT = nullptr;
    vector_type scratch;
    for (level_triangle* t = baseLT.next; t; t = t->next) {
      if (!collide_linesegment_boundingbox(t->boundingBox.min, t->boundingBox.max, a, b, &scratch)) continue;
      vector_type X;
      if (LineSegmentCollidesWithTriangle(TriangleCollPlane(t), &a, &b, &X) != 1) continue;
      expectHit = 1;
      float d = vectorDistance(a, X);
      if (d < best) best = d, bestT = t;
    }
    vecDistance = 65535.0f;
    vector_type X;
    ASSERT_EQ(CollideLineSegmentWorld(a, b, &X), expectHit) << "query " << q;
    if (bestT) {
      ++hits;
      EXPECT_EQ(vecDistance, best);
      EXPECT_EQ(gCollisionNormal.x, bestT->normal.x);
    }
  }
  EXPECT_GT(hits, 50);
}

TEST(ScreenProjection, TopLeftIsOriginBottomLeftIsHeight) {
  zt::HeadlessGL gl(64, 48);
  ASSERT_TRUE(gl.ok());
  glViewport(0, 0, 64, 48);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 64, 0, 48, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  int h = -1, v = -1;
  GetScreenCoordFrom3DPoint(V(0, 48, 0), &h, &v);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(v, 0);
  GetScreenCoordFrom3DPoint(V(0, 0, 0), &h, &v);
  EXPECT_EQ(v, 48);
  GetScreenCoordFrom3DPoint(V(10.7f, 39.5f, 0), &h, &v);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(v, 8);
}

}  // namespace
