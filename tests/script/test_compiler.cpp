// The compiler and the slice runner: repeat, condition and loop control, idle waits over
// the game clock, nesting limits and macros (definition order, calls, recursion).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "objects/human.h"
#include "script/command_table.h"
#include "script/compiler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "support/test_support.h"

namespace {
class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    BuiltScriptCommandArrays();
    gScriptVars = variable_list();
    gCurrentTime = 0;
    levelChanged = 0;
  }
  void TearDown() override {
    for (ZNK_scripter* s : scripts_) DisposeScript(s);
    FreeAllMacros();
    FreeScriptCommandArrays();
  }
  ZNK_scripter* Make(const std::string& text) {
    scripts_.push_back(NewZNKScript(text.c_str()));
    return scripts_.back();
  }
  // A script that is never compiled, so it runs through the line interpreter.
  ZNK_scripter* MakeUncompiled(const std::string& text) {
    ZNK_scripter* s = new ZNK_scripter();
    s->contents = static_cast<char*>(std::malloc(text.size() + 2));
    std::memcpy(s->contents, text.c_str(), text.size() + 1);
    scripts_.push_back(s);
    return s;
  }
  int I(int n) { return gScriptVars.ints[n - 1]; }
  std::vector<ZNK_scripter*> scripts_;
};

std::string Nested(const std::string& open, const std::string& body, const std::string& close, int levels) {
  std::string text;
  for (int i = 0; i < levels; i++) text += open + "\n";
  text += body + "\n";
  for (int i = 0; i < levels; i++) text += close + "\n";
  return text;
}
}  // namespace

TEST_F(Runner, CompilesCommandsControlWordsAndDropsUnknownWords) {
  ZNK_scripter* s = Make("addi 1, 1 // count\n\nnoSuchWord 3\n#if i,1,=,2\n##endif\r\n");
  ASSERT_NE(s->allCompiled, nullptr);
  ZNK_comscrinstr* a = s->allCompiled;
  EXPECT_EQ(a->instructionType, kInstrCommand);
  EXPECT_STREQ(a->parms, "1,1");
  ZNK_comscrinstr* b = a->next;
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->instructionType, kInstrIf);
  EXPECT_EQ(b->sendOut, 1);
  EXPECT_EQ(b->selfReceive, 0);
  ZNK_comscrinstr* c = b->next;
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->instructionType, kInstrEndif);
  EXPECT_EQ(c->selfReceive, 1);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(s->startWith, s->allCompiled);
}

TEST_F(Runner, LongParametersAreCutTo128Characters) {
  ZNK_scripter* s = Make("output \"" + std::string(300, 'x') + "\"");
  ASSERT_NE(s->allCompiled, nullptr);
  EXPECT_EQ(std::strlen(s->allCompiled->parms), 128u);
}

TEST_F(Runner, RepeatRunsItsBodyCountTimesInOneSlice) {
  ZNK_scripter* s = Make("repeat 3\naddi 1,1\nendrepeat\naddi 2,1");
  EXPECT_EQ(ExecuteZNKCommandScript(s), 1);
  EXPECT_EQ(I(1), 3);
  EXPECT_EQ(I(2), 1);
  EXPECT_EQ(s->startWith, nullptr);  // finished
  EXPECT_EQ(ExecuteZNKCommandScript(s), 0);
  EXPECT_EQ(I(1), 3);
}

TEST_F(Runner, RepeatZeroSkipsItsWholeBodyIncludingNestedRepeats) {
  Make("repeat 0\nrepeat 2\naddi 1,1\nendrepeat\naddi 2,1\nif i,1,=,1\naddi 2,1\nendrepeat\naddi 3,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 0);
  EXPECT_EQ(I(2), 0);
  EXPECT_EQ(I(3), 1);
}

TEST_F(Runner, RepeatWithoutCountUsesIntRegisterOneAtThatMoment) {
  Make("seti 1,4\nrepeat\naddi 2,1\nseti 1,100\nendrepeat");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(2), 4);
}

TEST_F(Runner, NegativeRepeatOpensNoLevel) {
  Make("repeat 2\nrepeat -1\naddi 1,1\nendrepeat\nendrepeat");
  ExecuteZNKCommandScript(scripts_[0]);
  // The inner endrepeat counts the outer level down, the outer one finds none open.
  EXPECT_EQ(I(1), 2);
}

