// Skeleton animation: timelines started from animations (shifts and marks), morph and set
// interpolation, looping, CPU posing against the GL matrix stack, world boxes and bone codes.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "model_test_helpers.h"
#include "models/skeleton.h"
#include "shell/timed_tasks.h"
#include "support/test_support.h"

namespace {

// Three bones: 1 and 3 hang from the root, 2 from 1. One vertex per bone.
zmw::Model ThreeBones(std::vector<zmw::Animation> animations) {
  zmw::Model m;
  m.author = m.date = "";
  m.bones = {{"one", 0, 1}, {"two", 1, 2}, {"three", 2, 1}};
  m.vertices = {{1, 0, 0, 1}, {2, 0, 0, 2}, {0, 0, 3, 3}};
  m.animations = std::move(animations);
  return m;
}

zmw::Animation Anim(const char* name, std::vector<zmw::Instruction> instructions) {
  zmw::Animation a;
  a.name = name;
  a.instructions = std::move(instructions);
  return a;
}

struct Loaded {
  zntlmdl* mdl;
  explicit Loaded(const zmw::Model& m) : mdl(mt::Load(m)) {}
  ~Loaded() { Dispose_Zyntrel_Mdl(mdl); }
  zntlbone& bone(int i) { return mdl->bones[i]; }
  void start(int anim, int32_t shift, uint32_t now) {
    gCurrentTime = now;
    ScanAnimationForBoneTimelines(mdl, &mdl->animations[anim], shift);
  }
};

TEST(Skeleton, MorphInterpolatesAndStopsBeforeItsEnd) {
  Loaded l(ThreeBones({Anim("Turn", {{0, 1, "morph=1,0,0,0,0,90,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.start(0, 0, 0);
  UpdateModelBones(l.mdl, 500);
  EXPECT_FLOAT_EQ(l.bone(1).yang, 45.0f);
  UpdateModelBones(l.mdl, 980);
  float last = l.bone(1).yang;
  EXPECT_NEAR(last, 88.2f, 1e-3);
  // The window is open at both ends: the bone stays where the last tick inside left it.
  UpdateModelBones(l.mdl, 1000);
  UpdateModelBones(l.mdl, 1500);
  EXPECT_FLOAT_EQ(l.bone(1).yang, last);
  EXPECT_FLOAT_EQ(l.bone(2).yang, 0.0f);
}

TEST(Skeleton, AnglesTakeTheShorterWayAndOffsetsInterpolate) {
  Loaded l(ThreeBones({Anim("Wrap", {{0, 0, "set=1,0,0,0,0,170,0"}, {0, 1, "morph=1,2,0,-4,0,-170,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.start(0, 0, 0);
  UpdateModelBones(l.mdl, 0);
  EXPECT_FLOAT_EQ(l.bone(1).yang, 170.0f);
  UpdateModelBones(l.mdl, 250);
  EXPECT_FLOAT_EQ(l.bone(1).yang, 175.0f);
  EXPECT_FLOAT_EQ(l.bone(1).xmod, 0.5f);
  EXPECT_FLOAT_EQ(l.bone(1).zmod, -1.0f);
  UpdateModelBones(l.mdl, 750);
  EXPECT_FLOAT_EQ(l.bone(1).yang, -175.0f);
}

TEST(Skeleton, SecondMorphStartsWhereTheFirstLeftTheBone) {
  Loaded l(ThreeBones({Anim("Two", {{0, 1, "morph=1,0,0,0,90,0,0"}, {1, 2, "morph=1,0,0,0,0,0,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.start(0, 0, 0);
  UpdateModelBones(l.mdl, 900);
  EXPECT_FLOAT_EQ(l.bone(1).xang, 81.0f);
  UpdateModelBones(l.mdl, 1500);
  EXPECT_FLOAT_EQ(l.bone(1).xang, 40.5f);
}

TEST(Skeleton, SetAppliesOnceUntilTheTimelineLoops) {
  Loaded l(ThreeBones({Anim("Set", {{0, 0, "set=3,1,2,3,4,5,6"}, {0, 1, "morph=1,0,0,0,0,0,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.start(0, 0, 100);
  UpdateModelBones(l.mdl, 100);  // at once at the start
  EXPECT_FLOAT_EQ(l.bone(3).zang, 6.0f);
  EXPECT_FLOAT_EQ(l.bone(3).xmod, 1.0f);
  l.bone(3).zang = 0.0f;
  UpdateModelBones(l.mdl, 200);
  EXPECT_FLOAT_EQ(l.bone(3).zang, 0.0f);
}

TEST(Skeleton, LoopingTimelineShiftsByWholeDurationsAndRearms) {
  Loaded l(ThreeBones({Anim("Loop", {{0, 1, "morph=1,0,0,0,0,90,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.mdl->animations[0].looping = 1;
  l.start(0, 0, 0);
  UpdateModelBones(l.mdl, 500);
  UpdateModelBones(l.mdl, 2500);
  const zntlbonetimeline& tl = l.mdl->timelines[1];
  EXPECT_EQ(tl.start, 2000u);
  EXPECT_EQ(tl.end, 3000u);
  EXPECT_EQ(tl.instructions[0].startTime, 2000u);
  EXPECT_EQ(tl.instructions[0].endTime, 3000u);
  EXPECT_EQ(tl.instructions[0].numExecutions, 0u);
  // Re-armed: the next tick captures the bone afresh (45 now) and heads for 90 again.
  UpdateModelBones(l.mdl, 2500);
  EXPECT_FLOAT_EQ(l.bone(1).yang, 45.0f + 0.5f * 45.0f);
}

TEST(Skeleton, ZeroLengthLoopDoesNotDivide) {
  Loaded l(ThreeBones({Anim("Flat", {{0, 0, "set=1,0,0,0,0,30,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.mdl->animations[0].looping = 1;
  l.start(0, 0, 0);
  UpdateModelBones(l.mdl, 5000);
  EXPECT_FLOAT_EQ(l.bone(1).yang, 30.0f);
  EXPECT_EQ(l.mdl->timelines[1].start, 0u);
}

TEST(Skeleton, NewAnimationTakesOnlyTheBonesItNames) {
  Loaded l(ThreeBones({Anim("A", {{0, 1, "morph=1,0,0,0,90,0,0"}, {0, 1, "morph=3,0,0,0,90,0,0"}}),
                       Anim("B", {{0, 1, "morph=1,0,0,0,0,90,0"}, {0, 1, "morph=2,0,0,0,0,90,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.start(0, 0, 0);
  l.start(1, 0, 0);
  EXPECT_EQ(l.mdl->timelines[1].whichAnimation, &l.mdl->animations[1]);
  EXPECT_EQ(l.mdl->timelines[2].whichAnimation, &l.mdl->animations[1]);
  EXPECT_EQ(l.mdl->timelines[3].whichAnimation, &l.mdl->animations[0]);
  EXPECT_EQ(l.mdl->timelines[1].numInstructions, 1);
  UpdateModelBones(l.mdl, 500);
  EXPECT_FLOAT_EQ(l.bone(1).xang, 0.0f);
  EXPECT_FLOAT_EQ(l.bone(1).yang, 45.0f);
  EXPECT_FLOAT_EQ(l.bone(3).xang, 45.0f);
  // Starting the same animation again restarts it rather than adding copies.
  l.start(1, 0, 500);
  EXPECT_EQ(l.mdl->timelines[1].numInstructions, 1);
  EXPECT_EQ(l.mdl->timelines[1].start, 500u);
}

TEST(Skeleton, PositiveShiftStartsInThePastAndMarksAreStartTimes) {
  Loaded l(ThreeBones({Anim("Turn", {{0, 1, "morph=1,0,0,0,0,90,0"}})}));
  ASSERT_NE(l.mdl, nullptr);
  l.start(0, 250, 1000);
  EXPECT_EQ(l.mdl->timelines[1].start, 750u);
  EXPECT_EQ(l.mdl->timelines[1].instructions[0].endTime, 1750u);
  EXPECT_EQ(l.mdl->timelines[1].duration, 1000u);

  for (uint32_t b = 0; b <= l.mdl->numBones; b++) {
    l.mdl->timelines[b].timeOffset[0] = 4000;
    l.mdl->timelines[b].timeOffset[1] = 5000;
    l.mdl->timelines[b].timeOffset[2] = 6000;
  }
  l.start(0, -1000, 9000);
  EXPECT_EQ(l.mdl->timelines[1].start, 4000u);
  l.start(0, -2000, 9000);
  EXPECT_EQ(l.mdl->timelines[1].start, 5000u);
  l.start(0, -3000, 9000);
  EXPECT_EQ(l.mdl->timelines[1].start, 6000u);
  l.start(0, -8000, 9000);  // beyond the three marks: the last one
  EXPECT_EQ(l.mdl->timelines[1].start, 6000u);
}

// Reads the GL model-view matrix after `build` ran on an identity matrix.
Mat4 GLMatrix(void (*build)()) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  build();
  Mat4 m;
  glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
  return m;
}

TEST(SkeletonPosing, MatricesEqualTheGLStack) {
  zt::HeadlessGL gl;
  if (!gl.ok()) GTEST_SKIP() << "no headless GL";
  Mat4 gm = GLMatrix([] {
    glTranslatef(1, 2, 3);
    glRotatef(30, 0, 1, 0);
    glRotatef(-50, 0, 0, 1);
    glRotatef(75, 1, 0, 0);
    glTranslatef(-0.5f, 4, 2);
  });
  Mat4 cm = Mat4Translate(ObjectTransform(1, 2, 3, 75, 30, -50), -0.5f, 4, 2);
  for (int i = 0; i < 16; i++) EXPECT_NEAR(cm.m[i], gm.m[i], 1e-5) << i;
}

TEST(SkeletonPosing, ChildBonesComposeWithTheirParents) {
  Loaded l(ThreeBones({}));
  ASSERT_NE(l.mdl, nullptr);
  // Bone 1 (pivot (1,0,0)) turns 90 about y; bone 2 (pivot (2,0,0)) hangs from it and
  // moves by (0, 1, 0) in its own frame.
  l.bone(1).yang = 90.0f;
  l.bone(2).ymod = 1.0f;
  PoseModelVertices(l.mdl);
  const float* t = l.mdl->tva;
  EXPECT_NEAR(t[0], 1.0f, 1e-5);  // vertex 0 sits on the pivot of bone 1
  EXPECT_NEAR(t[3 + 0], 1.0f, 1e-5);
  EXPECT_NEAR(t[3 + 1], 1.0f, 1e-5);
  EXPECT_NEAR(t[3 + 2], -1.0f, 1e-5);  // (2,0,0) turned about (1,0,0) by +90 about y
  EXPECT_NEAR(t[6 + 2], 3.0f, 1e-5);  // bone 3 untouched

  // tva must hold what GL would make of it.
  zt::HeadlessGL gl;
  if (!gl.ok()) return;
  Mat4 gm = GLMatrix([] {
    glTranslatef(1, 0, 0);
    glRotatef(90, 0, 1, 0);
    glTranslatef(-1, 0, 0);
    glTranslatef(2, 0, 0);
    glTranslatef(0, 1, 0);
    glTranslatef(-2, 0, 0);
  });
  vector_type p = Mat4TransformPoint(gm, {2, 0, 0});
  EXPECT_NEAR(t[3], p.x, 1e-5);
  EXPECT_NEAR(t[4], p.y, 1e-5);
  EXPECT_NEAR(t[5], p.z, 1e-5);
}

TEST(SkeletonPosing, NormalsTurnButDoNotMove) {
  zntlmdl* mdl = mt::Load(zmw::Box(2, 2, 2));
  ASSERT_NE(mdl, nullptr);
  mdl->bones[1].zang = 180.0f;
  mdl->bones[1].xmod = 5.0f;
  PoseModelVertices(mdl);
  for (int k = 0; k < 3; k++) {
    float rest = mdl->vertexNormals[k];
    float posed = mdl->tvertexNormals[k];
    EXPECT_NEAR(std::fabs(posed), std::fabs(rest), 1e-5);
  }
  EXPECT_NEAR(mdl->tvertexNormals[0], -mdl->vertexNormals[0], 1e-5);
  EXPECT_NEAR(mdl->tvertexNormals[2], mdl->vertexNormals[2], 1e-5);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(SkeletonPosing, SeamVerticesFollowTheVertexTheyCopy) {
  zmw::Model m;
  m.author = m.date = "";
  m.bones = {{"b", 0, 1}};
  for (int i = 0; i < 4; i++) m.vertices.push_back({float(i & 1), float(i >> 1), 0, 1});
  zmw::Material mat;
  mat.settings = {"texture="};
  zmw::Triangle a, b;
  a.a = 0, a.b = 1, a.c = 2;
  b.a = 2, b.b = 1, b.c = 3;
  b.u[0] = 0.5f;
  mat.triangles = {a, b};
  m.materials.push_back(mat);
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  ASSERT_EQ(mdl->numUVFixesVertices, 1u);
  mdl->bones[1].ymod = 3.0f;
  PoseModelVertices(mdl);
  for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(mdl->tva[3 * 4 + k], mdl->tva[3 * 2 + k]);
  EXPECT_FLOAT_EQ(mdl->tva[3 * 4 + 1], 4.0f);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(SkeletonPosing, WorldBoxFollowsTheObject) {
  zntlmdl* mdl = mt::Load(zmw::Box(2, 4, 2));
  ASSERT_NE(mdl, nullptr);
  PoseObjectModel2(mdl, 10, 0, 0, 0, 0, 0, 0);
  EXPECT_NEAR(mdl->newBoxMin.x, 9.0f, 1e-5);
  EXPECT_NEAR(mdl->newBoxMax.x, 11.0f, 1e-5);
  EXPECT_NEAR(mdl->newBoxMax.y, 4.0f, 1e-5);
  EXPECT_NEAR(mdl->bigBox[6].x, 11.0f, 1e-5);
  EXPECT_NEAR(mdl->bones[1].tpos.x, 9.0f, 1e-5);  // the head vertex 0 at (-1, 0, 1)
  EXPECT_FLOAT_EQ(mdl->oldBoxMax.x, 1.0f);        // the previous (rest) box
  // Faces: the first is the maximum-z face through corners 0, 1, 3.
  EXPECT_FLOAT_EQ(mdl->planes[0][0].z, mdl->bigBox[0].z);
  EXPECT_FLOAT_EQ(mdl->planes[5][2].y, mdl->bigBox[5].y);
  // Lying on its side (90 about z) the box is 4 wide and 2 high.
  PoseObjectModel2(mdl, 0, 0, 0, 0, 0, 90, 0);
  EXPECT_NEAR(mdl->newBoxMax.x - mdl->newBoxMin.x, 4.0f, 1e-5);
  EXPECT_NEAR(mdl->newBoxMax.y - mdl->newBoxMin.y, 2.0f, 1e-5);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(SkeletonPosing, DeepChainsPoseWithoutRecursion) {
  zmw::Model m;
  m.author = m.date = "";
  m.vertices.push_back({0, 0, 0, 0});
  const int n = 50000;
  for (int i = 0; i < n; i++) m.bones.push_back({"b", 0, i + 1});
  m.vertices.push_back({1, 0, 0, n});
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  for (int i = 1; i <= n; i++) mdl->bones[i].xmod = 0.001f;
  PoseModelVertices(mdl);
  EXPECT_NEAR(mdl->tva[3], 1.0f + n * 0.001f, 0.5);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(BoneCodes, IssuedInOrderWithRenamingOrReuse) {
  ClearBoneCodeTable();
  char a[256] = "Arm", b[256] = "Leg", c[256] = "Arm", d[256] = "Arm";
  EXPECT_STREQ(FindFreeBoneCodeAndAddToList(a, 0)->fourchars, "0000");
  EXPECT_STREQ(FindFreeBoneCodeAndAddToList(b, 0)->fourchars, "0001");
  boneAssignment* renamed = FindFreeBoneCodeAndAddToList(c, 0);
  EXPECT_STREQ(renamed->fourchars, "0002");
  EXPECT_STREQ(c, "Arm_");
  EXPECT_STREQ(FindFreeBoneCodeAndAddToList(d, 1)->fourchars, "0000");
  EXPECT_STREQ(d, "Arm");
  EXPECT_EQ(gNumAssignments, 3u);
  EXPECT_STREQ(boneTable[2].longName, "Arm_");
  EXPECT_STREQ(GetFourCharCodeFromBoneName("Leg"), "0001");
  EXPECT_STREQ(GetFourCharCodeFromBoneName("Tail"), "None");
  EXPECT_STREQ(GetBoneNameFromFourCharCode("0002"), "Arm_");
  EXPECT_STREQ(GetBoneNameFromFourCharCode("7777"), "7777");
  ClearBoneCodeTable();
}

TEST(BoneCodes, TableEndsAfterTenThousandCodes) {
  ClearBoneCodeTable();
  char name[256];
  for (int i = 0; i < 10000; i++) {
    std::snprintf(name, sizeof name, "bone%d", i);
    ASSERT_NE(FindFreeBoneCodeAndAddToList(name, 0), nullptr);
  }
  EXPECT_STREQ(boneTable[9999].fourchars, "9999");
  std::snprintf(name, sizeof name, "one too many");
  EXPECT_EQ(FindFreeBoneCodeAndAddToList(name, 0), nullptr);
  ClearBoneCodeTable();
}

}  // namespace
