// The static checker's messages and line numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/command_table.h"
#include "script/script_file.h"
#include "support/test_support.h"

namespace {
std::string Check(const char* text) {
  zt::ConsoleCapture console;
  BuiltScriptCommandArrays();
  FindBugsInScript(text);
  FreeScriptCommandArrays();
  return console.text();
}
}  // namespace

TEST(ScriptChecker, CleanScriptSaysNothing) {
  EXPECT_EQ(Check("if i,1,=,2\r  quit\relse\rendif\rloop\ridle 1\rendloop\rrepeat 3\rendrepeat\r"), "");
}

TEST(ScriptChecker, StrayClosingAndExitWordsAreReportedWithTheirLine) {
  EXPECT_EQ(Check("else\r"), "// ERROR l.1: \"else\" out of if-statement\n");
  EXPECT_EQ(Check("quit\rexitrepeat\r"), "// ERROR l.2: \"exitrepeat\" out of repeat-loop\n");
  EXPECT_EQ(Check("exitloop"), "// ERROR l.1: \"exitloop\" out of loop\n");
  EXPECT_EQ(Check("\n\nendif\n"),
            "// ERROR l.3: \"endif\" out of if-statement\n"
            "// ERROR: Amount of \"if\" does not match amount of \"endif\"\n// if: 0\t\tendif: 1\n");
}

TEST(ScriptChecker, UnbalancedTotalsAreReportedAtTheEnd) {
  EXPECT_EQ(Check("repeat 2\rrepeat 3\rendrepeat\r"),
            "// ERROR: Amount of \"repeat\" does not match amount of \"endrepeat\"\n"
            "// repeat: 2\t\tendrepeat: 1\n");
  EXPECT_EQ(Check("loop\r"),
            "// ERROR: Amount of \"loop\" does not match amount of \"endloop\"\n// loop: 1\t\tendloop: 0\n");
  EXPECT_EQ(Check("endloop\rloop\r"),
            "// ERROR l.1: \"endloop\" out of loop\n");  // totals match: 1 and 1
}

TEST(ScriptChecker, UnknownCommandsAreWarnedWithTheLineWithoutItsComment) {
  EXPECT_EQ(Check("quit\r#frobnicate 1, 2 // note\r"), "// WARNING l.2: Unknown command: frobnicate 1, 2 \n");
  EXPECT_EQ(Check("Quit\r"), "// WARNING l.1: Unknown command: Quit\n");
}

TEST(ScriptChecker, WindowsLineEndsCountAsOneLine) {
  EXPECT_EQ(Check("quit\r\nelse\r\n"), "// ERROR l.2: \"else\" out of if-statement\n");
}

TEST(ScriptChecker, BlocksLeftOpenAreHandedBackWithTheLineTheyBegin) {
  BuiltScriptCommandArrays();
  zt::ConsoleCapture console;
  std::vector<ScriptBlock> open;
  // Windows line ends count once; the inner "if" is closed, the outer one and the repeat not.
  int messages = FindBugsInScript("if i,1,=,2\r\nrepeat 2\r\n  if i,1,=,3\r\n  endif\r\nbegin m\r\nend\r\nbogus\r\n", &open);
  ASSERT_EQ(open.size(), 2u);
  EXPECT_STREQ(open[0].word, "if");
  EXPECT_EQ(open[0].line, 1);
  EXPECT_STREQ(open[1].word, "repeat");
  EXPECT_EQ(open[1].line, 2);
  EXPECT_EQ(messages, 3);  // the unknown word and the two totals
  EXPECT_NE(console.text().find("// WARNING l.7: Unknown command: bogus"), std::string::npos);

  open.clear();
  FindBugsInScript("begin m\rquit\r", &open);
  FreeScriptCommandArrays();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_STREQ(open[0].word, "begin");
}
