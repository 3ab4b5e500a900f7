// key and click: the three key forms, the "?" prefix, the pressed/released/held modes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "commands/commands.h"
#include "commands/echo.h"
#include "script/variables.h"
#include "shell/input.h"

namespace {
int Call(char* (*command)(char*, char*), const std::string& parms, int reg = 1) {
  std::string p = parms;
  p.push_back('\0');
  command(&p[0], nullptr);
  return *BoolRegister(reg);
}

class InputCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(keyMap, 0, sizeof keyMap);
    std::memset(oldKeyMap, 0, sizeof oldKeyMap);
    std::memset(gMouseButtons, 0, sizeof gMouseButtons);
    std::memset(gOldMouseButtons, 0, sizeof gOldMouseButtons);
    for (int i = 1; i <= kNumRegisters; i++) *BoolRegister(i) = 7;
  }
};
}  // namespace

TEST_F(InputCommands, HeldPressedAndReleasedModes) {
  keyMap[0x41] = 1;
  oldKeyMap[0x41] = 1;  // held since the previous pass
  EXPECT_EQ(Call(znkinstr_key, "65,2,h", 2), 1);
  EXPECT_EQ(Call(znkinstr_key, "65,2,n", 2), 0);
  EXPECT_EQ(Call(znkinstr_key, "65,2,o", 2), 0);
  oldKeyMap[0x41] = 0;  // went down in this pass
  EXPECT_EQ(Call(znkinstr_key, "65,2,n", 2), 1);
  keyMap[0x41] = 0;
  oldKeyMap[0x41] = 1;  // let go in this pass
  EXPECT_EQ(Call(znkinstr_key, "65,2,o", 2), 1);
  EXPECT_EQ(Call(znkinstr_key, "65,2,h", 2), 0);
}

TEST_F(InputCommands, QuotedLowercaseLetterTestsTheCapitalsKey) {
  keyMap['W'] = 1;
  EXPECT_EQ(Call(znkinstr_key, "\"w\",3,h", 3), 1);
  EXPECT_EQ(Call(znkinstr_key, "\"W\",3,h", 3), 1);
  EXPECT_EQ(Call(znkinstr_key, "119,3,h", 3), 1);  // a number naming a lowercase letter too
}

TEST_F(InputCommands, SpecialKeysAndCodesAboveOneHundredTwentySeven) {
  keyMap[0x1B] = 1;
  EXPECT_EQ(Call(znkinstr_key, "%53,1,h"), 1);  // the other platform's Escape
  keyMap[0xA0] = 1;
  EXPECT_EQ(Call(znkinstr_key, "160,1,h"), 1);  // left Shift
}

TEST_F(InputCommands, QuestionMarkTakesTheKeyFromStringRegisterOne) {
  keyMap[0x0D] = 1;
  std::strcpy(StringRegister(1), "13,whatever");
  EXPECT_EQ(Call(znkinstr_key, "?,4,h", 4), 1);
}

TEST_F(InputCommands, KeyWithoutRegisterOrWithABadOneChangesNothing) {
  keyMap[0x41] = 1;
  EXPECT_EQ(Call(znkinstr_key, "65", 1), 7);
  EXPECT_EQ(Call(znkinstr_key, "65,17,h", 1), 7);
}

TEST_F(InputCommands, ClickModesSeeEachPressOnce) {
  gMouseButtons[0] = 1;
  EXPECT_EQ(Call(znkinstr_click, "2,n", 2), 1);
  EXPECT_EQ(Call(znkinstr_click, ""), 1);  // default: bool register 1, held
  gOldMouseButtons[0] = 1;
  EXPECT_EQ(Call(znkinstr_click, "2,n", 2), 0);
  gMouseButtons[0] = 0;
  EXPECT_EQ(Call(znkinstr_click, "2,o", 2), 1);
  gOldMouseButtons[0] = 0;
  EXPECT_EQ(Call(znkinstr_click, "2,o", 2), 0);
}

TEST_F(InputCommands, ClickEchoesItsResult) {
  char echo[kEchoBufferSize] = "click";
  char parms[] = "1,x";
  gMouseButtons[0] = 1;
  znkinstr_click(parms, echo);
  EXPECT_STREQ(echo, "click // true");
}
