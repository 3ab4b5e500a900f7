// Groups through their commands and functions: placing and turning members about the centroid,
// membership (one group besides the root), lights and the camera as members, dissolving
// groups, the refusal of groups inside themselves, and walks over malformed structures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/selection.h"
#include "groups/groups.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "objects/player.h"
#include "render/lights.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "support/test_support.h"

namespace {

constexpr float kTol = 1e-4f;

#define EXPECT_VEC(v, ex, ey, ez)   \
  do {                              \
    vector_type v_ = (v);           \
    EXPECT_NEAR(v_.x, (ex), kTol);  \
    EXPECT_NEAR(v_.y, (ey), kTol);  \
    EXPECT_NEAR(v_.z, (ez), kTol);  \
  } while (0)

vector_type Pos(const human_being* h) { return {h->xpos, h->ypos, h->zpos}; }

class Groups : public ::testing::Test {
 protected:
  std::deque<human_being> objects;  // stable addresses, linked into the object list

  void SetUp() override {
    InitHumanRegistry();
    InitRootGroup();
    ResetLightPositions();
    playerPos = {0.0f, 0.0f, 0.0f};
    gSelectedGroup = nullptr;
    selectionType = 0;
    std::memset(&gScriptVars, 0, sizeof gScriptVars);
  }
  void TearDown() override {
    FreeAllGroups();
    for (human_being& h : objects) {
      RemoveHumanFromAllGroups(&h);
      RemoveEntityFromGroup(&gAllEntities, GetHumanEntityNumberInGroup(&gAllEntities, &h));
    }
    baseHuman->next = nullptr;
    EmptyGroup(&gAllEntities);
    ResetLightPositions();
    playerPos = {0.0f, 0.0f, 0.0f};
  }

  // A plain object record at (x, y, z), registered like a created object.
  human_being* Object(const char* name, float x, float y, float z) {
    objects.emplace_back();
    human_being* h = &objects.back();
    ZeroHuman(h);
    ZNK_CopyString(h->name, name, sizeof h->name);
    h->xpos = x;
    h->ypos = y;
    h->zpos = z;
    human_being* last = baseHuman;
    while (last->next) last = last->next;
    last->next = h;
    AddEntityToGroup(&gAllEntities, kEntityObject, h, 0);
    return h;
  }

  void Run(char* (*command)(char*, char*), std::string parms) { command(&parms[0], nullptr); }

  // Creates or selects a group and adds the quoted names to it.
  zntlgroup* Group(const char* name, std::initializer_list<const char*> members = {}) {
    Run(znkinstr_group, std::string("\"") + name + "\"");
    for (const char* m : members) Run(znkinstr_groupAdd, std::string("\"") + m + "\"");
    return gSelectedGroup;
  }

  int RootGroups() const {
    int n = 0;
    for (unsigned int i = 0; i < gAllEntities.numEntities; i++) n += gAllEntities.entities[i].entityType == kEntityGroup;
    return n;
  }
};

// ---- Placing and turning ----------------------------------------------------------------

TEST_F(Groups, PutMovesTheMembersSoThatTheCentroidLandsOnThePoint) {
  human_being* a = Object("a", 0, 0, 0);
  human_being* b = Object("b", 2, 0, 0);
  zntlgroup* g = Group("pair", {"a", "b"});
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->numEntities, 2u);
  EXPECT_VEC(GetEntitiesCentroid(g, 0), 1, 0, 0);

  SetGroupPosition(g, 5, 0, 0, 0);
  EXPECT_VEC(Pos(a), 4, 0, 0);
  EXPECT_VEC(Pos(b), 6, 0, 0);
  EXPECT_VEC(GetEntitiesCentroid(g, 0), 5, 0, 0);
  // The group's member of the root reports the centroid as its position.
  zntlentity* member = &gAllEntities.entities[GetGroupEntityNumberInGroup(&gAllEntities, g)];
  EXPECT_VEC(GetEntityPosition(member), 5, 0, 0);
  SetEntityPosition(member, {0, 3, 0});
  EXPECT_VEC(Pos(a), -1, 3, 0);
  EXPECT_VEC(Pos(b), 1, 3, 0);
}

