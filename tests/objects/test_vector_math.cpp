// The numeric toolkit: angle wrapping, the plane-by-plane rotations, axis rotation, Euler
// angles against GL's own rotation matrix, directions to angles, the perpendicular foot,
// and the random generator's sequence.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "objects/vector_math.h"
#include "support/test_support.h"

namespace {
void ExpectNear(vector_type v, float x, float y, float z, float eps = 1e-5f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}
}  // namespace

TEST(VectorMath, GetCorrectDegreeWrapsIntoPlusMinus180) {
  EXPECT_FLOAT_EQ(GetCorrectDegree(540), 180);
  EXPECT_FLOAT_EQ(GetCorrectDegree(-190), 170);
  EXPECT_FLOAT_EQ(GetCorrectDegree(180), 180);
  EXPECT_FLOAT_EQ(GetCorrectDegree(-180), -180);
  EXPECT_FLOAT_EQ(GetCorrectDegree(725), 5);
  EXPECT_FLOAT_EQ(GetCorrectDegree(INFINITY), 0);
}

TEST(VectorMath, ProductsLengthsAndNormalize) {
  vector_type a = {1, 2, 3}, b = {4, 5, 6};
  EXPECT_DOUBLE_EQ(DotProduct(a, b), 32);
  ExpectNear(CrossProduct(a, b), -3, 6, -3);
  EXPECT_FLOAT_EQ(vectorDistance(a, b), std::sqrt(27.0f));
  vector_type zero = {0, 0, 0};
  Normalize(&zero);
  ExpectNear(zero, 0, 0, 0);
  ExpectNear(GetNormalOfTrig({0, 0, 0}, {1, 0, 0}, {0, 0, -1}), 0, 1, 0);
  plane_type p = planeFromTrig({0, 1, 0}, {5, 2, 7});
  EXPECT_FLOAT_EQ(p.d, 2);
}

TEST(VectorMath, RotateVectorTurnsAboutYThenTheOtherWayAboutZ) {
  ExpectNear(RotateVector({0, 0, 1}, {0, 0, 0}, 0, 90, 0), 1, 0, 0);
  ExpectNear(RotateVector({1, 0, 0}, {0, 0, 0}, 0, 0, 90), 0, 1, 0);
  ExpectNear(RotateVector({0, 1, 0}, {0, 0, 0}, 90, 0, 0), 0, 0, 1);
  // About a centre, and a point on the centre stays.
  ExpectNear(RotateVector({2, 5, 4}, {2, 5, 3}, 0, 90, 0), 3, 5, 3);
  ExpectNear(RotateVector({1, 1, 1}, {1, 1, 1}, 30, 40, 50), 1, 1, 1);
  // Offsets on the negative side keep their length and turn the same way.
  ExpectNear(RotateVector({-1, 0, 0}, {0, 0, 0}, 0, 90, 0), 0, 0, 1);
  ExpectNear(RotateVector({1, 0, 0}, {0, 0, 0}, 0, 90, 0), 0, 0, -1);
}

TEST(VectorMath, RotatePointAndRotSet) {
  fpoint p = RotatePoint({1, 0}, {0, 0}, 90);
  EXPECT_NEAR(p.h, 0, 1e-6);
  EXPECT_NEAR(p.v, -1, 1e-6);
  vector_type out;
  vector_RotSet(&out, 1, 0, 0, 10, 20, 30, 0, 90, 0);
  ExpectNear(out, 10, 20, 29);
  vector_RotSet(&out, 1, 0, 0, 0, 0, 0, 0, 0, 90);
  ExpectNear(out, 0, 1, 0);
}

TEST(VectorMath, RotateVectorArbitraryIsRightHandedAboutTheAxis) {
  ExpectNear(RotateVectorArbitrary({0, 0, 1}, {0, 0, 0}, 0, 1, 0, 90), 1, 0, 0);
  ExpectNear(RotateVectorArbitrary({1, 0, 0}, {0, 0, 0}, 0, 0, 1, 90), 0, 1, 0);
  ExpectNear(RotateVectorArbitrary({0, 1, 0}, {0, 0, 0}, 1, 0, 0, 90), 0, 0, 1);
  // 120 degrees about the diagonal cycles the axes.
  ExpectNear(RotateVectorArbitrary({1, 0, 0}, {0, 0, 0}, 1, 1, 1, 120), 0, 1, 0, 1e-5f);
  ExpectNear(RotateVectorArbitrary({3, 2, 2}, {2, 2, 2}, 0, 1, 0, 90), 2, 2, 1);
}

