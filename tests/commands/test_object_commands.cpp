// Object commands that select, report and place: get, player, bone, mark, axis, put, spin
// and size3D, on objects, bones, the camera, lights and groups.
#include "object_commands_fixture.h"

namespace {
using ObjectSelection = ObjectCommandsTest;
using ObjectPlacement = ObjectCommandsTest;

TEST_F(ObjectSelection, GetFindsByQuotedBareOrRegisterNameAndMarksOnlyItsEntity) {
  human_being* a = Make();
  human_being* b = Make();
  Run(znkinstr_get, "\"house1\"");
  EXPECT_EQ(selHuman, a);
  EXPECT_EQ(SelectedEntity(), GetHumanEntityNumberInGroup(&gAllEntities, a));
  Run(znkinstr_get, "house2");
  EXPECT_EQ(selHuman, b);
  ZNK_CopyString(StringRegister(1), "house1", kStringRegisterSize);
  selectionType = 2;
  Run(znkinstr_get, "");
  EXPECT_EQ(selHuman, a);
  EXPECT_EQ(selectionType, 0);
}

TEST_F(ObjectSelection, GetOfAnUnknownNameSelectsTheCamera) {
  human_being* a = Make();
  Run(znkinstr_bone, "\"body\"");
  ASSERT_NE(selBone, nullptr);
  selectionType = 1;
  Run(znkinstr_get, "\"nobody\"");
  EXPECT_EQ(selHuman, nullptr);
  EXPECT_EQ(selBone, nullptr);
  EXPECT_EQ(gSelBone, nullptr);
  EXPECT_EQ(selectionType, 0);
  EXPECT_EQ(SelectedEntity(), GetCameraEntityNumberInGroup(&gAllEntities));
  // player does the same
  selHuman = a;
  Run(znkinstr_player, "");
  EXPECT_EQ(selHuman, nullptr);
  EXPECT_EQ(SelectedEntity(), 8);
}

TEST_F(ObjectSelection, MeAndCollNameTheScriptTargetAndTheLastHitWhileTheyLive) {
  human_being* a = Make();
  human_being* b = Make();
  gHumanScriptTarget = a;
  gHitPerson = b;
  Run(znkinstr_get, "\"me\"");
  EXPECT_EQ(selHuman, a);
  Run(znkinstr_get, "\"coll\"");
  EXPECT_EQ(selHuman, b);
  // A global script has no "me"; a removed hit object is no longer "coll".
  gHumanScriptTarget = nullptr;
  Run(znkinstr_get, "me");
  EXPECT_EQ(selHuman, nullptr);
  RemoveHuman(b);
  Run(znkinstr_get, "\"coll\"");
  EXPECT_EQ(selHuman, nullptr);
}

TEST_F(ObjectSelection, GetMeInsideAnObjectsScriptSelectsThatObject) {
  Make();
  human_being* b = Make();
  dir.Write("me.txt", "player\nget \"me\"\ngetName 1\noutput \"[\"\noutput\noutput \"]\"\n");
  selHuman = b;
  zt::ConsoleCapture console;
  ZNKSetScript("me.txt", 1);
  selHuman = nullptr;
  HandleHumanScriptsForMask(1);
  EXPECT_EQ(selHuman, b);
  EXPECT_EQ(console.text(), "[house2]");
}

TEST_F(ObjectSelection, BoneByNameNoneClearsAndAnUnknownNameKeepsTheSelection) {
  Make();
  Run(znkinstr_bone, "\"body\"");
  ASSERT_NE(selBone, nullptr);
  EXPECT_STREQ(selBone->signature, "body");
  EXPECT_EQ(gSelBone, selBone);
  zntlbone* body = selBone;
  Run(znkinstr_bone, "\"tail\"");
  EXPECT_EQ(selBone, body);
  Run(znkinstr_bone, "none");
  EXPECT_EQ(selBone, nullptr);
  EXPECT_EQ(gSelBone, nullptr);
  ZNK_CopyString(StringRegister(1), "body", kStringRegisterSize);
  Run(znkinstr_bone, "");
  EXPECT_EQ(selBone, body);
  // Without an object no bone can be chosen.
  selHuman = nullptr;
  selBone = nullptr;
  Run(znkinstr_bone, "\"body\"");
  EXPECT_EQ(selBone, nullptr);
}

TEST_F(ObjectSelection, MarkWritesObjectBoneCameraLightAndGroupPositions) {
  human_being* a = Make(1, 2, 3);
  EXPECT_EQ(Echoed(znkinstr_mark, "4"), " // 1.000000, 2.000000, 3.000000");
  EXPECT_VEC(FloatRegs(4), 1, 2, 3);
  // Numbers outside 1..14 are taken as 1.
  Run(znkinstr_mark, "15");
  EXPECT_VEC(FloatRegs(1), 1, 2, 3);
  EXPECT_EQ(*FloatRegister(15), 0.0);

  Run(znkinstr_bone, "\"body\"");
  Run(znkinstr_put, "0,1,0");  // the bone's offset; its pivot follows the object
  Run(znkinstr_mark, "7");
  EXPECT_VEC(FloatRegs(7), 1 - 0.5f, 2 + 1, 3 + 0.5f);

  Run(znkinstr_player, "");
  playerPos = {5, 6, 7};
  gSelBone = selBone = &a->mdl->bones[1];  // a bone without its object counts for nothing
  Run(znkinstr_mark, "");
  EXPECT_VEC(FloatRegs(1), 5, 6, 7);

  LightPositions[2][0] = 9;
  LightPositions[2][3] = 1;
  selectedLight = 2;
  selectionType = 1;
  std::memset(&gScriptVars, 0, sizeof gScriptVars);
  EXPECT_EQ(Echoed(znkinstr_mark, "14"), "");
  EXPECT_EQ(*FloatRegister(14), 9.0);
  EXPECT_EQ(*FloatRegister(16), 0.0);  // the fourth value does not fit
  Run(znkinstr_mark, "2");
  EXPECT_EQ(*FloatRegister(5), 1.0);
}

TEST_F(ObjectSelection, AxisWritesAnglesAndTheCameraYawAsScriptsSeeIt) {
  Make();
  Run(znkinstr_spin, "10,270,-30");
  EXPECT_EQ(Echoed(znkinstr_axis, "2"), " // 10.000000, -90.000000, -30.000000");
  EXPECT_VEC(FloatRegs(2), 10, -90, -30);
  Run(znkinstr_bone, "\"body\"");
  Run(znkinstr_spin, "0,270,0");  // bone angles are kept as given
  Run(znkinstr_axis, "");
  EXPECT_VEC(FloatRegs(1), 0, 270, 0);

  Run(znkinstr_player, "");
  Run(znkinstr_spin, "0,0,0");
  EXPECT_NEAR(viewangle, 180, kTol);
  Run(znkinstr_axis, "");
  EXPECT_VEC(FloatRegs(1), 0, 0, 0);
  Run(znkinstr_spin, "20,30,200");
  EXPECT_NEAR(viewangle, 150, kTol);
  EXPECT_NEAR(zangle, -160, kTol);
  Run(znkinstr_axis, "3");
  EXPECT_VEC(FloatRegs(3), 20, 30, -160);

  selectionType = 1;  // lights have no angles
  std::memset(&gScriptVars, 0, sizeof gScriptVars);
  EXPECT_EQ(Echoed(znkinstr_axis, ""), "");
  Run(znkinstr_spin, "1,2,3");
  EXPECT_VEC(FloatRegs(1), 0, 0, 0);
  EXPECT_NEAR(updownangle, 20, kTol);
}

TEST_F(ObjectPlacement, PutMovesTheObjectAndItsCollisionBox) {
  human_being* a = Make();
  vector_type size = BoxSize(a);
  float minY = a->mdl->newBoxMin.y;
  Run(znkinstr_put, "10,1,-2");
  EXPECT_VEC(PosOf(a), 10, 1, -2);
  EXPECT_NEAR(a->mdl->newBoxMin.x, 10 - 0.5f, kTol);
  EXPECT_NEAR(a->mdl->newBoxMin.y, minY + 1, kTol);
  EXPECT_VEC(BoxSize(a), size.x, size.y, size.z);
  // From the registers.
  *FloatRegister(1) = 3;
  *FloatRegister(2) = 0;
  *FloatRegister(3) = 4;
  Run(znkinstr_put, "");
  EXPECT_VEC(PosOf(a), 3, 0, 4);
  EXPECT_NEAR(a->mdl->newBoxMin.z, 4 - 0.5f, kTol);
}

TEST_F(ObjectPlacement, PutPlacesTheCameraAndALightWithItsMemberBox) {
  Run(znkinstr_put, "1,2,3");
  EXPECT_VEC(playerPos, 1, 2, 3);
  selectionType = 1;
  selectedLight = 3;
  Run(znkinstr_put, "4,5,6,1");
  EXPECT_EQ(LightPositions[3][0], 4);
  EXPECT_EQ(LightPositions[3][3], 1);
  int member = GetLightEntityNumberInGroup(&gAllEntities, 3);
  ASSERT_GE(member, 0);
  EXPECT_VEC(gAllEntities.entities[member].boundingBox.min, 3.9f, 4.9f, 5.9f);
  EXPECT_VEC(gAllEntities.entities[member].boundingBox.max, 4.1f, 5.1f, 6.1f);
  EXPECT_VEC(playerPos, 1, 2, 3);
}

TEST_F(ObjectPlacement, GroupPutAndSpinMoveAndTurnTheMembersAboutTheCentroid) {
  human_being* a = Make(0, 0, 0);
  human_being* b = Make(2, 0, 0);
  Run(znkinstr_group, "\"pair\"");
  Run(znkinstr_groupAdd, "\"house1\"");
  Run(znkinstr_groupAdd, "\"house2\"");
  ASSERT_EQ(selectionType, 2);
  Run(znkinstr_put, "5,0,0");
  EXPECT_VEC(PosOf(a), 4, 0, 0);
  EXPECT_VEC(PosOf(b), 6, 0, 0);
  Run(znkinstr_mark, "");
  EXPECT_VEC(FloatRegs(1), 5, 0, 0);
  Run(znkinstr_spin, "0,90,0");
  EXPECT_NEAR(a->yang, 90, kTol);
  EXPECT_NEAR(b->yang, 90, kTol);
  EXPECT_NEAR(a->xpos, 5, kTol);
  EXPECT_NEAR(b->xpos, 5, kTol);
  EXPECT_NEAR(std::fabs(a->zpos - b->zpos), 2, kTol);
  EXPECT_NEAR(a->zpos + b->zpos, 0, kTol);
  Run(znkinstr_axis, "");
  EXPECT_VEC(FloatRegs(1), 0, 90, 0);
}

TEST_F(ObjectPlacement, Size3DScalesFromTheLoadedSizeAndKeepsAxesGivenAsZero) {
  human_being* a = Make(3, 0, 0);
  Run(znkinstr_size3D, "200,100,100");
  EXPECT_VEC(BoxSize(a), 2, 2, 1);
  Run(znkinstr_size3D, "200,100,100");  // a size, not a factor: no change
  EXPECT_VEC(BoxSize(a), 2, 2, 1);
  Run(znkinstr_size3D, "100,100,100");
  EXPECT_VEC(BoxSize(a), 1, 2, 1);
  Run(znkinstr_size3D, "0,150,0");
  EXPECT_VEC(BoxSize(a), 1, 3, 1);
  EXPECT_VEC(a->mdl->scalars, 1, 1.5f, 1);
  // The box stays around the object, which did not move.
  EXPECT_NEAR(a->mdl->newBoxMin.x, 3 - 0.5f, kTol);
  // Negative values keep the axis; values from the registers.
  *FloatRegister(1) = -5;
  *FloatRegister(2) = 50;
  *FloatRegister(3) = 300;
  Run(znkinstr_size3D, "");
  EXPECT_VEC(BoxSize(a), 1, 1, 3);
  // Nothing for the camera.
  Run(znkinstr_player, "");
  Run(znkinstr_size3D, "100,100,100");
  EXPECT_VEC(BoxSize(a), 1, 1, 3);
}
}  // namespace