TEST_F(Groups, SpinTurnsEachYawAndTurnsThePositionsAboutTheCentroid) {
  human_being* a = Object("a", 0, 0, 0);
  human_being* b = Object("b", 2, 0, 0);
  zntlgroup* g = Group("pair", {"a", "b"});

  SetGroupAngles(g, 0, 90, 0, 0);
  EXPECT_NEAR(a->yang, 90, kTol);
  EXPECT_NEAR(b->yang, 90, kTol);
  // A quarter turn about (1, 0, 0): each offset from the centroid turns as (0,0,1) -> (1,0,0).
  vector_type expectA = RotateVector({0, 0, 0}, {1, 0, 0}, 0, 90, 0);
  vector_type expectB = RotateVector({2, 0, 0}, {1, 0, 0}, 0, 90, 0);
  EXPECT_VEC(Pos(a), expectA.x, expectA.y, expectA.z);
  EXPECT_VEC(Pos(b), expectB.x, expectB.y, expectB.z);
  EXPECT_NEAR(std::fabs(a->zpos - b->zpos), 2.0f, kTol);
  EXPECT_VEC(GetEntitiesCentroid(g, 0), 1, 0, 0);
  EXPECT_VEC(GetGroupAngles(g, 0), 0, 90, 0);

  // Setting the angles the group already has turns nothing.
  SetGroupAngles(g, 0, 90, 0, 0);
  EXPECT_NEAR(a->yang, 90, kTol);
  EXPECT_VEC(Pos(a), expectA.x, expectA.y, expectA.z);

  // Two more quarter turns: a half turn from the start swaps the two places.
  SetGroupAngles(g, 0, 180, 0, 0);
  EXPECT_VEC(Pos(a), 2, 0, 0);
  EXPECT_VEC(Pos(b), 0, 0, 0);
  EXPECT_NEAR(std::fabs(a->yang), 180, kTol);
}

TEST_F(Groups, AngleMeanTakesNegativeAnglesPlus360AndNormalises) {
  human_being* a = Object("a", 0, 0, 0);
  human_being* b = Object("b", 1, 0, 0);
  zntlgroup* g = Group("g", {"a", "b"});
  a->yang = -170;
  b->yang = 170;
  a->xang = 10;
  b->xang = 30;
  vector_type m = GetGroupAngles(g, 0);
  EXPECT_NEAR(std::fabs(m.y), 180, kTol);  // not 0: both face almost backwards
  EXPECT_NEAR(m.x, 20, kTol);
  EXPECT_NEAR(m.z, 0, kTol);
}

TEST_F(Groups, AnEmptyGroupHasCentroidAnglesAndBoxAtTheOrigin) {
  zntlgroup* g = Group("empty");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->numEntities, 0u);
  EXPECT_VEC(GetEntitiesCentroid(g, 0), 0, 0, 0);
  EXPECT_VEC(GetGroupAngles(g, 0), 0, 0, 0);
  g->boundingBox.min = {5, 5, 5};
  UpdateGroupBounds(g, nullptr);
  EXPECT_VEC(g->boundingBox.min, 0, 0, 0);
  EXPECT_VEC(g->boundingBox.max, 0, 0, 0);
  // Moving and turning an empty group does nothing and does not fail.
  SetGroupPosition(g, 1, 2, 3, 0);
  SetGroupAngles(g, 10, 20, 30, 0);
  EXPECT_VEC(GetEntitiesCentroid(g, 0), 0, 0, 0);
}

TEST_F(Groups, NestedGroupsTurnAsOneRigidBody) {
  human_being* a = Object("a", 0, 0, 0);
  human_being* b = Object("b", 2, 0, 0);
  human_being* c = Object("c", 1, 0, 3);
  zntlgroup* inner = Group("inner", {"a", "b"});
  zntlgroup* outer = Group("outer", {"inner", "c"});
  ASSERT_EQ(outer->numEntities, 2u);
  EXPECT_EQ(GetGroupEntityNumberInGroup(outer, inner), 0);
  // The centroid counts the subgroup's objects one by one.
  EXPECT_VEC(GetEntitiesCentroid(outer, 0), 1, 0, 1);

  RotateEntities(outer, 0, 180, 0, 0);
  EXPECT_VEC(Pos(a), 2, 0, 2);
  EXPECT_VEC(Pos(b), 0, 0, 2);
  EXPECT_VEC(Pos(c), 1, 0, -1);
  for (human_being* h : {a, b, c}) EXPECT_NEAR(std::fabs(h->yang), 180, kTol);

  MoveGroupEntities(outer, 0, 1, 0, 0);
  EXPECT_VEC(Pos(a), 2, 1, 2);
  EXPECT_VEC(Pos(c), 1, 1, -1);
  // The subgroup's own angles follow its members.
  EXPECT_NEAR(std::fabs(GetGroupAngles(inner, 0).y), 180, kTol);
}

