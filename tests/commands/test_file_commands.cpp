// Script text files: open, read with delimiters, write, close, and the refusal to write
// outside the game folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "commands/commands.h"
#include "objects/player.h"
#include "render/projection.h"
#include "shell/input.h"
#include "shell/window.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "support/test_support.h"

extern FILE* scriptFP;

namespace {
void Call(char* (*command)(char*, char*), const std::string& parms) {
  std::string p = parms;
  p.push_back('\0');
  command(&p[0], nullptr);
}

class FileCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    getcwd(saved, sizeof saved);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    routePath[0] = '\0';
  }
  void TearDown() override {
    Call(znkinstr_close, "");
    chdir(saved);
  }
  std::string S(int n) { return StringRegister(n); }
  zt::TempDir dir;
  char saved[4096];
};
}  // namespace

TEST_F(FileCommands, ReadWithTheDefaultDelimiterGivesOneCarriageReturnLinePerCall) {
  dir.Write("lines.txt", "first line\r\r  second\rthird");
  Call(znkinstr_open, "\"lines.txt\",r");
  ASSERT_NE(scriptFP, nullptr);
  Call(znkinstr_read, "");
  EXPECT_EQ(S(1), "first line");
  Call(znkinstr_read, "\"\",2");
  EXPECT_EQ(S(2), "second");  // white space after the line end was eaten
  Call(znkinstr_read, "");
  EXPECT_EQ(S(1), "third");
  Call(znkinstr_read, "");  // at the end of the file the register stays
  EXPECT_EQ(S(1), "third");
}

TEST_F(FileCommands, LineFeedsOnlyFileComesBackWhole) {
  dir.Write("lf.txt", "a\nb\nc");
  Call(znkinstr_open, "\"lf.txt\"");
  Call(znkinstr_read, "");
  EXPECT_EQ(S(1), "a\nb\nc");
}

TEST_F(FileCommands, OwnDelimiterAndEmptyFields) {
  dir.Write("csv.txt", "x,,y");
  Call(znkinstr_open, "\"csv.txt\",r");
  Call(znkinstr_read, "\",\",3");
  EXPECT_EQ(S(3), "x");
  Call(znkinstr_read, "\",\",3");
  EXPECT_EQ(S(3), "");
  Call(znkinstr_read, "\",\",3");
  EXPECT_EQ(S(3), "y");
}

TEST_F(FileCommands, ReadsAreBoundedToTheRegister) {
  dir.Write("big.txt", std::string(10000, 'q'));
  Call(znkinstr_open, "\"big.txt\",r");
  Call(znkinstr_read, "\"\",17");  // register 17 means 1
  EXPECT_EQ(S(1).size(), static_cast<size_t>(kStringRegisterSize - 1));
}

TEST_F(FileCommands, WriteAppendsTheRegisterTextAndOpeningAgainClosesTheFirst) {
  std::strcpy(StringRegister(1), "hello ");
  std::strcpy(StringRegister(2), "world");
  Call(znkinstr_open, "\"out.txt\",w");
  Call(znkinstr_write, "1");
  Call(znkinstr_write, "2");
  Call(znkinstr_open, "\"out.txt\",r");  // closes (and so flushes) the written file
  Call(znkinstr_read, "");
  EXPECT_EQ(S(1), "hello world");
  EXPECT_EQ(zt::ReadFile(dir.path() + "/out.txt"), "hello world");
}

TEST_F(FileCommands, WritingOutsideTheGameFolderIsRefused) {
  zt::ConsoleCapture console;
  Call(znkinstr_open, "\"../escape.txt\",w");
  EXPECT_EQ(scriptFP, nullptr);
  Call(znkinstr_open, "\"/tmp/escape.txt\",a");
  EXPECT_EQ(scriptFP, nullptr);
  EXPECT_NE(console.text().find("//Refused"), std::string::npos);
  EXPECT_EQ(access((dir.path() + "/../escape.txt").c_str(), F_OK), -1);
}

TEST(ScreenMapping, PointStraightAheadProjectsToTheWindowCentreAndTheCursorRayPassesThroughIt) {
  zt::HeadlessGL gl(200, 100);
  ASSERT_TRUE(gl.ok());
  screenRect = {0, 0, 200, 100};
  ReSizeGLScene(screenRect, 0);
  playerPos = {0, 0, 0};
  viewangle = updownangle = zangle = 0.0f;
  doMouseView = 0;
  SetStandardMatrix();  // as every frame leaves it for the scripts
  // The eye is one unit above playerPos; ahead is -z.
  *FloatRegister(4) = 0.0;
  *FloatRegister(5) = 1.0;
  *FloatRegister(6) = -10.0;
  Call(znkinstr_3Dto2D, "4,3");
  EXPECT_NEAR(*IntRegister(3), 100, 1);
  EXPECT_NEAR(*IntRegister(4), 50, 1);

  doMouseView = 1;  // the cursor counts as the window centre
  Call(znkinstr_mouse, "");
  EXPECT_NEAR(*FloatRegister(1), 0.0, 1e-3);
  EXPECT_NEAR(*FloatRegister(2), 1.0, 1e-3);
  EXPECT_LT(*FloatRegister(6), -100.0);  // the far point lies straight ahead
  EXPECT_NEAR(*FloatRegister(4), 0.0, 0.5);
  doMouseView = 0;
}
