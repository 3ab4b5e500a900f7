// The object commands of the registry and the skeleton: make, off, getName, getModel, getID,
// numobjects, poseanim, straight and pushAnim.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../../tools/zntl_model_writer.h"
#include "commands/commands.h"
#include "commands/selection.h"
#include "groups/groups.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "support/test_support.h"

namespace {

char* P(std::string& text) { return &text[0]; }

class ObjectCommands : public ::testing::Test {
 protected:
  zt::TempDir dir;
  void SetUp() override {
    InitHumanRegistry();
    InitRootGroup();
    gBiggestID = 0;
    selHuman = nullptr;
    gHumanScriptTarget = nullptr;
    levelChanged = 0;
    gCurrentTime = 0;
    std::memset(&gScriptVars, 0, sizeof gScriptVars);
    std::string game = dir.path() + "/";
    ZNK_CopyString(routePath, game.c_str(), sizeof routePath);
    ZNK_CopyString(currentLevelFolder, game.c_str(), sizeof currentLevelFolder);
    zmw::Model m = zmw::Box(1, 2, 1);
    zmw::Animation wave;
    wave.name = "Wave";
    wave.instructions = {{0, 0, "set=1,0,0,0,0,10,0"}, {0, 1, "morph=1,0,0,0,0,90,0"}};
    m.animations.push_back(wave);
    dir.Write("Models/house.wtf", zmw::Write(m));
  }
  void TearDown() override {
    while (baseHuman->next) RemoveHuman(baseHuman->next);
    EmptyGroup(&gAllEntities);
    routePath[0] = currentLevelFolder[0] = '\0';
    selHuman = nullptr;
    gCurrentTime = 0;
    levelChanged = 0;
  }
  void Run(char* (*command)(char*, char*), std::string parms) { command(P(parms), nullptr); }
};

TEST_F(ObjectCommands, MakeSelectsTheNewObjectWithOrWithoutTheExtension) {
  Run(znkinstr_make, "\"house\",x");
  ASSERT_NE(selHuman, nullptr);
  EXPECT_STREQ(selHuman->name, "house1");
  Run(znkinstr_make, "\"house.wtf\",x");
  ASSERT_NE(selHuman, nullptr);
  EXPECT_STREQ(selHuman->name, "house2");
  EXPECT_STREQ(selHuman->mdl->signature, "house.wtf");

  ZNK_CopyString(StringRegister(1), "house", kStringRegisterSize);
  Run(znkinstr_make, "");
  EXPECT_STREQ(selHuman->name, "house3");
}

TEST_F(ObjectCommands, MakeOfAMissingModelSaysSo) {
  zt::ConsoleCapture console;
  selectionType = 2;
  Run(znkinstr_make, "\"castle\",x");
  EXPECT_EQ(console.text(), "//Could not find model!\n");
  EXPECT_EQ(selectionType, 0);
  EXPECT_EQ(baseHuman->next, nullptr);
}

TEST_F(ObjectCommands, IdentityIntoRegisters) {
  Run(znkinstr_make, "\"house\",x");
  Run(znkinstr_make, "\"house\",x");
  char echo[512] = "";
  std::string two = "2";
  znkinstr_getName(P(two), echo);
  EXPECT_STREQ(StringRegister(2), "house2");
  EXPECT_STREQ(echo, " // house2");
  Run(znkinstr_getModel, "0");
  EXPECT_STREQ(StringRegister(1), "house.wtf");
  Run(znkinstr_getID, "0");
  EXPECT_EQ(*IntRegister(1), 1);
  Run(znkinstr_numobjects, "3");
  EXPECT_EQ(*IntRegister(3), 2);
  // With the camera selected getID gives the next ID; numbers outside the bank write nothing.
  selHuman = nullptr;
  Run(znkinstr_getID, "5");
  EXPECT_EQ(*IntRegister(5), 2);
  Run(znkinstr_getName, "4");
  EXPECT_STREQ(StringRegister(4), "");
  Run(znkinstr_numobjects, "17");
}

TEST_F(ObjectCommands, OffRemovesAndStopsTheRunningObjectsScript) {
  Run(znkinstr_make, "\"house\",x");
  human_being* first = selHuman;
  Run(znkinstr_make, "\"house\",x");
  Run(znkinstr_off, "");
  EXPECT_EQ(selHuman, nullptr);
  EXPECT_EQ(levelChanged, 0);
  EXPECT_EQ(gBiggestID, 1);
  selHuman = first;
  gHumanScriptTarget = first;
  Run(znkinstr_off, "");
  EXPECT_EQ(gHumanScriptTarget, nullptr);
  EXPECT_EQ(levelChanged, 1);
  EXPECT_EQ(baseHuman->next, nullptr);
  Run(znkinstr_off, "");  // nothing selected: nothing happens
}

TEST_F(ObjectCommands, PoseanimStartsAndAdvancesAtOnce) {
  Run(znkinstr_make, "\"house\",x");
  zntlmdl* mdl = selHuman->mdl;
  gCurrentTime = 1000;
  Run(znkinstr_poseanim, "\"Wave\",0.5,true");
  EXPECT_EQ(mdl->animations[0].looping, 1);
  EXPECT_EQ(mdl->timelines[1].start, 500u);
  // The set at the animation's start already applied, then the morph half way.
  EXPECT_FLOAT_EQ(mdl->bones[1].yang, 10.0f + 0.5f * 80.0f);
  Run(znkinstr_poseanim, "\"Nothing\",0,false");
  EXPECT_EQ(mdl->animations[0].looping, 1);
}

TEST_F(ObjectCommands, PushAnimMarksAndPoseanimUsesThem) {
  Run(znkinstr_make, "\"house\",x");
  zntlmdl* mdl = selHuman->mdl;
  gCurrentTime = 300;
  Run(znkinstr_pushAnim, "1");
  gCurrentTime = 700;
  Run(znkinstr_pushAnim, "7");  // slot 3
  gCurrentTime = 800;
  Run(znkinstr_pushAnim, "0");  // slot 1 again
  EXPECT_EQ(mdl->timelines[0].timeOffset[0], 800u);
  EXPECT_EQ(mdl->timelines[1].timeOffset[2], 700u);
  gCurrentTime = 1200;
  Run(znkinstr_poseanim, "\"Wave\",-3,false");
  EXPECT_EQ(mdl->timelines[1].start, 700u);
  EXPECT_FLOAT_EQ(mdl->bones[1].yang, 10.0f + 0.5f * 80.0f);
}

TEST_F(ObjectCommands, StraightStopsAnimationAndOptionallyRests) {
  Run(znkinstr_make, "\"house\",x");
  zntlmdl* mdl = selHuman->mdl;
  Run(znkinstr_poseanim, "\"Wave\",0,false");
  EXPECT_FLOAT_EQ(mdl->bones[1].yang, 10.0f);
  Run(znkinstr_straight, "false");
  EXPECT_EQ(mdl->timelines[1].whichAnimation, nullptr);
  EXPECT_EQ(mdl->timelines[1].numInstructions, 0);
  EXPECT_FLOAT_EQ(mdl->bones[1].yang, 10.0f);
  Run(znkinstr_straight, "true");
  EXPECT_FLOAT_EQ(mdl->bones[1].yang, 0.0f);
}

}  // namespace