TEST_F(Groups, OnlySelectedMembersMoveWhenAsked) {
  human_being* a = Object("a", 0, 0, 0);
  human_being* b = Object("b", 2, 0, 0);
  zntlgroup* g = Group("g", {"a", "b"});
  g->entities[1].selected = 1;
  EXPECT_VEC(GetEntitiesCentroid(g, 1), 2, 0, 0);
  SetGroupPosition(g, 3, 0, 0, 1);
  EXPECT_VEC(Pos(a), 0, 0, 0);
  EXPECT_VEC(Pos(b), 3, 0, 0);
  SelectGroupEntities(g, 0);
  g->entities[0].selected = 1;
  RotateEntities(g, 0, 90, 0, 1);
  EXPECT_NEAR(a->yang, 90, kTol);
  EXPECT_NEAR(b->yang, 0, kTol);
  EXPECT_VEC(Pos(a), 0, 0, 0);  // the only counted member is its own centroid
  EXPECT_VEC(Pos(b), 3, 0, 0);
}

TEST_F(Groups, MovingAnObjectCarriesItsCollisionBoxAndTheMemberBox) {
  human_being* a = Object("a", 0, 0, 0);
  zntlmdl model{};
  model.newBoxMin = {-0.5f, 0, -0.5f};
  model.newBoxMax = {0.5f, 2, 0.5f};
  a->mdl = &model;
  zntlgroup* g = Group("g", {"a"});
  SetGroupPosition(g, 10, 0, 0, 0);
  EXPECT_VEC(model.newBoxMin, 9.5f, 0, -0.5f);
  EXPECT_VEC(model.newBoxMax, 10.5f, 2, 0.5f);
  EXPECT_VEC(g->entities[0].boundingBox.min, 9.5f, 0, -0.5f);
  UpdateGroupBounds(g, nullptr);
  EXPECT_VEC(g->boundingBox.max, 10.5f, 2, 0.5f);
  a->mdl = nullptr;
}

// ---- Bounds -------------------------------------------------------------------------------

TEST_F(Groups, BoundsAreTheUnionOfMemberBoxesAndReachTheParentMember) {
  human_being* a = Object("a", 0, 0, 0);
  zntlmdl model{};
  model.newBoxMin = {-1, 0, -1};
  model.newBoxMax = {1, 3, 1};
  a->mdl = &model;
  zntlgroup* inner = Group("inner", {"a"});
  Run(znkinstr_groupAdd, "light 2");  // light index 1
  LightPositions[1][0] = 5;
  LightPositions[1][1] = 1;
  LightPositions[1][2] = -4;
  zntlgroup* outer = Group("outer", {"inner"});
  UpdateGroupBounds(outer, nullptr);
  EXPECT_VEC(inner->boundingBox.min, -1, 0, -4.1f);
  EXPECT_VEC(inner->boundingBox.max, 5.1f, 3, 1);
  EXPECT_VEC(outer->entities[0].boundingBox.min, -1, 0, -4.1f);
  EXPECT_VEC(outer->boundingBox.max, 5.1f, 3, 1);
  a->mdl = nullptr;
}

// ---- Membership ---------------------------------------------------------------------------