TEST_F(Runner, ExitRepeatRunsTheRestOnceAndLeavesEndrepeatToTheOuterLevel) {
  Make("repeat 2\nrepeat 5\naddi 1,1\nexitrepeat\naddi 2,1\nendrepeat\nendrepeat\naddi 3,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 2);
  EXPECT_EQ(I(2), 2);
  EXPECT_EQ(I(3), 1);
}

TEST_F(Runner, IfElseEndifChooseBranchesAndNest) {
  Make("seti 2,1\n"
       "if i,1,<,2\naddi 3,1\nif i,1,=,2\naddi 4,1\nelse\naddi 5,1\nendif\nelse\naddi 6,1\nendif\n"
       "if i,1,>,2\naddi 7,1\nelse\naddi 8,1\nendif\n"
       "else\nendif\nendif\naddi 9,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(3), 1);
  EXPECT_EQ(I(4), 0);
  EXPECT_EQ(I(5), 1);
  EXPECT_EQ(I(6), 0);
  EXPECT_EQ(I(7), 0);
  EXPECT_EQ(I(8), 1);
  EXPECT_EQ(I(9), 1);  // unbalanced else/endif change nothing
}

TEST_F(Runner, ConditionsCompareRegistersOfOneBank) {
  gScriptVars.floats[0] = NAN;
  gScriptVars.floats[1] = 1.0;
  EXPECT_EQ(ZNK_GetScriptConditionalResult('f', 1, "=", 1), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('f', 1, "!=", 1), 1);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('f', 1, "<", 2), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('f', 1, ">=", 2), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('f', 2, ">=", 2), 1);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('i', 1, "<>", 2), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('i', 1, "<=", 2), 1);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('i', 0, "=", 1), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('i', 1, "=", 17), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('x', 1, "=", 1), 0);
  gScriptVars.bools[0] = 1;
  EXPECT_EQ(ZNK_GetScriptConditionalResult('b', 1, "<", 2), 0);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('b', 1, "!=", 2), 1);
  std::strcpy(gScriptVars.strings[0], "abc");
  std::strcpy(gScriptVars.strings[1], "abc");
  EXPECT_EQ(ZNK_GetScriptConditionalResult('s', 1, "=", 2), 1);
  EXPECT_EQ(ZNK_GetScriptConditionalResult('s', 1, "<", 2), 0);
}

TEST_F(Runner, DecodedLinesReadTheirRegistersWhenTheyRunNotWhenCompiled) {
  // Compiled before any register holds a value; each pass of the loop must see the values
  // of that moment, also after push and pop copied whole banks over the registers.
  ZNK_scripter* s = Make("loop\naddf 1,f2\nmulti 3,i4\nif f,1,>,5\naddi 6,1\nendif\nendloop");
  gScriptVars.floats[1] = 1.5;
  gScriptVars.floats[4] = 5.0;
  gScriptVars.ints[2] = 1;
  gScriptVars.ints[3] = 2;
  ExecuteZNKCommandScript(s);
  EXPECT_DOUBLE_EQ(gScriptVars.floats[0], 1.5);
  EXPECT_EQ(I(3), 2);
  EXPECT_EQ(I(6), 0);
  gScriptVars.floats[1] = 4.0;
  gScriptVars2 = gScriptVars;
  gScriptVars2.ints[3] = 5;
  gScriptVars = gScriptVars2;  // what pop does: the banks are copied in place
  ExecuteZNKCommandScript(s);
  EXPECT_DOUBLE_EQ(gScriptVars.floats[0], 5.5);
  EXPECT_EQ(I(3), 10);
  EXPECT_EQ(I(6), 1);
}

