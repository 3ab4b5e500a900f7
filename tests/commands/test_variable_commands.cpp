// Variable and arithmetic commands: scan formats, register defaults, conversions,
// single-precision rounding, bounds and the echo texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "commands/commands.h"
#include "objects/human.h"
#include "objects/vector_math.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "support/test_support.h"

namespace {
class VariableCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    gScriptVars = variable_list();
    gScriptVars2 = variable_list();
    InitVariableLists();
  }
  void TearDown() override { InitVariableLists(); }
  // Runs a command on a writable copy of its parameter text.
  void Run(char* (*command)(char*, char*), const std::string& parms, char* echo = nullptr) {
    std::string copy = parms;
    command(&copy[0], echo);
  }
  double& F(int n) { return gScriptVars.floats[n - 1]; }
  int32_t& I(int n) { return gScriptVars.ints[n - 1]; }
  int32_t& B(int n) { return gScriptVars.bools[n - 1]; }
  char* S(int n) { return gScriptVars.strings[n - 1]; }
};
}  // namespace

TEST_F(VariableCommands, SetiTakesLiteralsAndEveryRegisterBank) {
  F(1) = -2.7;
  Run(znkinstr_setInt, "2,f1");
  EXPECT_EQ(I(2), -2);
  Run(znkinstr_setInt, "3,-15");
  EXPECT_EQ(I(3), -15);
  Run(znkinstr_setInt, "4,i3");
  EXPECT_EQ(I(4), -15);
  B(2) = 1;
  Run(znkinstr_setInt, "5,b2");
  EXPECT_EQ(I(5), 1);
  std::strcpy(S(1), "42xyz");
  Run(znkinstr_setInt, "6,s1");
  EXPECT_EQ(I(6), 42);
  // Both numbers must be given; registers outside the bank change nothing.
  Run(znkinstr_setInt, "7");
  Run(znkinstr_setInt, "17,5");
  Run(znkinstr_setInt, "7,i17");
  EXPECT_EQ(I(7), 0);
}

TEST_F(VariableCommands, SetfStoresTheSinglePrecisionValue) {
  Run(znkinstr_setFloat, "1,0.1");
  EXPECT_EQ(F(1), static_cast<double>(0.1f));
  EXPECT_NE(F(1), 0.1);
  I(2) = 7;
  Run(znkinstr_setFloat, "2,i2");
  EXPECT_EQ(F(2), 7.0);
  std::strcpy(S(3), "2.5e1");
  Run(znkinstr_setFloat, "3,s3");
  EXPECT_EQ(F(3), 25.0);
  F(4) = 0.1;
  Run(znkinstr_setFloat, "5,f4");
  EXPECT_EQ(F(5), static_cast<double>(0.1f));
}

TEST_F(VariableCommands, SetbKnowsTrueFalseAndBoolRegisters) {
  Run(znkinstr_setBool, "1,true");
  EXPECT_EQ(B(1), 1);
  Run(znkinstr_setBool, "2,b1");
  EXPECT_EQ(B(2), 1);
  Run(znkinstr_setBool, "1,false");
  EXPECT_EQ(B(1), 0);
  Run(znkinstr_setBool, "2,yes");
  EXPECT_EQ(B(2), 1);
}

TEST_F(VariableCommands, SetsQuotedTextWithEscapesAndFromRegisters) {
  Run(znkinstr_setString, "2,\"a,b\\nc\"");
  EXPECT_STREQ(S(2), "a,b\nc");
  Run(znkinstr_setString, "20,\"x\"");
  EXPECT_STREQ(S(1), "x");  // outside 1..16 means 1
  std::strcpy(S(3), "keep");
  Run(znkinstr_setString, "3,s3");
  EXPECT_STREQ(S(3), "keep");
  Run(znkinstr_setString, "4,s3");
  EXPECT_STREQ(S(4), "keep");
  F(1) = 1.5;
  Run(znkinstr_setString, "5,f1");
  EXPECT_STREQ(S(5), "1.500000");
  I(2) = -3;
  Run(znkinstr_setString, "6,i2");
  EXPECT_STREQ(S(6), "-3");
  Run(znkinstr_setString, "7,b1");
  EXPECT_STREQ(S(7), "false");
  Run(znkinstr_setString, "0,i2");  // below 1 means 1
  EXPECT_STREQ(S(1), "-3");
  Run(znkinstr_setString, "8,q1");
  EXPECT_STREQ(S(8), "");
}

TEST_F(VariableCommands, AppendJoinsAndStaysInsideTheRegister) {
  std::strcpy(S(1), "ab");
  std::strcpy(S(2), "cd");
  Run(znkinstr_append, "");
  EXPECT_STREQ(S(1), "abcd");
  Run(znkinstr_append, "1,1");
  EXPECT_STREQ(S(1), "abcdabcd");
  std::memset(S(3), 'x', kStringRegisterSize - 1);
  S(3)[kStringRegisterSize - 1] = '\0';
  Run(znkinstr_append, "3,2");
  EXPECT_EQ(std::strlen(S(3)), static_cast<size_t>(kStringRegisterSize - 1));
}

