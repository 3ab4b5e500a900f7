// Which scripts run in a logic pass: global scripts, object scripts by event mask,
// attaching and reloading script files, and the stop after a level switch.
#include <gtest/gtest.h>

#include <string>

#include "objects/human.h"
#include "script/command_table.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace {
class Scheduling : public ::testing::Test {
 protected:
  void SetUp() override {
    InitScriptLists();
    BuiltScriptCommandArrays();
    levelChanged = 0;
    selHuman = nullptr;
    routePath[0] = '\0';
    head = human_being();
    a = human_being();
    b = human_being();
    head.next = &a;
    a.next = &b;
    savedBase = baseHuman;
    baseHuman = &head;
  }
  void TearDown() override {
    RemoveHumanScripts(&a);
    RemoveHumanScripts(&b);
    DisposeAllScripts();
    FreeScriptCommandArrays();
    baseHuman = savedBase;
    selHuman = nullptr;
    levelChanged = 0;
  }
  // A script that prints `word` once in every pass it runs.
  std::string Ticker(const std::string& file, const std::string& word) {
    return dir.Write(file, "loop\noutput \"" + word + "\"\nendloop\n");
  }
  zt::TempDir dir;
  human_being head, a, b;
  human_being* savedBase = nullptr;
};
}  // namespace

TEST_F(Scheduling, ObjectScriptsAnswerEveryBitTheirMaskShares) {
  zt::ConsoleCapture console;
  selHuman = &a;
  ZNKSetScript(Ticker("every.txt", "3").c_str(), 3);
  ZNKSetScript(Ticker("event.txt", "2").c_str(), 2);
  ASSERT_NE(a.scripts, nullptr);
  EXPECT_EQ(a.scripts->caller, &a);

  HandleHumanScriptsForMask(1);
  EXPECT_EQ(console.text(), "3");
  console.clear();
  ExecuteHumanScriptsForMask(&a, 2);  // what the event command raises
  EXPECT_EQ(console.text(), "32");
}

TEST_F(Scheduling, MaskZeroNeverRunsAndANegativeMaskKeepsTheOldOne) {
  zt::ConsoleCapture console;
  selHuman = &a;
  std::string file = Ticker("s.txt", "x");
  ZNKSetScript(file.c_str(), -1);
  EXPECT_EQ(a.scripts->eventMask, 0);
  HandleHumanScriptsForMask(1);
  EXPECT_EQ(console.text(), "");
  ZNKSetScript(file.c_str(), 1);
  ZNKSetScript(file.c_str(), -1);
  EXPECT_EQ(a.scripts->eventMask, 1);
}

TEST_F(Scheduling, AttachingTheSameFileTwiceReloadsItPerList) {
  std::string file = Ticker("s.txt", "x");
  selHuman = &a;
  ZNKSetScript(file.c_str(), 1);
  ZNKSetScript(file.c_str(), 1);
  ASSERT_NE(a.scripts, nullptr);
  EXPECT_EQ(a.scripts->next, nullptr);
  selHuman = &b;
  ZNKSetScript(file.c_str(), 1);
  ASSERT_NE(b.scripts, nullptr);
  EXPECT_NE(b.scripts, a.scripts);
  selHuman = nullptr;
  ZNKSetScript(file.c_str(), 1);
  ASSERT_NE(baseScript.next, nullptr);
  EXPECT_EQ(baseScript.next->caller, nullptr);
  EXPECT_EQ(std::string(baseScript.next->signature), file);
}

TEST_F(Scheduling, ReloadReplacesTheTextAndRestartsIt) {
  zt::ConsoleCapture console;
  std::string file = dir.Write("s.txt", "output \"old\"\n");
  ZNKSetScript(file.c_str(), 0);
  HandleGameScripts();
  dir.Write("s.txt", "output \"new\"\nelse\n");
  ZNKSetScript(file.c_str(), 0);  // the checker reports the new text's mistakes
  HandleGameScripts();
  EXPECT_EQ(console.text(), "old// ERROR l.2: \"else\" out of if-statement\nnew");
}

TEST_F(Scheduling, MissingFileIsReportedAndChangesNothing) {
  zt::ConsoleCapture console;
  ZNKSetScript("no such file.txt", 1);
  EXPECT_EQ(console.text(), "//Error loading script: \"no such file.txt\"\n");
  EXPECT_EQ(baseScript.next, nullptr);
}

TEST_F(Scheduling, GlobalScriptsRunInOrderAndSeeNoTarget) {
  zt::ConsoleCapture console;
  ZNKSetScript(Ticker("one.txt", "1").c_str(), 0);
  ZNKSetScript(Ticker("two.txt", "2").c_str(), 0);
  gHumanScriptTarget = &a;
  HandleGameScripts();
  EXPECT_EQ(console.text(), "12");
  EXPECT_EQ(gHumanScriptTarget, nullptr);
}

namespace {
char* SwitchLevel(char*, char*) {
  levelChanged = 1;
  return nullptr;
}
}  // namespace

TEST_F(Scheduling, ALevelSwitchEndsThePass) {
  // A command that switches the level, standing in for "level" under a harmless word.
  ZNK_Instruction* entry = GetZNKInstruction("savekey");
  ASSERT_NE(entry, nullptr);
  entry->func = SwitchLevel;
  zt::ConsoleCapture console;
  ZNKSetScript(dir.Write("one.txt", "output \"1\"\nsavekey\noutput \"after\"\n").c_str(), 0);
  ZNKSetScript(Ticker("two.txt", "2").c_str(), 0);
  HandleGameScripts();
  EXPECT_EQ(console.text(), "1");
  EXPECT_EQ(levelChanged, 1);
}
