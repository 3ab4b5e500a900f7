// Object commands that move, copy, name and script objects: move, go, fly, ghost, clone,
// boom, level, setName, getID/getByID, type, getTeam/setTeam, script, deletescript, event.
#include "object_commands_fixture.h"

#include "models/materials.h"

namespace {
using ObjectMotionCommands = ObjectCommandsTest;
using ObjectIdentity = ObjectCommandsTest;
using ObjectScripts = ObjectCommandsTest;

TEST_F(ObjectMotionCommands, MoveWalksAlongTheHeadingWithItsBoxAndRestoresAlwaysWalk) {
  human_being* a = Make();
  a->yang = 180;
  float boxZ = a->mdl->newBoxMin.z;
  alwaysWalk = 0;
  Run(znkinstr_move, "1");
  EXPECT_VEC(PosOf(a), 0, 0, -1);
  EXPECT_NEAR(a->mdl->newBoxMin.z, boxZ - 1, kTol);
  EXPECT_EQ(alwaysWalk, 0);
  // The camera walks by its view angle; the distance may come from float register 1.
  Run(znkinstr_player, "");
  *FloatRegister(1) = 2;
  Run(znkinstr_move, "");
  EXPECT_NEAR(std::fabs(playerPos.z) + std::fabs(playerPos.x), 2, kTol);
  EXPECT_NEAR(playerPos.y, 0, kTol);
  EXPECT_VEC(PosOf(a), 0, 0, -1);
}

TEST_F(ObjectMotionCommands, GhostFliesAlongTheFacingWithoutCollision) {
  human_being* a = Make();
  a->yang = 180;
  float boxZ = a->mdl->newBoxMax.z;
  Run(znkinstr_ghost, "3");
  EXPECT_VEC(PosOf(a), 0, 0, -3);
  EXPECT_NEAR(a->mdl->newBoxMax.z, boxZ - 3, kTol);
  Run(znkinstr_ghost, "0");
  EXPECT_VEC(PosOf(a), 0, 0, -3);
  Run(znkinstr_player, "");
  Run(znkinstr_ghost, "-1");
  EXPECT_NEAR(std::fabs(playerPos.z), 1, kTol);
}

TEST_F(ObjectMotionCommands, GoAndFlyMoveTheCameraInAnEmptyWorld) {
  // Nothing to collide with: go takes its step and the gravity of the elapsed 20 ms.
  gOldTime = 100;
  gCurrentTime = 120;
  Run(znkinstr_go, "1");
  EXPECT_NEAR(std::fabs(playerPos.z), 1, 1e-2);
  EXPECT_NEAR(playerPos.y, -0.2f, 1e-2);
  vector_type before = playerPos;
  Run(znkinstr_fly, "1");
  EXPECT_NEAR(vectorDistance(before, playerPos), 1, 1e-2);
  EXPECT_NEAR(playerPos.y, before.y, 1e-2);
}

TEST_F(ObjectIdentity, CloneCopiesPlaceScaleTeamScriptsAndMaterials) {
  dir.Write("tick.txt", "loop\noutput \"t\"\nendloop\n");
  human_being* a = Make(2, 0, 5);
  a->yang = 45;
  a->team = 3;
  a->objectType = 2;
  a->isScenery = 1;
  Run(znkinstr_size3D, "200,100,100");
  Run(znkinstr_script, "\"tick\",5");
  a->mdl->materials[1].red = 0.25f;
  Run(znkinstr_clone, "");
  human_being* c = selHuman;
  ASSERT_NE(c, nullptr);
  ASSERT_NE(c, a);
  EXPECT_STREQ(c->name, "house2");
  EXPECT_VEC(PosOf(c), 2, 0, 5);
  EXPECT_EQ(c->yang, 45);
  EXPECT_EQ(c->team, 3);
  EXPECT_EQ(c->objectType, 2);
  EXPECT_EQ(c->isScenery, 1);
  EXPECT_VEC(c->mdl->scalars, 2, 1, 1);
  EXPECT_VEC(BoxSize(c), 2, 2, 1);
  EXPECT_NEAR(c->mdl->newBoxMin.x, 2 - 1, kTol);
  EXPECT_NEAR(c->mdl->materials[1].red, 0.25f, kTol);
  ASSERT_NE(c->scripts, nullptr);
  EXPECT_NE(c->scripts, a->scripts);
  EXPECT_STREQ(c->scripts->signature, "tick.txt");
  EXPECT_EQ(c->scripts->eventMask, 5);
  EXPECT_EQ(c->scripts->caller, c);
  EXPECT_EQ(c->scripts->next, nullptr);
  // Both run: the copy has its own script.
  zt::ConsoleCapture console;
  HandleHumanScriptsForMask(1);
  EXPECT_EQ(console.text(), "tt");
  // Without an object nothing is made.
  Run(znkinstr_player, "");
  Run(znkinstr_clone, "");
  EXPECT_EQ(selHuman, nullptr);
  EXPECT_EQ(gBiggestID, 2);
}

TEST_F(ObjectIdentity, GetIDAndGetByIDTakeZeroAndOneAsRegisterOne) {
  human_being* a = Make();
  human_being* b = Make();
  Run(znkinstr_getID, "0");
  EXPECT_EQ(*IntRegister(1), 1);
  selHuman = a;
  Run(znkinstr_getID, "1");
  EXPECT_EQ(*IntRegister(1), 0);
  Run(znkinstr_getByID, "0");
  EXPECT_EQ(selHuman, a);
  *IntRegister(1) = 1;
  selectionType = 2;
  Run(znkinstr_getByID, "1");
  EXPECT_EQ(selHuman, b);
  EXPECT_EQ(selectionType, 0);
  *IntRegister(4) = 0;
  Run(znkinstr_getByID, "4");
  EXPECT_EQ(selHuman, a);
  // No object bears the ID: the selection stays.
  *IntRegister(1) = 9;
  Run(znkinstr_getByID, "");
  EXPECT_EQ(selHuman, a);
}

TEST_F(ObjectIdentity, SetNameRefusesANameInUse) {
  human_being* a = Make();
  Make();
  Run(znkinstr_setName, "\"hero\"");
  EXPECT_STREQ(selHuman->name, "hero");
  Run(znkinstr_setName, "house1");
  EXPECT_STREQ(selHuman->name, "hero");
  selHuman = a;
  Run(znkinstr_setName, "villain");
  EXPECT_STREQ(a->name, "villain");
  Run(znkinstr_setName, "\"a name far longer than thirty-two characters\"");
  EXPECT_EQ(std::strlen(a->name), 32u);
  Run(znkinstr_get, "\"hero\"");
  EXPECT_STREQ(selHuman->name, "hero");
}

TEST_F(ObjectIdentity, TypeAndTeamOnObjectsAndTheCamera) {
  human_being* a = Make();
  Run(znkinstr_type, "2");
  EXPECT_EQ(a->objectType, 2);
  Run(znkinstr_setTeam, "4");
  EXPECT_EQ(Echoed(znkinstr_getTeam, "3"), " // 4");
  EXPECT_EQ(*IntRegister(3), 4);
  Run(znkinstr_player, "");
  Run(znkinstr_type, "2");
  EXPECT_EQ(gPlayerCollisions, 0);
  EXPECT_EQ(a->objectType, 2);
  *IntRegister(1) = 1;
  Run(znkinstr_type, "");
  EXPECT_EQ(gPlayerCollisions, 1);
  *IntRegister(1) = 7;
  Run(znkinstr_setTeam, "");
  EXPECT_EQ(gTeam, 7);
  EXPECT_EQ(a->team, 4);
  Run(znkinstr_getTeam, "");
  EXPECT_EQ(*IntRegister(1), 7);
}

TEST_F(ObjectScripts, ScriptAttachesWithItsMaskAndEventRunsItNow) {
  dir.Write("wave.txt", "loop\noutput \"w\"\nendloop\n");
  dir.Write("Data/Other.TXT", "loop\noutput \"o\"\nendloop\n");
  human_being* target = Make();
  human_being* a = Make();
  Run(znkinstr_script, "\"wave\",2");
  Run(znkinstr_script, "\"Data/Other.TXT\"");
  ASSERT_NE(a->scripts, nullptr);
  EXPECT_STREQ(a->scripts->signature, "wave.txt");
  EXPECT_EQ(a->scripts->eventMask, 2);
  ASSERT_NE(a->scripts->next, nullptr);
  EXPECT_STREQ(a->scripts->next->signature, "Data/Other.TXT");
  EXPECT_EQ(a->scripts->next->eventMask, 0);

  zt::ConsoleCapture console;
  HandleHumanScriptsForMask(1);
  EXPECT_EQ(console.text(), "");
  gHumanScriptTarget = target;
  Run(znkinstr_event, "2");
  EXPECT_EQ(console.text(), "w");
  EXPECT_EQ(gHumanScriptTarget, target);
  *IntRegister(1) = 6;
  Run(znkinstr_event, "");
  EXPECT_EQ(console.text(), "ww");
  gHumanScriptTarget = nullptr;
}

TEST_F(ObjectScripts, DeleteScriptRemovesTheFirstOfThatNameFromTheSelectionsList) {
  dir.Write("a.txt", "output \"a\"\n");
  dir.Write("b.txt", "output \"b\"\n");
  human_being* h = Make();
  Run(znkinstr_script, "\"a\",1");
  Run(znkinstr_script, "\"b\",1");
  Run(znkinstr_deletescript, "\"a.txt\"");
  ASSERT_NE(h->scripts, nullptr);
  EXPECT_STREQ(h->scripts->signature, "b.txt");
  EXPECT_EQ(h->scripts->next, nullptr);
  Run(znkinstr_deletescript, "\"missing.txt\"");
  EXPECT_NE(h->scripts, nullptr);
  // The camera selected: the global list.
  Run(znkinstr_player, "");
  Run(znkinstr_script, "\"a\"");
  ASSERT_NE(baseScript.next, nullptr);
  ZNK_CopyString(StringRegister(1), "a.txt", kStringRegisterSize);
  Run(znkinstr_deletescript, "");
  EXPECT_EQ(baseScript.next, nullptr);
  EXPECT_NE(h->scripts, nullptr);
}

TEST_F(ObjectScripts, AScriptThatDeletesItselfFinishesItsSlice) {
  dir.Write("self.txt", "deletescript \"self.txt\"\noutput \"still\"\n");
  human_being* h = Make();
  Run(znkinstr_script, "\"self\",1");
  zt::ConsoleCapture console;
  HandleHumanScriptsForMask(1);
  EXPECT_EQ(console.text(), "still");
  EXPECT_EQ(h->scripts, nullptr);
}

TEST_F(ObjectScripts, AnEventThatRemovesTheCallersObjectStopsTheCaller) {
  dir.Write("caller.txt", "get \"house2\"\nevent 2\noutput \"after\"\n");
  dir.Write("killer.txt", "get \"house1\"\noff\n");
  Make();
  Run(znkinstr_script, "\"caller\",1");
  Make();
  Run(znkinstr_script, "\"killer\",2");
  zt::ConsoleCapture console;
  HandleHumanScriptsForMask(1);
  EXPECT_EQ(console.text(), "");
  EXPECT_EQ(levelChanged, 1);
  EXPECT_EQ(gHumanScriptTarget, nullptr);
  ASSERT_NE(baseHuman->next, nullptr);
  EXPECT_STREQ(baseHuman->next->name, "house2");
}

TEST_F(ObjectScripts, BoomEmptiesTheWorldAndLevelNeedsAQuotedFolder) {
  Make();
  Run(znkinstr_bone, "\"body\"");
  Run(znkinstr_boom, "");
  EXPECT_EQ(levelChanged, 1);
  EXPECT_EQ(baseHuman->next, nullptr);
  EXPECT_EQ(selHuman, nullptr);
  EXPECT_EQ(selBone, nullptr);
  EXPECT_EQ(gBiggestID, 0);

  levelChanged = 0;
  zt::ConsoleCapture console;
  Run(znkinstr_level, "");
  Run(znkinstr_level, "castle");
  EXPECT_EQ(levelChanged, 0);
  EXPECT_EQ(console.text(), "");
  dir.Write("castle/load script.txt", "output \"in\"\n");
  Run(znkinstr_level, "\"castle\"");
  EXPECT_EQ(levelChanged, 1);
  EXPECT_EQ(std::string(currentLevelFolder), dir.path() + "/castle/");
}
}  // namespace