TEST_F(Runner, CompiledLoadsLookTheirVariableUpAtEveryRun) {
  // The name is decoded once; which variable it names, and its type, are found at each run.
  InitVariableLists();
  ZNK_scripter* s = Make("loop\nloadi \"v\",2\nloads \"v\",3\nendloop");
  ExecuteZNKCommandScript(s);
  EXPECT_EQ(I(2), 0);  // no such variable yet
  InstallZNKVariablePointer("v", nullptr, 1, kVarText);
  SetInt("v", 7);
  ExecuteZNKCommandScript(s);
  EXPECT_EQ(I(2), 7);
  SetFloat("v", 2.75f);  // retyped: the loads convert from the new type
  ExecuteZNKCommandScript(s);
  EXPECT_EQ(I(2), 2);
  EXPECT_STREQ(gScriptVars.strings[2], "2.750000");
  human_being object = {};
  InstallHumanVariablePointer(&object, "v", nullptr, 1, kVarText);
  selHuman = &object;
  SetInt("v", 40);  // the selected object's own variable comes first
  ExecuteZNKCommandScript(s);
  EXPECT_EQ(I(2), 40);
  selHuman = nullptr;
  ExecuteZNKCommandScript(s);
  EXPECT_EQ(I(2), 2);
  DisposeVariableList(object.myVars);
  InitVariableLists();
}

TEST_F(Runner, TextsThatNameNoRegisterDecodeToNothing) {
  ZNK_decodedParms d;
  for (const char* text : {"17,1", "0,1", "1,i17", "1,f0", "1,s2", "x,1", "1,"}) {
    DecodeAddi(text, &d);
    EXPECT_EQ(d.run, nullptr) << text;
  }
  DecodeSetInt("1,s2", &d);  // seti and setf take string registers
  EXPECT_NE(d.run, nullptr);
  DecodeSetBool("1,maybe", &d);
  EXPECT_EQ(d.run, nullptr);
  DecodeSetBool("1,b17", &d);
  EXPECT_EQ(d.run, nullptr);
  EXPECT_EQ(DecodeCondition("i,1").compare, kCompareNever);
  EXPECT_EQ(DecodeCondition("b,1,<,2").compare, kCompareNever);
  EXPECT_EQ(DecodeCondition("s,1,!=,2").compare, kCompareNotEqual);
  // A script made only of such lines runs and changes no register.
  Make("addi 17,1\naddf 1,f99\nsetb 1,maybe\nmulti 1,s1");
  gScriptVars.ints[0] = 3;
  EXPECT_EQ(ExecuteZNKCommandScript(scripts_[0]), 1);
  EXPECT_EQ(I(1), 3);
  EXPECT_DOUBLE_EQ(gScriptVars.floats[0], 0.0);
}

TEST_F(Runner, ConditionLevelsAllowExactlyWhenEveryOpenLevelAllows) {
  // The state counts the levels that hold instructions back; compare it with asking every
  // open level, over long random runs of if, else and endif (unbalanced ones included).
  std::srand(7);
  for (int run = 0; run < 200; run++) {
    ScriptControlState state = {};
    std::vector<ScriptConditionLevel> levels;
    int refused = 0;
    for (int step = 0; step < 200; step++) {
      int what = std::rand() % 3;
      if (what == 0) {
        int value = std::rand() % 2;
        ControlIf(&state, value);
        if (refused > 0 || levels.size() >= static_cast<size_t>(kMaxControlLevels))
          refused++;
        else
          levels.push_back({value, 0});
      } else if (what == 1) {
        ControlElse(&state);
        if (refused == 0 && !levels.empty()) levels.back().inElse = 1;
      } else {
        ControlEndif(&state);
        if (refused > 0)
          refused--;
        else if (!levels.empty())
          levels.pop_back();
      }
      bool allows = true;
      for (const ScriptConditionLevel& c : levels)
        if (c.value ? c.inElse : !c.inElse) allows = false;
      ASSERT_EQ(ControlAllows(&state), allows ? 1 : 0) << "run " << run << " step " << step;
    }
  }
}

TEST_F(Runner, MalformedOrUndefinedConditionsAreFalse) {
  Make("if i,1,<>,2\naddi 3,1\nendif\nif i,1\naddi 4,1\nendif\nif i,1,=,99\naddi 5,1\nelse\naddi 6,1\nendif");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(3), 0);
  EXPECT_EQ(I(4), 0);
  EXPECT_EQ(I(5), 0);
  EXPECT_EQ(I(6), 1);
}

