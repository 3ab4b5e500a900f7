// Collision query commands on small generated levels: segment pokes and their registers, the
// last contact's normal, point and material, sphere and box tests with objects, bouncing and
// the collision sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "commands/commands.h"
#include "commands/echo.h"
#include "objects/player.h"
#include "script/scheduler.h"
#include "shell/startup.h"
#include "test_collision_commands_level.h"
#include "world/collide_slide.h"
#include "world/line_queries.h"
#include "world/object_collision.h"

using namespace ct;

namespace {

class CollisionCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    gScriptVars = variable_list();
    InitLevelLists();
    ShrinkToDefaultMaterialAndBone();
    MeshEditorAddMaterial("Stone");
    RemoveBodies();
    editMode = 4;
    playerPos = V(0, 0, 0);
    viewangle = 0.0f;
    gDoObjectPoke = 1;
    gPokeObject = nullptr;
    gHumanScriptTarget = nullptr;
    selHuman = nullptr;
    gHitPerson = nullptr;
    gPlayerCollisions = 1;
  }
  void TearDown() override {
    selHuman = nullptr;
    gHitPerson = nullptr;
    RemoveBodies();
    FreeLevelGeometry();
  }
  // A stone floor at y = 0 over [-10, 10]^2, rebuilt.
  void StoneFloor() {
    Floor(-10, -10, 10, 10, 0, 1);
    GenerateLevelFromMesh();
  }
};

TEST_F(CollisionCommands, PokeHitsTheFloorAndLeavesPointNormalAndMaterial) {
  StoneFloor();
  Segment(V(2, 5, 3), V(2, -5, 3));
  char echo[kEchoBufferSize] = "poke 2,7";
  Cmd(znkinstr_poke, "2,7", echo);
  EXPECT_EQ(I(2), 1);
  EXPECT_STREQ(echo, "poke 2,7 // 1");
  EXPECT_FLOAT_EQ(F(7), 2.0f);
  EXPECT_NEAR(F(8), 0.0, 1e-6);
  EXPECT_FLOAT_EQ(F(9), 3.0f);

  char normalEcho[kEchoBufferSize] = "";
  Cmd(znkinstr_collnormal, "10", normalEcho);
  EXPECT_NEAR(F(10), 0.0, 1e-6);
  EXPECT_NEAR(F(11), 1.0, 1e-6);
  EXPECT_NEAR(F(12), 0.0, 1e-6);
  EXPECT_STREQ(normalEcho, " // 0.000000,1.000000,0.000000");
  Cmd(znkinstr_collpoint, "13");
  EXPECT_FLOAT_EQ(F(13), 2.0f);
  EXPECT_FLOAT_EQ(F(15), 3.0f);
  char materialEcho[kEchoBufferSize] = "";
  Cmd(znkinstr_collmaterial, "", materialEcho);
  EXPECT_STREQ(S(1), "Stone");
  EXPECT_STREQ(materialEcho, " // Stone");
}

TEST_F(CollisionCommands, PokeMissLeavesTheFloatRegistersAndOldContact) {
  StoneFloor();
  Segment(V(0, 5, 0), V(0, -5, 0));
  Cmd(znkinstr_poke, "");
  ASSERT_EQ(I(1), 1);
  // Above the floor, going up: nothing.
  Segment(V(1, 1, 1), V(1, 9, 1));
  F(10) = 42.0;
  Cmd(znkinstr_poke, "3,10");
  EXPECT_EQ(I(3), 0);
  EXPECT_EQ(F(10), 42.0);
  Cmd(znkinstr_collpoint, "");
  EXPECT_NEAR(F(1), 0.0, 1e-6);
  EXPECT_NEAR(F(2), 0.0, 1e-6);
  // From a point to itself, even on the floor.
  Segment(V(3, 0, 3), V(3, 0, 3));
  I(1) = 9;
  Cmd(znkinstr_poke, "");
  EXPECT_EQ(I(1), 0);
}

TEST_F(CollisionCommands, PokeRegisterNumbersOutsideTheBanksWriteNothing) {
  StoneFloor();
  Segment(V(0, 5, 0), V(0, -5, 0));
  F(15) = F(16) = 7.0;
  Cmd(znkinstr_poke, "17,15");
  EXPECT_EQ(F(15), 7.0);
  EXPECT_EQ(F(16), 7.0);
  for (int n = 1; n <= 16; ++n) EXPECT_EQ(I(n), 0) << n;
}

