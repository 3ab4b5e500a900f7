// Level switch, tint and world reset.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "effects/particles.h"
#include "objects/human.h"
#include "render/textures.h"
#include "script/command_table.h"
#include "script/script_file.h"
#include "shell/level.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace {
class LevelSwitch : public ::testing::Test {
 protected:
  void SetUp() override {
    getcwd(saved, sizeof saved);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    routePath[0] = '\0';
    currentLevelFolder[0] = '\0';
    InitHumanRegistry();
    InitScriptLists();
    InitTextureCache();
    InitParticleAndTextLists();
    BuiltScriptCommandArrays();
    levelChanged = 0;
    baseCol1 = baseCol2 = baseCol3 = 1.0f;
    editMode = 4;
  }
  void TearDown() override {
    ReturnToNothing(1);
    FreeScriptCommandArrays();
    levelChanged = 0;
    baseCol1 = baseCol2 = baseCol3 = 1.0f;
    chdir(saved);
  }
  zt::TempDir dir;
  char saved[4096];
};
}  // namespace

TEST_F(LevelSwitch, EmptyFolderChangesNothing) {
  ZNK_scripter* s = LoadScript(dir.Write("Data/game script.txt", "quit\n").c_str());
  ASSERT_NE(s, nullptr);
  LoadLevel("");
  EXPECT_EQ(levelChanged, 0);
  EXPECT_EQ(baseScript.next, s);
}

TEST_F(LevelSwitch, ValidFolderLoadsItsScriptAndTint) {
  zt::ConsoleCapture console;
  dir.Write("one/load script.txt", "output \"in one\"\n");
  dir.Write("one/tint", "0.5, 0.25, 0.75\n");
  LoadScript(dir.Write("Data/game script.txt", "quit\n").c_str());
  LoadLevel("one/");
  EXPECT_EQ(levelChanged, 1);
  EXPECT_STREQ(currentLevelFolder, "one/");
  ASSERT_NE(baseScript.next, nullptr);  // the old scripts are gone, the load script waits
  EXPECT_EQ(std::string(baseScript.next->signature), "one/load script.txt");
  EXPECT_EQ(baseScript.next->next, nullptr);
  EXPECT_FLOAT_EQ(tintColor.y, 0.25f);
  EXPECT_EQ(console.text(), "//Loading level\n");  // the script starts with the next pass
}

TEST_F(LevelSwitch, FolderWithoutTintKeepsTheTintAndAFailedSwitchKeepsTheFolder) {
  dir.Write("one/load script.txt", "\n");
  dir.Write("one/tint", "0.5, 0.5, 0.5\n");
  dir.Write("two/load script.txt", "\n");
  LoadLevel("one/");
  LoadLevel("two/");
  EXPECT_STREQ(currentLevelFolder, "two/");
  EXPECT_FLOAT_EQ(baseCol1, 0.5f);

  zt::ConsoleCapture console;
  levelChanged = 0;
  LoadLevel("missing/");
  EXPECT_EQ(levelChanged, 1);
  EXPECT_STREQ(currentLevelFolder, "two/");
  EXPECT_EQ(console.text(),
            "//Loading level\n//Loading failed. Chosen folder is not a valid level folder.\n");
  EXPECT_EQ(baseScript.next, nullptr);  // the world was emptied all the same
}

TEST_F(LevelSwitch, ResetKeepsTexturesUnlessAll) {
  zt::HeadlessGL gl;
  ASSERT_TRUE(gl.ok());
  // A 1x1 white PNG, made in the test.
  static const unsigned char kPng[] = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
      0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53,
      0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44, 0x41, 0x54, 0x08, 0xD7, 0x63, 0xF8, 0xFF, 0xFF, 0x3F,
      0x00, 0x05, 0xFE, 0x02, 0xFE, 0xDC, 0xCC, 0x59, 0xE7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E,
      0x44, 0xAE, 0x42, 0x60, 0x82};
  dir.Write("white.png", std::string(reinterpret_cast<const char*>(kPng), sizeof kPng));
  ASSERT_NE(AddTextureToCache("white.png"), nullptr);
  ReturnToNothing(0);
  EXPECT_NE(GetTextureByName("white.png"), 0u);
  ReturnToNothing(1);
  EXPECT_EQ(GetTextureByName("white.png"), 0u);
}

TEST_F(LevelSwitch, ResetFreesParticlesAndClearsTheSelection) {
  ParticleSystemSettings s;
  s.count = 3;
  s.life = 1.0f;
  CreateParticleSystem(s);
  human_being fake{};
  selHuman = &fake;
  ReturnToNothing(0);
  EXPECT_EQ(baseParticleSystem.next, nullptr);
  EXPECT_EQ(selHuman, nullptr);
  EXPECT_EQ(gBiggestID, 0);
}