TEST_F(Groups, AThingBelongsToOneGroupBesidesTheRoot) {
  human_being* a = Object("a", 0, 0, 0);
  Object("b", 1, 0, 0);
  zntlgroup* ga = Group("A", {"a", "b"});
  zntlgroup* gb = Group("B", {"a"});
  EXPECT_EQ(GetHumanEntityNumberInGroup(ga, a), -1);
  EXPECT_EQ(ga->numEntities, 1u);
  EXPECT_EQ(GetHumanEntityNumberInGroup(gb, a), 0);
  EXPECT_GE(GetHumanEntityNumberInGroup(&gAllEntities, a), 0);
  // Adding it again to the group it is in leaves one member.
  Run(znkinstr_groupAdd, "\"a\"");
  EXPECT_EQ(gb->numEntities, 1u);
  // A group moves between groups the same way.
  zntlgroup* gc = Group("C", {"A"});
  Group("B", {"A"});
  EXPECT_EQ(gc->numEntities, 0u);
  EXPECT_EQ(GetGroupEntityNumberInGroup(gb, ga), 1);
  EXPECT_EQ(RootGroups(), 3);
}

TEST_F(Groups, GroupDelOfANonMemberChangesNothing) {
  human_being* a = Object("a", 0, 0, 0);
  human_being* b = Object("b", 1, 0, 0);
  Object("outsider", 9, 0, 0);
  zntlgroup* g = Group("g", {"a", "b"});
  zntlentity* before = g->entities;
  for (const char* parms : {"\"outsider\"", "\"nobody\"", "light 3", "\"g\"", "player", "", "word"}) {
    Run(znkinstr_groupDel, parms);
    ASSERT_EQ(g->numEntities, 2u) << parms;
  }
  EXPECT_EQ(g->entities, before);
  EXPECT_EQ(g->entities[0].theEntity, a);
  EXPECT_EQ(g->entities[1].theEntity, b);
}

TEST_F(Groups, RemovingTheLastMemberFreesTheArrayAndAddingStartsANewOne) {
  Object("a", 0, 0, 0);
  Object("b", 1, 0, 0);
  zntlgroup* g = Group("g", {"a", "b"});
  Run(znkinstr_groupDel, "\"a\"");
  ASSERT_EQ(g->numEntities, 1u);
  EXPECT_EQ(g->entities[0].theEntity, GetHumanByName("b"));
  Run(znkinstr_groupDel, "\"b\"");
  EXPECT_EQ(g->numEntities, 0u);
  EXPECT_EQ(g->entities, nullptr);
  Run(znkinstr_groupAdd, "\"a\"");
  ASSERT_EQ(g->numEntities, 1u);
  EXPECT_NE(g->entities, nullptr);
}

TEST_F(Groups, LightsAndTheCameraAsMembers) {
  human_being* a = Object("a", 0, 0, 0);
  zntlgroup* g = Group("g", {"a"});
  Run(znkinstr_groupAdd, "light3");
  Run(znkinstr_groupAdd, "light 11");  // (11 - 1) mod 8 = 2: already a member
  Run(znkinstr_groupAdd, "player");
  ASSERT_EQ(g->numEntities, 3u);
  EXPECT_EQ(GetLightEntityNumberInGroup(g, 2), 1);
  EXPECT_EQ(GetCameraEntityNumberInGroup(g), 2);
  LightPositions[2][0] = 4;
  LightPositions[2][3] = 1;
  // The light counts for the centroid, the camera does not.
  playerPos = {100, 100, 100};
  EXPECT_VEC(GetEntitiesCentroid(g, 0), 2, 0, 0);

  SetGroupPosition(g, 2, 1, 0, 0);
  EXPECT_VEC(Pos(a), 0, 1, 0);
  EXPECT_NEAR(LightPositions[2][0], 4, kTol);
  EXPECT_NEAR(LightPositions[2][1], 1, kTol);
  EXPECT_NEAR(LightPositions[2][3], 1, kTol);  // w is kept
  EXPECT_VEC(playerPos, 100, 101, 100);

  // A light moves to a second group like an object does.
  zntlgroup* other = Group("other");
  Run(znkinstr_groupAdd, "light 3");
  EXPECT_EQ(GetLightEntityNumberInGroup(g, 2), -1);
  EXPECT_EQ(GetLightEntityNumberInGroup(other, 2), 0);
  Run(znkinstr_groupDel, "light 3");
  EXPECT_EQ(other->numEntities, 0u);
  Group("g");
  Run(znkinstr_groupDel, "player");
  EXPECT_EQ(g->numEntities, 1u);
  // The root keeps the lights and the camera throughout.
  EXPECT_EQ(GetLightEntityNumberInGroup(&gAllEntities, 2), 2);
  EXPECT_EQ(GetCameraEntityNumberInGroup(&gAllEntities), 8);
}

