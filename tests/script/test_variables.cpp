// Named variables: lookup order (selected object first), installation, conversions on
// reading, retyping on writing, and the engine settings bound by name.
#include <gtest/gtest.h>

#include <cstring>

#include "objects/human.h"
#include "script/engine_variables.h"
#include "script/variables.h"
#include "shell/timed_tasks.h"

namespace {
class Variables : public ::testing::Test {
 protected:
  void SetUp() override {
    InitVariableLists();
    selHuman = nullptr;
  }
  void TearDown() override {
    selHuman = nullptr;
    DisposeVariableList(object_.myVars);
    object_.myVars = nullptr;
    InitVariableLists();
  }
  human_being object_ = {};
};
}  // namespace

TEST_F(Variables, RegistersAreNumberedFromOneAndBoundedToSixteen) {
  EXPECT_EQ(FloatRegister(1), &gScriptVars.floats[0]);
  EXPECT_EQ(IntRegister(16), &gScriptVars.ints[15]);
  EXPECT_EQ(BoolRegister(0), nullptr);
  EXPECT_EQ(StringRegister(17), nullptr);
  EXPECT_EQ(IntRegister(-3), nullptr);
}

TEST_F(Variables, TextVariablesConvertOnReading) {
  InstallZNKVariablePointer("v", nullptr, 1, kVarText);
  EXPECT_STREQ(GetString_ZNK("v"), "");
  SetString_ZNK("v", "42.75abc");
  EXPECT_EQ(GetInt("v"), 42);
  EXPECT_FLOAT_EQ(GetFloat("v"), 42.75f);
  EXPECT_EQ(GetBoolean("v"), 0);
  SetString_ZNK("v", "true");
  EXPECT_EQ(GetBoolean("v"), 1);
  SetString_ZNK("v", "TRUE");
  EXPECT_EQ(GetBoolean("v"), 0);
  SetString_ZNK("v", "0123456789012345678901234567890123456789");
  EXPECT_EQ(std::strlen(GetString_ZNK("v")), 31u);
  SetString_ZNK("v", GetString_ZNK("v"));  // its own text back
  EXPECT_EQ(std::strlen(GetString_ZNK("v")), 31u);
}

TEST_F(Variables, WritingRetypesOwnedStorage) {
  InstallZNKVariablePointer("v", nullptr, 1, kVarText);
  SetInt("v", -7);
  EXPECT_EQ(gVarPtr->dataType, kVarInt);
  EXPECT_STREQ(GetString_ZNK("v"), "-7");
  EXPECT_FLOAT_EQ(GetFloat("v"), -7.0f);
  SetFloat("v", -2.5f);
  EXPECT_EQ(GetInt("v"), -2);
  EXPECT_STREQ(GetString_ZNK("v"), "-2.500000");
  EXPECT_EQ(GetBoolean("v"), 1);
  SetBoolean("v", 1);
  EXPECT_STREQ(GetString_ZNK("v"), "true");
  EXPECT_FLOAT_EQ(GetFloat("v"), 1.0f);
  SetBoolean("v", 0);
  EXPECT_STREQ(GetString_ZNK("v"), "false");
}

TEST_F(Variables, MissingVariablesReadNeutralAndIgnoreWrites) {
  SetInt("nothing", 5);
  EXPECT_EQ(GetVarEntry("nothing"), nullptr);
  EXPECT_EQ(GetInt("nothing"), 0);
  EXPECT_EQ(GetFloat("nothing"), 0.0f);
  EXPECT_EQ(GetBoolean("nothing"), 0);
  EXPECT_STREQ(GetString_ZNK("nothing"), "");
}

TEST_F(Variables, InstallingANameTwiceKeepsTheFirstBinding) {
  int first = 3, second = 9;
  InstallZNKVariablePointer("x", &first, 0, kVarInt);
  InstallZNKVariablePointer("x", &second, 0, kVarInt);
  EXPECT_EQ(GetInt("x"), 3);
  int count = 0;
  for (vaPtr* v = gGameVariables.next; v; v = v->next) count += std::strcmp(v->signature, "x") == 0;
  EXPECT_EQ(count, 1);
}

