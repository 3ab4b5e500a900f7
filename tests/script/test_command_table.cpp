// Command lookup through the 36 buckets, dispatch, and the fallback to macros.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "script/command_table.h"
#include "script/script_file.h"

namespace {
int CountTable() {
  int n = 0;
  while (std::strcmp(gAllInstructions[n].name, "NULL") != 0) n++;
  return n;
}

class CommandTable : public ::testing::Test {
 protected:
  void SetUp() override { BuiltScriptCommandArrays(); }
  void TearDown() override {
    FreeAllMacros();
    FreeScriptCommandArrays();
  }
};
}  // namespace

TEST_F(CommandTable, HoldsTheWholeVocabularyOnce) {
  EXPECT_EQ(CountTable(), 142);
  std::set<std::string> words;
  for (int i = 0; i < CountTable(); i++) {
    EXPECT_TRUE(words.insert(gAllInstructions[i].name).second) << gAllInstructions[i].name;
    EXPECT_NE(gAllInstructions[i].func, nullptr) << gAllInstructions[i].name;
  }
  int total = 0;
  for (int b = 0; b < kCommandBuckets; b++) total += gScriptCommandArraySizes[b];
  EXPECT_EQ(total, 142);
  EXPECT_EQ(gScriptCommandArraySizes['s' - 'a'], 29);  // the largest bucket
}

TEST_F(CommandTable, EveryWordIsFoundInItsBucketInTableOrder) {
  for (int i = 0; i < CountTable(); i++) {
    ZNK_Instruction* found = GetZNKInstruction(gAllInstructions[i].name);
    ASSERT_NE(found, nullptr) << gAllInstructions[i].name;
    EXPECT_STREQ(found->name, gAllInstructions[i].name);
    EXPECT_EQ(found->func, gAllInstructions[i].func);
  }
  // Bucket order follows table order: "get" precedes "getName" in the g bucket.
  int g = 'g' - 'a';
  EXPECT_STREQ(sortedArrays[g][0].name, "get");
}

TEST_F(CommandTable, DigitBucketHoldsThreeDtoTwoD) {
  ASSERT_EQ(gScriptCommandArraySizes[29], 1);
  EXPECT_STREQ(sortedArrays[29][0].name, "3Dto2D");
  EXPECT_NE(GetZNKInstruction("3Dto2D"), nullptr);
}

TEST_F(CommandTable, ShortCapitalisedAndUnknownWordsAreNoCommands) {
  EXPECT_EQ(GetZNKInstruction("g"), nullptr);
  EXPECT_EQ(GetZNKInstruction(""), nullptr);
  EXPECT_EQ(GetZNKInstruction("Get"), nullptr);
  EXPECT_EQ(GetZNKInstruction("-get"), nullptr);
  EXPECT_EQ(GetZNKInstruction("getname"), nullptr);  // case-sensitive
  EXPECT_EQ(GetZNKInstruction("gets"), nullptr);
  EXPECT_EQ(GetZNKInstruction("ge"), nullptr);
}

namespace {
// A macro whose body is a script with no compiled instructions: running it reports that
// the dispatcher reached it through the line interpreter's entry.
macroScript* AddMacro(const char* name) {
  macroScript* m = new macroScript();
  ZNK_CopyString(m->name, name, sizeof m->name);
  m->next = baseMacro.next;
  baseMacro.next = m;
  return m;
}
}  // namespace

TEST_F(CommandTable, UnknownWordRunsAMacroOfThatExactNameOrNothing) {
  char parms[] = "";
  EXPECT_EQ(ExecuteZNKCommand("Walk", parms, nullptr), 0);
  AddMacro("Walk");  // no body yet: found, does nothing
  EXPECT_EQ(ExecuteZNKCommand("Walk", parms, nullptr), 1);
  EXPECT_EQ(ExecuteZNKCommand("walk", parms, nullptr), 0);
  EXPECT_EQ(ExecuteZNKCommand("W", parms, nullptr), 0);
  AddMacro("W");  // a one-letter word can still name a macro
  EXPECT_EQ(ExecuteZNKCommand("W", parms, nullptr), 1);
}

TEST_F(CommandTable, CommandWinsOverAMacroOfTheSameName) {
  AddMacro("numobjects");
  ZNK_Instruction* entry = GetZNKInstruction("numobjects");
  ASSERT_NE(entry, nullptr);
  // Dispatch takes the table entry; the macro list is not consulted.
  char parms[] = "";
  EXPECT_EQ(ExecuteZNKCommand("numobjects", parms, nullptr), 1);
  EXPECT_EQ(FindMacro("numobjects")->theScript, nullptr);
}