TEST_F(Runner, ThirtyThirdConditionLevelIsRefusedAndTheRestStaysBalanced) {
  // Levels 1 to 31 are true, level 32 is false, the 33rd is refused: its endif must not
  // close level 32.
  Make(Nested("if i,1,=,2", "if i,1,!=,2\nif i,1,=,2\nendif\naddi 3,1\nendif\naddi 4,1", "endif", 31) +
       "addi 5,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(3), 0);
  EXPECT_EQ(I(4), 1);
  EXPECT_EQ(I(5), 1);
}

TEST_F(Runner, ThirtyThirdRepeatLevelIsRefusedAndItsBodyRunsOnce) {
  Make("repeat 2\n" + Nested("repeat 1", "addi 1,1", "endrepeat", 32) + "endrepeat\naddi 2,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 2);
  EXPECT_EQ(I(2), 1);
}

TEST_F(Runner, IdleWithoutLoopParksTheScriptForGood) {
  ZNK_scripter* s = Make("addi 1,1\nidle 1");
  EXPECT_EQ(ExecuteZNKCommandScript(s), 0);  // has just begun a wait
  EXPECT_EQ(s->waitForExecution, 1);
  EXPECT_EQ(s->idleTime, 1000);
  for (int pass = 0; pass < 200; pass++) {
    gCurrentTime += 20;
    ExecuteZNKCommandScript(s);
  }
  EXPECT_EQ(I(1), 1);
  EXPECT_NE(s->startWith, nullptr);
  EXPECT_EQ(s->startWith->instructionType, kInstrIdle);
}

TEST_F(Runner, OnlyIdleWaitsOneSecondThenWaitsAgain) {
  ZNK_scripter* s = Make("idle 1");
  EXPECT_EQ(ExecuteZNKCommandScript(s), 0);
  gCurrentTime = 999;
  EXPECT_EQ(ExecuteZNKCommandScript(s), 1);
  EXPECT_EQ(s->waitForExecution, 1);
  gCurrentTime = 1000;
  EXPECT_EQ(ExecuteZNKCommandScript(s), 1);  // the wait ends; nothing else in this slice
  EXPECT_EQ(s->waitForExecution, 0);
  EXPECT_EQ(ExecuteZNKCommandScript(s), 0);  // the same idle again
  EXPECT_EQ(s->waitForExecution, 1);
  EXPECT_EQ(s->executionStart, 1000);
}

TEST_F(Runner, NegativeOrMissingIdleWaitsNoTime) {
  EXPECT_EQ(IdleMilliseconds("-3"), 0);
  EXPECT_EQ(IdleMilliseconds(""), 0);
  EXPECT_EQ(IdleMilliseconds("nan"), 0);
  EXPECT_EQ(IdleMilliseconds("0.0255"), 25);
  EXPECT_EQ(IdleMilliseconds("1e30"), 2147483647L);
}

TEST_F(Runner, LoopWithIdleRunsItsBodyOncePerWait) {
  ZNK_scripter* s = Make("addi 2,1\nloop\naddi 1,1\nidle 0.1\naddi 3,1\nendloop");
  for (int pass = 0; pass < 50; pass++) {  // one second of 20 ms passes
    ExecuteZNKCommandScript(s);
    gCurrentTime += 20;
  }
  EXPECT_EQ(I(2), 1);
  EXPECT_EQ(I(3), 0);  // after the idle, never reached
  EXPECT_GE(I(1), 8);
  EXPECT_LE(I(1), 9);
}

TEST_F(Runner, LoopWithoutIdleRunsOnePassPerSliceAndExitloopParksAtEndloop) {
  ZNK_scripter* s = Make("seti 5,2\nloop\naddi 1,1\nif i,1,=,5\nexitloop\nendif\nendloop\naddi 3,1");
  for (int pass = 0; pass < 5; pass++) EXPECT_EQ(ExecuteZNKCommandScript(s), 1);
  EXPECT_EQ(I(1), 2);
  EXPECT_EQ(I(3), 0);
  EXPECT_EQ(s->looping, 0);
  EXPECT_EQ(s->startWith->instructionType, kInstrEndLoop);
}

TEST_F(Runner, MacroIsCalledOnlyFromLinesCompiledAfterItsBegin) {
  Make("Later\nbegin Later\naddi 1,1\nend\nLater\nLater");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 2);
  ZNK_scripter* other = Make("Later");
  ASSERT_NE(other->allCompiled, nullptr);
  EXPECT_EQ(other->allCompiled->instructionType, kInstrMacro);
  ExecuteZNKCommandScript(other);
  EXPECT_EQ(I(1), 3);
}

TEST_F(Runner, MacrosCallMacrosAndABeginInsideAnOpenBodyDoesNotNest) {
  // Outer's body ends at the first end: "addi 3,1" belongs to the script, the second end
  // closes nothing, and Nested is named in a body that never closes, so it has no body.
  Make("begin Inner\naddi 1,1\nend\n"
       "begin Outer\nInner\nInner\nbegin Nested\naddi 2,1\nend\naddi 3,1\nend\n"
       "Outer\nNested");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 2);
  EXPECT_EQ(I(2), 0);
  EXPECT_EQ(I(3), 1);
  macroScript* nested = FindMacro("Nested");
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->theScript, nullptr);
  ASSERT_NE(FindMacro("Outer"), nullptr);
  EXPECT_EQ(FindMacro("Outer")->theScript->isMacro, 1);
}