TEST_F(CollisionCommands, PokeThroughAnObjectAndLevelOnlyMode) {
  StoneFloor();
  human_being* crate = Body("crate", V(0, 2, 0), 0.5f);
  Segment(V(0, 5, 0), V(0, -5, 0));
  gPokeObject = crate;
  Cmd(znkinstr_poke, "");
  EXPECT_EQ(I(1), 2);
  EXPECT_EQ(gHitPerson, crate);
  EXPECT_FLOAT_EQ(F(2), 2.5f);
  EXPECT_EQ(gPokeObject, nullptr);
  // Mode e: only the level counts, and objects are tested again afterwards.
  Segment(V(0, 5, 0), V(0, -5, 0));
  Cmd(znkinstr_poke, "1,1,e");
  EXPECT_EQ(I(1), 1);
  EXPECT_NEAR(F(2), 0.0, 1e-6);
  EXPECT_EQ(gDoObjectPoke, 1);
  Segment(V(0, 5, 0), V(0, -5, 0));
  Cmd(znkinstr_poke, "1,1,x");
  EXPECT_EQ(I(1), 2);
}

TEST_F(CollisionCommands, TeampokeAlwaysWritesZero) {
  StoneFloor();
  Segment(V(0, 5, 0), V(0, -5, 0));
  I(4) = 5;
  F(1) = 0.25;
  char echo[kEchoBufferSize] = "";
  Cmd(znkinstr_teampoke, "4,1,3", echo);
  EXPECT_EQ(I(4), 0);
  EXPECT_EQ(F(1), 0.25);
  EXPECT_STREQ(echo, " // 0");
  I(1) = 7;
  Cmd(znkinstr_teampoke, "");
  EXPECT_EQ(I(1), 0);
}

TEST_F(CollisionCommands, SpherecollOfThePlayerAgainstAnObjectAndTheFloor) {
  human_being* ball = Body("ball", V(3, 1, 0), 0.5f);
  playerPos = V(0, 0, 0);  // sphere centre (0, 1, 0), radius 0.6
  Segment(V(0, 0, 0), V(2.5f, 0, 0));
  F(7) = F(8) = F(9) = -1;
  Cmd(znkinstr_spherecoll, "2,7");
  EXPECT_EQ(B(2), 1);
  EXPECT_EQ(gHitPerson, ball);
  EXPECT_NEAR(F(7), 2.5, 1e-5);
  EXPECT_NEAR(F(8), 1.0, 1e-5);
  // Too short a move: no contact, the point registers stay.
  Segment(V(5, 0, 0), V(6, 0, 0));
  B(1) = 1;
  Cmd(znkinstr_spherecoll, "0,-3");  // below 1 means 1
  EXPECT_EQ(B(1), 0);
  EXPECT_EQ(F(1), 5.0);

  RemoveBodies();
  StoneFloor();
  playerPos = V(4, 2, 4);  // centre (4, 3, 4)
  Segment(V(0, 0, 0), V(0, -3, 0));
  Cmd(znkinstr_spherecoll, "3,10");
  EXPECT_EQ(B(3), 1);
  EXPECT_NEAR(F(10), 4.0, 1e-5);
  EXPECT_NEAR(F(11), 0.0, 1e-5);
  Cmd(znkinstr_collnormal, "");
  EXPECT_NEAR(F(2), 1.0, 1e-5);
}

TEST_F(CollisionCommands, SpherecollOfASelectedObjectIgnoresItselfAndHitsThePlayer) {
  human_being* mover = Body("mover", V(0, 1, 0), 0.5f);
  selHuman = mover;
  playerPos = V(2, 0, 0);  // player sphere centre (2, 1, 0), radius 0.6
  Segment(V(0, 0, 0), V(1.2f, 0, 0));
  gHitPerson = mover;
  Cmd(znkinstr_spherecoll, "");
  EXPECT_EQ(B(1), 1);
  EXPECT_EQ(gHitPerson, nullptr);
  EXPECT_NEAR(F(1), 1.4, 1e-5);
}