TEST(VectorMath, EularAnglesRebuildGlsRotationMatrix) {
  zt::HeadlessGL gl;
  ASSERT_TRUE(gl.ok());
  const float cases[][4] = {{30, 1, 0, 0},  {-45, 0, 1, 0}, {70, 0, 0, 1},   {50, 1, 2, 3},
                            {-120, 3, -1, 2}, {10, 0.2f, 1, 0.1f}, {200, 1, 1, 0}, {0, 1, 0, 0}};
  for (const auto& c : cases) {
    // acos near 1 loses about 1e-3 degrees from the float matrix.
    vector_type e = GetEularAngles(c[0], c[1], c[2], c[3]);
    GLfloat want[16], got[16];
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(c[0], c[1], c[2], c[3]);
    glGetFloatv(GL_MODELVIEW_MATRIX, want);
    glLoadIdentity();
    glRotatef(e.z, 0, 0, 1);
    glRotatef(e.y, 0, 1, 0);
    glRotatef(e.x, 1, 0, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, got);
    for (int i = 0; i < 16; i++) EXPECT_NEAR(got[i], want[i], 1e-3) << "angle " << c[0] << " element " << i;
  }
}

TEST(VectorMath, DirToAnglesPointsPlusZAlongTheDirection) {
  float x, y, z;
  DirToAngles({1, 0, 0}, &x, &y, &z);
  EXPECT_NEAR(y, 90, 1e-4);
  EXPECT_NEAR(x, 0, 1e-4);
  DirToAngles({-1, 0, 1}, &x, &y, &z);
  EXPECT_NEAR(y, -45, 1e-4);
  DirToAngles({0, 1, 1}, &x, &y, &z);
  EXPECT_NEAR(y, 0, 1e-4);
  EXPECT_NEAR(x, -45, 1e-4);
  EXPECT_EQ(z, 0);
}

TEST(VectorMath, PerpendicularFootMustLieOnTheSegment) {
  vector_type a = {0, 0, 0}, b = {2, 0, 0}, foot = {9, 9, 9};
  vector_type p = {1, 5, 0};
  EXPECT_EQ(PointOnLinePerpendicularToPoint(&p, &a, &b, &foot), 1);
  ExpectNear(foot, 1, 0, 0);
  vector_type atEnd = {2, 3, 0};
  EXPECT_EQ(PointOnLinePerpendicularToPoint(&atEnd, &a, &b, &foot), 1);
  ExpectNear(foot, 2, 0, 0);
  vector_type beyond = {2.001f, 3, 0};
  foot = {9, 9, 9};
  EXPECT_EQ(PointOnLinePerpendicularToPoint(&beyond, &a, &b, &foot), 0);
  ExpectNear(foot, 9, 9, 9);
  EXPECT_EQ(PointOnLinePerpendicularToPoint(&p, &a, &a, &foot), 0);  // zero-length segment
  ExpectNear(foot, 9, 9, 9);
}

TEST(Random, SequenceFromSeedZero) {
  EXPECT_EQ(RANROT_init(0), 0xFFFFFFFFu);
  EXPECT_EQ(gRANROT_m_low, 0u);
  // Worked by hand: high = (high >> 16, sign kept) + (high << 16) + low; low += high.
  EXPECT_EQ(RANROT_rand(), 0xFFFEFFFFu);
  EXPECT_EQ(gRANROT_m_low, 0xFFFEFFFFu);
  EXPECT_EQ(RANROT_rand(), 0xFFFDFFFDu);
  EXPECT_EQ(gRANROT_m_low, 0xFFFCFFFCu);
  EXPECT_EQ(MyRandom(), static_cast<int>(0xFFF9FFF9u));
  EXPECT_EQ(gRANROT_m_low, 0xFFF6FFF5u);
}