TEST_F(VariableCommands, IntegerArithmetic) {
  I(1) = 7;
  Run(znkinstr_addi, "1,5");
  EXPECT_EQ(I(1), 12);
  F(1) = 2.9;
  Run(znkinstr_multi, "1,f1");
  EXPECT_EQ(I(1), 24);
  Run(znkinstr_divi, "1,-5");
  EXPECT_EQ(I(1), -4);
  Run(znkinstr_divi, "1,0");
  EXPECT_EQ(I(1), -4);
  Run(znkinstr_addi, "1,s1");  // a string operand changes nothing
  EXPECT_EQ(I(1), -4);
  I(2) = 2;
  Run(znkinstr_powi, "2,10");
  EXPECT_EQ(I(2), 1024);
  I(3) = 2147483647;
  Run(znkinstr_addi, "3,1");  // 32-bit wrap, no undefined overflow
  EXPECT_EQ(I(3), -2147483647 - 1);
}

TEST_F(VariableCommands, FloatArithmeticHoldsTheOperandInSinglePrecision) {
  F(1) = 1.0;
  Run(znkinstr_addf, "1,0.1");
  EXPECT_EQ(F(1), 1.0 + static_cast<double>(0.1f));
  F(2) = 3.0;
  Run(znkinstr_multf, "2,i1");  // i1 is 0
  EXPECT_EQ(F(2), 0.0);
  F(2) = 3.0;
  Run(znkinstr_divf, "2,0");
  EXPECT_EQ(F(2), 3.0);
  Run(znkinstr_divf, "2,2");
  EXPECT_EQ(F(2), 1.5);
  Run(znkinstr_powf, "2,2");
  EXPECT_EQ(F(2), 2.25);
  F(3) = 0.0;
  Run(znkinstr_reciproc, "3");
  EXPECT_TRUE(std::isinf(F(3)));
  F(1) = 4.0;
  Run(znkinstr_reciproc, "");
  EXPECT_EQ(F(1), 0.25);
  F(4) = 9.0;
  Run(znkinstr_sqrt, "4,5");
  EXPECT_EQ(F(5), 3.0);
  F(4) = -1.0;
  Run(znkinstr_sqrt, "4,5");
  EXPECT_TRUE(std::isnan(F(5)));
  Run(znkinstr_sqrt, "4");  // both numbers must be given
  EXPECT_TRUE(std::isnan(F(5)));
}

TEST_F(VariableCommands, TrigonometryInDegreesTargetFirst) {
  F(2) = 30.0;
  Run(znkinstr_sin, "1,2");
  EXPECT_NEAR(F(1), 0.5, 1e-12);
  F(2) = 60.0;
  Run(znkinstr_cos, "1,2");
  EXPECT_NEAR(F(1), 0.5, 1e-12);
  F(2) = 45.0;
  Run(znkinstr_tan, "3,2");
  EXPECT_NEAR(F(3), 1.0, 1e-12);
  F(2) = 0.5;
  Run(znkinstr_asin, "1,2");
  EXPECT_NEAR(F(1), 30.0, 1e-9);
  Run(znkinstr_acos, "1,2");
  EXPECT_NEAR(F(1), 60.0, 1e-9);
  F(2) = 1.0;
  Run(znkinstr_atan, "1,2");
  EXPECT_NEAR(F(1), 45.0, 1e-9);
  F(1) = 90.0;
  Run(znkinstr_sin, "");  // both default to 1
  EXPECT_NEAR(F(1), 1.0, 1e-12);
  char echo[512] = "sin";
  F(1) = 0.0;
  Run(znkinstr_sin, "", echo);
  EXPECT_STREQ(echo, "sin // 0.000000");
}

TEST_F(VariableCommands, DistDirAndDirToAngles) {
  F(1) = 1; F(2) = 2; F(3) = 3;
  F(4) = 4; F(5) = 6; F(6) = 3;
  Run(znkinstr_dist, "7");
  EXPECT_NEAR(F(7), 5.0, 1e-6);
  Run(znkinstr_dir, "8");
  EXPECT_NEAR(F(8), 0.6, 1e-6);
  EXPECT_NEAR(F(9), 0.8, 1e-6);
  EXPECT_NEAR(F(10), 0.0, 1e-6);
  Run(znkinstr_dir, "15");  // 15..17 is outside the bank
  EXPECT_EQ(F(15), 0.0);
  F(11) = -1; F(12) = 0; F(13) = 1;
  Run(znkinstr_dirToAngles, "11,14");
  EXPECT_NEAR(F(14), 0.0, 1e-6);
  EXPECT_NEAR(F(15), -45.0, 1e-4);
  EXPECT_EQ(F(16), 0.0);
  F(1) = 0; F(2) = 1; F(3) = 1;
  Run(znkinstr_dirToAngles, "");
  EXPECT_NEAR(F(1), -45.0, 1e-4);
  EXPECT_NEAR(F(2), 0.0, 1e-4);
}