TEST_F(Groups, SettingALightMemberPositionMovesItsBox) {
  zntlentity* light = &gAllEntities.entities[4];
  SetEntityPosition(light, {1, 2, 3});
  EXPECT_NEAR(LightPositions[4][1], 2, kTol);
  EXPECT_VEC(light->boundingBox.min, 0.9f, 1.9f, 2.9f);
  EXPECT_VEC(GetEntityPosition(light), 1, 2, 3);
  SetEntityPosition(&gAllEntities.entities[8], {7, 8, 9});
  EXPECT_VEC(playerPos, 7, 8, 9);
}

// ---- The group commands -------------------------------------------------------------------

TEST_F(Groups, GroupFindsOrCreatesByNameAndSelectsIt) {
  zntlgroup* g = Group("team");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(selectionType, 2);
  EXPECT_STREQ(g->name, "team");
  int index = GetGroupEntityNumberInGroup(&gAllEntities, g);
  ASSERT_GE(index, 0);
  EXPECT_EQ(gAllEntities.entities[index].selected, 1);
  gAllEntities.entities[0].selected = 1;

  zntlgroup* h = Group("other");
  EXPECT_NE(h, g);
  EXPECT_EQ(gAllEntities.entities[0].selected, 1);  // other marks stay
  EXPECT_EQ(gAllEntities.entities[index].selected, 1);

  // The same name selects the same group; an empty text takes string register 1.
  ZNK_CopyString(StringRegister(1), "team", kStringRegisterSize);
  Run(znkinstr_group, "");
  EXPECT_EQ(gSelectedGroup, g);
  EXPECT_EQ(RootGroups(), 2);
  EXPECT_EQ(GetGroupByName("other"), h);
  EXPECT_EQ(GetGroupByName("nothing"), nullptr);
}

TEST_F(Groups, AVeryLongGroupNameFindsTheSameGroupAgain) {
  std::string name(400, 'n');
  zntlgroup* g = Group(name.c_str());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(std::strlen(g->name), 255u);
  EXPECT_EQ(Group(name.c_str()), g);
  EXPECT_EQ(RootGroups(), 1);
}

TEST_F(Groups, GroupAddTakesAnObjectBeforeAGroupOfTheSameName) {
  human_being* twin = Object("twin", 0, 0, 0);
  zntlgroup* twinGroup = Group("twin");
  zntlgroup* g = Group("g", {"twin"});
  ASSERT_EQ(g->numEntities, 1u);
  EXPECT_EQ(g->entities[0].theEntity, twin);
  EXPECT_EQ(GetGroupEntityNumberInGroup(g, twinGroup), -1);
  ZNK_CopyString(StringRegister(1), "twin", kStringRegisterSize);
  Run(znkinstr_groupDel, "");
  EXPECT_EQ(g->numEntities, 0u);
}

TEST_F(Groups, UngroupDissolvesTheGroupAndLeavesItsMembers) {
  human_being* a = Object("a", 3, 0, 0);
  Group("inner", {"a"});
  zntlgroup* outer = Group("outer", {"inner"});
  Group("inner");
  unsigned int rootBefore = gAllEntities.numEntities;
  Run(znkinstr_ungroup, "");
  EXPECT_EQ(gSelectedGroup, nullptr);
  EXPECT_EQ(outer->numEntities, 0u);
  EXPECT_EQ(gAllEntities.numEntities, rootBefore - 1);
  EXPECT_EQ(GetGroupByName("inner"), nullptr);
  EXPECT_GE(GetHumanEntityNumberInGroup(&gAllEntities, a), 0);
  EXPECT_VEC(Pos(a), 3, 0, 0);
  // Without a selected group the editing commands do nothing.
  Run(znkinstr_ungroup, "");
  Run(znkinstr_groupAdd, "\"a\"");
  EXPECT_EQ(GetGroupByName("outer"), outer);
  EXPECT_EQ(outer->numEntities, 0u);
}

