// A game folder with a generated box model "house" (1 wide, 2 high, 1 deep, one bone "body"
// and two materials) and the engine state the object commands act on, reset per test.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "../../tools/zntl_model_writer.h"
#include "commands/commands.h"
#include "commands/selection.h"
#include "groups/groups.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "objects/player.h"
#include "render/lights.h"
#include "script/command_table.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "support/test_support.h"
#include "world/collide_slide.h"

constexpr float kTol = 1e-4f;

#define EXPECT_VEC(v, ex, ey, ez)  \
  do {                             \
    vector_type v_ = (v);          \
    EXPECT_NEAR(v_.x, (ex), kTol); \
    EXPECT_NEAR(v_.y, (ey), kTol); \
    EXPECT_NEAR(v_.z, (ez), kTol); \
  } while (0)

inline vector_type PosOf(const human_being* h) { return {h->xpos, h->ypos, h->zpos}; }
inline vector_type BoxSize(const human_being* h) {
  return {h->mdl->newBoxMax.x - h->mdl->newBoxMin.x, h->mdl->newBoxMax.y - h->mdl->newBoxMin.y,
          h->mdl->newBoxMax.z - h->mdl->newBoxMin.z};
}
inline vector_type FloatRegs(int n) {
  return {static_cast<float>(*FloatRegister(n)), static_cast<float>(*FloatRegister(n + 1)),
          static_cast<float>(*FloatRegister(n + 2))};
}

class ObjectCommandsTest : public ::testing::Test {
 protected:
  zt::TempDir dir;
  void SetUp() override {
    InitHumanRegistry();
    InitRootGroup();
    InitScriptLists();
    BuiltScriptCommandArrays();
    ResetLightPositions();
    gBiggestID = 0;
    selHuman = nullptr;
    selBone = gSelBone = nullptr;
    selectionType = 0;
    gSelectedGroup = nullptr;
    gHumanScriptTarget = nullptr;
    gHitPerson = nullptr;
    levelChanged = 0;
    gCurrentTime = gOldTime = 0;
    playerPos = {0, 0, 0};
    viewangle = updownangle = zangle = 0;
    gTeam = 0;
    gPlayerCollisions = 1;
    alwaysWalk = 0;
    std::memset(&gScriptVars, 0, sizeof gScriptVars);
    std::string game = dir.path() + "/";
    ZNK_CopyString(routePath, game.c_str(), sizeof routePath);
    ZNK_CopyString(currentLevelFolder, game.c_str(), sizeof currentLevelFolder);
    zmw::Model m = zmw::Box(1, 2, 1);
    zmw::Material second;
    second.name = "Roof";
    second.settings = {"color=1.000000,0.000000,0.000000,1.000000"};
    second.triangles.push_back(m.materials[0].triangles.back());
    m.materials[0].triangles.pop_back();
    m.materials.push_back(second);
    dir.Write("Models/house.wtf", zmw::Write(m));
  }
  void TearDown() override {
    FreeAllGroups();
    while (baseHuman->next) RemoveHuman(baseHuman->next);
    EmptyGroup(&gAllEntities);
    DisposeAllScripts();
    FreeScriptCommandArrays();
    routePath[0] = currentLevelFolder[0] = '\0';
    selHuman = nullptr;
    selBone = gSelBone = nullptr;
    gHumanScriptTarget = nullptr;
    gHitPerson = nullptr;
    gSelectedGroup = nullptr;
    selectionType = 0;
    gCurrentTime = gOldTime = 0;
    levelChanged = 0;
    playerPos = {0, 0, 0};
    viewangle = updownangle = zangle = 0;
    ResetLightPositions();
  }
  static void Run(char* (*command)(char*, char*), std::string parms) { command(&parms[0], nullptr); }
  static std::string Echoed(char* (*command)(char*, char*), std::string parms) {
    char echo[512] = "";
    command(&parms[0], echo);
    return echo;
  }
  human_being* Make(float x = 0, float y = 0, float z = 0) {
    Run(znkinstr_make, "\"house\",x");
    EXPECT_NE(selHuman, nullptr);
    if (selHuman) Run(znkinstr_put, std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z));
    return selHuman;
  }
  static int SelectedEntity() {
    int found = -1;
    for (unsigned i = 0; i < gAllEntities.numEntities; i++)
      if (gAllEntities.entities[i].selected) {
        if (found >= 0) return -2;  // more than one
        found = static_cast<int>(i);
      }
    return found;
  }
};