TEST_F(VariableCommands, RandiSpansTheDifferenceFromTheFirstBound) {
  RANROT_init(1);
  int lowSeen = 100, highSeen = -100;
  for (int i = 0; i < 500; i++) {
    Run(znkinstr_randi, "1,5,1");
    lowSeen = std::min(lowSeen, I(1));
    highSeen = std::max(highSeen, I(1));
  }
  EXPECT_EQ(lowSeen, 1);
  EXPECT_EQ(highSeen, 5);
  lowSeen = 100, highSeen = -100;
  for (int i = 0; i < 500; i++) {
    Run(znkinstr_randi, "5,1,2");
    lowSeen = std::min(lowSeen, I(2));
    highSeen = std::max(highSeen, I(2));
  }
  EXPECT_EQ(lowSeen, 5);
  EXPECT_EQ(highSeen, 9);
  // The draw comes first and follows the generator.
  RANROT_init(0);
  Run(znkinstr_randi, "0,99");
  EXPECT_EQ(I(1), std::abs(static_cast<int>(0xFFFEFFFFu) % 100));
}

TEST_F(VariableCommands, TimeAndPassedReadTheGameClockInSeconds) {
  gCurrentTime = 2500;
  gOldTime = 2480;
  Run(znkinstr_time, "");
  EXPECT_DOUBLE_EQ(F(1), 2.5);
  Run(znkinstr_passed, "0");
  EXPECT_DOUBLE_EQ(F(1), 0.02);
  Run(znkinstr_time, "3");
  EXPECT_DOUBLE_EQ(F(3), 2.5);
  gCurrentTime = gOldTime = 0;
}

TEST_F(VariableCommands, PushAndPopCopyOnlyTheNamedBanks) {
  F(1) = 1.5;
  I(1) = 3;
  B(1) = 1;
  std::strcpy(S(1), "saved");
  Run(znkinstr_push, "fi");
  F(1) = 0;
  I(1) = 0;
  Run(znkinstr_pop, "i");
  EXPECT_EQ(I(1), 3);
  EXPECT_EQ(F(1), 0.0);
  Run(znkinstr_pop, "f");
  EXPECT_EQ(F(1), 1.5);
  Run(znkinstr_pop, "bs");  // never pushed: the save area is still empty
  EXPECT_EQ(B(1), 0);
  EXPECT_STREQ(S(1), "");
}

TEST_F(VariableCommands, LoadAndStoreNamedVariables) {
  Run(znkinstr_def, "\"v\",x");
  I(2) = 12;
  Run(znkinstr_storeInt, "\"v\",2");
  Run(znkinstr_loadInt, "\"v\",0");  // 0 means 1
  EXPECT_EQ(I(1), 12);
  F(1) = 0.1;
  Run(znkinstr_storeFloat, "\"v\"");
  Run(znkinstr_loadFloat, "\"v\",3");
  EXPECT_EQ(F(3), static_cast<double>(0.1f));
  B(4) = 1;
  Run(znkinstr_storeBool, "\"v\",4");
  char echo[512] = "loadb";
  Run(znkinstr_loadBool, "\"v\",5", echo);
  EXPECT_EQ(B(5), 1);
  EXPECT_STREQ(echo, "loadb // true");
  Run(znkinstr_loadString, "\"v\",6");
  EXPECT_STREQ(S(6), "true");
  I(1) = 99;
  Run(znkinstr_storeInt, "");  // nothing when empty
  EXPECT_EQ(GetInt("v"), 1);
}

TEST_F(VariableCommands, StoresCutsToThirtyOneCharactersAndKeepsTheRegister) {
  Run(znkinstr_def, "long");
  std::string forty(40, 'a');
  forty[35] = 'Z';
  std::strcpy(S(1), forty.c_str());
  Run(znkinstr_storeString, "\"long\"");
  EXPECT_EQ(std::string(GetString_ZNK("long")), forty.substr(0, 31));
  EXPECT_EQ(std::string(S(1)), forty);
}

TEST_F(VariableCommands, DefMakesObjectVariablesOnlyWithTheFlagAndASelection) {
  human_being object = {};
  Run(znkinstr_def, "\"mine\",p");  // no object selected: global
  EXPECT_NE(GetVarEntry("mine"), nullptr);
  selHuman = &object;
  Run(znkinstr_def, "\"own\",p");
  EXPECT_NE(GetHumanVarEntry(&object, "own"), nullptr);
  selHuman = nullptr;
  EXPECT_EQ(GetVarEntry("own"), nullptr);
  DisposeVariableList(object.myVars);
}

TEST_F(VariableCommands, OutputWritesTheQuotedTextOrStringRegisterOne) {
  zt::ConsoleCapture console;
  Run(znkinstr_output, "\"a\\tb\\n\"");
  std::strcpy(S(1), "%d raw\n");
  Run(znkinstr_output, "");
  EXPECT_EQ(console.text(), "a\tb\n%d raw\n");
}