TEST_F(Groups, AGroupCannotJoinItselfOrOneOfItsSubgroups) {
  zt::ConsoleCapture console;
  zntlgroup* a = Group("A");
  zntlgroup* b = Group("B", {"A"});
  zntlgroup* c = Group("C");
  Group("A", {"C"});  // C inside A inside B
  ASSERT_EQ(GetGroupEntityNumberInGroup(a, c), 0);
  console.clear();

  Group("A", {"A"});
  EXPECT_EQ(a->numEntities, 1u);
  EXPECT_EQ(console.text().rfind("//", 0), 0u) << console.text();
  console.clear();

  Group("C", {"B"});
  EXPECT_EQ(c->numEntities, 0u);
  EXPECT_EQ(GetGroupEntityNumberInGroup(b, a), 0);  // the refusal removed nothing
  EXPECT_EQ(console.text().rfind("//", 0), 0u);
  EXPECT_TRUE(GroupContainsGroup(b, c));
  EXPECT_FALSE(GroupContainsGroup(c, b));
}

TEST_F(Groups, FreeAllGroupsLeavesTheLightsTheCameraAndTheObjects) {
  human_being* a = Object("a", 0, 0, 0);
  Group("one", {"a"});
  Group("two", {"one"});
  Group("three");
  EXPECT_EQ(RootGroups(), 3);
  FreeAllGroups();
  EXPECT_EQ(RootGroups(), 0);
  EXPECT_EQ(gSelectedGroup, nullptr);
  EXPECT_EQ(gAllEntities.numEntities, 10u);
  EXPECT_EQ(gAllEntities.entities[8].entityType, kEntityCamera);
  EXPECT_EQ(gAllEntities.entities[9].theEntity, a);
}

// ---- Malformed structures -----------------------------------------------------------------

TEST_F(Groups, ChainsOfAnyDepthAreWalkedAndCannotBeClosedIntoACycle) {
  // 1000 groups, each inside the next: every walk reaches the object at the bottom.
  constexpr int kDepth = 1000;
  human_being* a = Object("a", 4, 0, 0);
  std::vector<zntlgroup*> chain;
  for (int i = 0; i < kDepth; i++) {
    chain.push_back(NewGroup(("g" + std::to_string(i)).c_str()));
    if (i == 0)
      AddEntityToGroup(chain[0], kEntityObject, a, 0);
    else
      AddEntityToGroup(chain[i], kEntityGroup, chain[i - 1], 0);
  }
  zntlgroup* top = chain.back();
  EXPECT_TRUE(GroupContainsGroup(top, chain[0]));
  EXPECT_FALSE(GroupContainsGroup(chain[0], top));
  EXPECT_VEC(GetEntitiesCentroid(top, 0), 4, 0, 0);
  SetGroupPosition(top, 1, 2, 3, 0);
  EXPECT_VEC(Pos(a), 1, 2, 3);
  UpdateGroupBounds(top, nullptr);
  EXPECT_NEAR(top->boundingBox.min.x, chain[0]->boundingBox.min.x, kTol);

  zt::ConsoleCapture console;
  Group("g0", {("g" + std::to_string(kDepth - 1)).c_str()});
  EXPECT_EQ(chain[0]->numEntities, 1u);
  EXPECT_EQ(console.text().rfind("//", 0), 0u);
}

TEST_F(Groups, WalksOverACycleEnterEachGroupOnce) {
  Object("a", 1, 0, 0);
  zntlgroup* g = Group("loop", {"a"});
  // Built past the command's refusal: the group is its own member.
  AddEntityToGroup(g, kEntityGroup, g, 0);
  vector_type c = GetEntitiesCentroid(g, 0);
  EXPECT_VEC(c, 1, 0, 0);
  EXPECT_TRUE(std::isfinite(GetGroupAngles(g, 0).y));
  MoveGroupEntities(g, 0, 0, 0, 0);
  RotateEntities(g, 0, 0, 0, 0);
  UpdateGroupBounds(g, nullptr);
  EXPECT_TRUE(GroupContainsGroup(g, g));
  RemoveEntityFromGroup(g, 1);
  EXPECT_EQ(g->numEntities, 1u);
}

}  // namespace