TEST_F(Runner, RedefiningAMacroReplacesItsBodyForEveryCall) {
  // Both calls are bound to the macro, whose body is the second one once compiling ends.
  Make("begin M\naddi 1,1\nend\nM\nbegin M\naddi 2,1\nend\nM");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 0);
  EXPECT_EQ(I(2), 2);
}

TEST_F(Runner, SelfCallingMacroStopsAtTheDepthLimit) {
  Make("begin R\naddi 1,1\nR\nend\nR\naddi 2,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), kMaxMacroDepth);
  EXPECT_EQ(I(2), 1);
}

TEST_F(Runner, MutuallyRecursiveMacrosStopAtTheDepthLimit) {
  Make("begin A\nend\nbegin B\naddi 2,1\nA\nend\nbegin A\naddi 1,1\nB\nend\nA");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1) + I(2), kMaxMacroDepth);
}

TEST_F(Runner, MacroBodyThatReachesIdleWaitsThereAtEveryLaterCall) {
  Make("begin W\naddi 1,1\nidle 1\naddi 2,1\nend\nW\nW\naddi 3,1");
  ExecuteZNKCommandScript(scripts_[0]);
  EXPECT_EQ(I(1), 1);
  EXPECT_EQ(I(2), 0);
  EXPECT_EQ(I(3), 1);
}

TEST_F(Runner, ScriptsOfOnlyMacroCallsFindLaterMacrosThroughTheLineInterpreter) {
  ZNK_scripter* caller = Make("Foo\n// nothing else\nFoo");
  EXPECT_EQ(caller->allCompiled, nullptr);
  Make("begin Foo\naddi 1,1\nend");
  EXPECT_EQ(ExecuteZNKCommandScript(caller), 1);
  EXPECT_EQ(I(1), 2);
}

TEST_F(Runner, LineInterpreterAppliesConditionsRepeatsAndIdle) {
  ZNK_scripter* s = MakeUncompiled(
      "seti 5,2\nrepeat 3\naddi 1,1\nif i,1,=,5\naddi 2,1\nendif\nendrepeat\n"
      "repeat 0\nrepeat 2\naddi 3,1\nendrepeat\naddi 3,1\nendrepeat\n"
      "idle 0.5\naddi 4,1");
  EXPECT_EQ(ExecuteZNKCommandScript(s), 0);
  EXPECT_EQ(I(1), 3);
  EXPECT_EQ(I(2), 1);
  EXPECT_EQ(I(3), 0);
  gCurrentTime = 500;
  ExecuteZNKCommandScript(s);  // the wait ends
  ExecuteZNKCommandScript(s);
  EXPECT_EQ(I(4), 1);
}

TEST_F(Runner, LevelChangeStopsTheSliceAtOnce) {
  ZNK_scripter* s = Make("addi 1,1\naddi 1,1");
  levelChanged = 1;
  EXPECT_EQ(ExecuteZNKCommandScript(s), 1);
  EXPECT_EQ(I(1), 0);
  levelChanged = 0;
}

TEST_F(Runner, CommandsGetACopyOfTheirParameters) {
  ZNK_scripter* s = Make("sets 1,\"a\\nb\"");
  ExecuteZNKCommandScript(s);
  EXPECT_STREQ(gScriptVars.strings[0], "a\nb");
  EXPECT_STREQ(s->allCompiled->parms, "1,\"a\\nb\"");
}