TEST_F(CollisionCommands, IntersectFindsTheFirstOverlappingBoxInListOrder) {
  human_being* me = Body("me", V(0, 0, 0), 1.0f);
  human_being* ghost = Body("ghost", V(0.5f, 0, 0), 1.0f);
  ghost->objectType = 2;
  human_being* hud = Body("hud", V(0.5f, 0, 0), 1.0f);
  hud->HUD = 1;
  human_being* far = Body("far", V(5, 0, 0), 1.0f);
  human_being* near = Body("near", V(1.5f, 0, 0), 1.0f);
  selHuman = me;
  I(3) = 9;
  Cmd(znkinstr_intersect, "3");
  EXPECT_EQ(I(3), 2);
  EXPECT_EQ(gHitPerson, near);

  // Only the named object; the box grows by float register 2.
  std::strcpy(S(4), "far");
  gHitPerson = nullptr;
  Cmd(znkinstr_intersect, "5,4");
  EXPECT_EQ(I(5), 0);
  EXPECT_EQ(gHitPerson, nullptr);
  F(2) = 3.5;
  Cmd(znkinstr_intersect, "5,4,2");
  EXPECT_EQ(I(5), 2);
  EXPECT_EQ(gHitPerson, far);
  std::strcpy(S(4), "nobody");
  Cmd(znkinstr_intersect, "5,4,2");
  EXPECT_EQ(I(5), 0);

  // Out-of-range result register means 1; without a selection nothing overlaps.
  I(1) = 7;
  selHuman = nullptr;
  Cmd(znkinstr_intersect, "40");
  EXPECT_EQ(I(1), 0);
}

TEST_F(CollisionCommands, CollNoneClearsTheHitObjectOnly) {
  human_being* h = Body("h", V(0, 0, 0), 1.0f);
  gHitPerson = h;
  Cmd(znkinstr_coll, "something");
  EXPECT_EQ(gHitPerson, h);
  Cmd(znkinstr_coll, "none");
  EXPECT_EQ(gHitPerson, nullptr);
}

TEST_F(CollisionCommands, CollmaterialOutOfRangeReadsMaterialZero) {
  gCollisionMaterial = 99;
  std::snprintf(gMaterials[0].name, sizeof gMaterials[0].name, "%s", "Base");
  Cmd(znkinstr_collmaterial, "16");
  EXPECT_STREQ(S(16), "Base");
  std::strcpy(S(1), "keep");
  Cmd(znkinstr_collmaterial, "17");
  EXPECT_STREQ(S(1), "keep");
}

TEST_F(CollisionCommands, BounceReflectsUnnormalisedInputs) {
  Segment(V(0, -2, 0), V(0, 3, 0));
  char echo[kEchoBufferSize] = "";
  Cmd(znkinstr_bounce, "", echo);
  EXPECT_NEAR(F(1), 0.0, 1e-6);
  EXPECT_NEAR(F(2), 1.0, 1e-6);
  EXPECT_NEAR(F(3), 0.0, 1e-6);
  EXPECT_STREQ(echo, " // 0.000000,1.000000,0.000000");
  Segment(V(4, -4, 0), V(0, 0.5f, 0));
  Cmd(znkinstr_bounce, "7");
  EXPECT_NEAR(F(7), std::sqrt(0.5), 1e-6);
  EXPECT_NEAR(F(8), std::sqrt(0.5), 1e-6);
  EXPECT_NEAR(F(9), 0.0, 1e-6);
  F(16) = 3.0;
  Cmd(znkinstr_bounce, "15");
  EXPECT_EQ(F(16), 3.0);
}

TEST_F(CollisionCommands, EggScalesObjectRadiiAndSetsThePlayerDimensions) {
  human_being* h = Body("h", V(0, 0, 0), 0.5f);
  selHuman = h;
  Cmd(znkinstr_egg, "2,1,1");
  Cmd(znkinstr_egg, "2,1,1");
  EXPECT_FLOAT_EQ(h->mdl->eRadius.x, 2.0f);
  EXPECT_FLOAT_EQ(h->mdl->eRadius.y, 0.5f);
  Cmd(znkinstr_egg, "1,3");  // z not given: 1
  EXPECT_FLOAT_EQ(h->mdl->eRadius.y, 1.5f);
  EXPECT_FLOAT_EQ(h->mdl->eRadius.z, 0.5f);
  h->isScenery = 1;
  Cmd(znkinstr_egg, "5,5,5");
  EXPECT_FLOAT_EQ(h->mdl->eRadius.x, 2.0f);

  selHuman = nullptr;
  vector_type saved = gPlayerDimensions;
  Cmd(znkinstr_egg, "0.3,0.9,0.4,7");
  EXPECT_FLOAT_EQ(gPlayerDimensions.x, 0.3f);
  EXPECT_FLOAT_EQ(gPlayerDimensions.y, 0.9f);
  EXPECT_FLOAT_EQ(gPlayerDimensions.z, 0.4f);
  gPlayerDimensions = saved;
}

}  // namespace