TEST_F(Variables, SelectedObjectsPrivateVariableShadowsTheGlobalOne) {
  InstallZNKVariablePointer("hp", nullptr, 1, kVarText);
  SetInt("hp", 10);
  InstallHumanVariablePointer(&object_, "hp", nullptr, 1, kVarText);
  InstallHumanVariablePointer(&object_, "hp", nullptr, 1, kVarText);
  ASSERT_NE(object_.myVars, nullptr);
  EXPECT_EQ(object_.myVars->next, nullptr);
  selHuman = &object_;
  SetInt("hp", 3);
  EXPECT_EQ(GetInt("hp"), 3);
  EXPECT_EQ(GetHumanVarEntry(&object_, "hp"), object_.myVars);
  selHuman = nullptr;
  EXPECT_EQ(GetInt("hp"), 10);
  selHuman = &object_;
  EXPECT_EQ(GetVarEntry("none"), nullptr);
}

TEST_F(Variables, EngineVariablesAreBoundToTheGlobalsInOrder) {
  InstallEngineVariables();
  const char* names[] = {"doMouseView", "doFog",      "gFogStart",  "gFogEnd",   "gameSpeed",
                         "fps",         "poly",       "gInnerColl", "gCollSlide", "gMouseSpeed"};
  vaPtr* v = gGameVariables.next;
  for (const char* name : names) {
    ASSERT_NE(v, nullptr) << name;
    EXPECT_STREQ(v->signature, name);
    EXPECT_EQ(v->malloced, 0);
    v = v->next;
  }
  EXPECT_EQ(v, nullptr);
  EXPECT_FLOAT_EQ(GetFloat("gFogEnd"), 200.0f);
  EXPECT_EQ(GetBoolean("gCollSlide"), 1);
  fps = 59.5f;
  EXPECT_FLOAT_EQ(GetFloat("fps"), 59.5f);
  fps = 0;
}

TEST_F(Variables, WritesIntoEngineGlobalsRetypeTheVariableAndKeepTheGlobalsType) {
  InstallEngineVariables();
  float savedSpeed = gGameSpeedFactor;
  SetInt("gameSpeed", 3);
  EXPECT_FLOAT_EQ(gGameSpeedFactor, 3.0f);
  EXPECT_EQ(gVarPtr->dataType, kVarInt);
  EXPECT_STREQ(GetString_ZNK("gameSpeed"), "3");
  EXPECT_FLOAT_EQ(GetFloat("gameSpeed"), 3.0f);
  SetString_ZNK("gameSpeed", "0.5 fast");
  EXPECT_FLOAT_EQ(gGameSpeedFactor, 0.5f);
  EXPECT_STREQ(GetString_ZNK("gameSpeed"), "0.5 fast");
  EXPECT_EQ(GetInt("gameSpeed"), 0);
  // A value of the global's own type reads the global again, as the engine changes it.
  SetFloat("gameSpeed", 2.0f);
  gGameSpeedFactor = 4.0f;
  EXPECT_STREQ(GetString_ZNK("gameSpeed"), "4.000000");

  SetFloat("poly", 7.9f);
  EXPECT_EQ(gTrigsDrawn, 7);
  EXPECT_STREQ(GetString_ZNK("poly"), "7.900000");
  SetInt("doFog", 5);
  EXPECT_EQ(doFog, 1);
  EXPECT_EQ(GetInt("doFog"), 5);
  SetString_ZNK("doFog", "true");
  EXPECT_EQ(doFog, 1);
  EXPECT_EQ(GetBoolean("doFog"), 1);
  SetBoolean("gFogEnd", 1);
  EXPECT_FLOAT_EQ(gFogEnd, 1.0f);
  EXPECT_STREQ(GetString_ZNK("gFogEnd"), "true");
  SetFloat("doFog", 0.0f);
  EXPECT_EQ(doFog, 0);
  gGameSpeedFactor = savedSpeed;
  gTrigsDrawn = 0;
  gFogEnd = 200.0f;
}
