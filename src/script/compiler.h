// The script compiler and its runner: scripts become instruction chains that run in slices.
// The control state of one slice (condition and repeat levels) is shared with the line
// interpreter, which applies the same rules by text position.
#pragma once

#include "commands/commands.h"

struct ZNK_Instruction;
struct macroScript;
struct ZNK_scripter;

// A condition decoded from its text: two registers of one bank and an operator. The
// registers' values are compared when the condition is met.
enum : char {
  kCompareNever = 0,  // the text lacks a part, names no register, or an unknown operator
  kCompareLess,
  kCompareGreater,
  kCompareLessOrEqual,
  kCompareGreaterOrEqual,
  kCompareEqual,
  kCompareNotEqual,
};
struct ScriptCondition {
  char bank;  // 'f', 'i', 'b' or 's'
  char compare;
  int first, second;  // register numbers, 1..16
};

struct ZNK_comscrinstr {
  ZNK_Instruction* linkedInstruction;  // type 0: the command's table entry
  char parms[129];                     // the line's parameter text, cut to 128 characters
  char instructionType;
  int sendOut;      // the line began with "#"
  int selfReceive;  // the line began with "##"
  macroScript* macro;  // type 13: the macro called
  ZNK_comscrinstr* next;
  // Decoded once at compile time from `parms`, which never changes afterwards:
  ZNK_decodedParms decoded;   // a command whose family decodes its text (run set)
  ScriptCondition condition;  // if
  long number;                // idle: the wait in ms; repeat: the count
  int numberFromRegister;     // repeat without a count: int register 1 at the time
};

// Instruction types.
enum : char {
  kInstrCommand = 0,
  kInstrIf = 1,
  kInstrElse = 2,
  kInstrEndif = 3,
  kInstrIdle = 4,
  kInstrRepeat = 5,
  kInstrEndRepeat = 6,
  kInstrExitRepeat = 7,
  kInstrLoop = 8,
  kInstrEndLoop = 9,
  kInstrExitLoop = 10,
  kInstrBegin = 11,
  kInstrEnd = 12,
  kInstrMacro = 13,
};

// Control word of a command word (types 1 to 12), or -1.
int ControlWordType(const char* word);

void CompileScript(ZNK_scripter* script);
int ExecuteCompiledZNKScript(ZNK_scripter* script);
int ZNK_GetScriptConditionalResult(char dataType, int first, const char* operatorType, int second);
// An if's parameters "%c,%d,%[^,],%d" (bank letter, first register, operator, second
// register); a text that lacks a part is a condition that is never true.
ScriptCondition DecodeCondition(const char* parms);
int ConditionHolds(const ScriptCondition& condition);
void RemoveCompiledCodeFromScript(ZNK_scripter* script);
void DisposeScript(ZNK_scripter* script);
// 1 while the script is running a slice (also further out, when it raised an event).
int ScriptIsRunning(const ZNK_scripter* script);

// Whether a run of the script may start now: not while it already runs (a script that
// raised an event on its own object), not beyond the nesting limits of runs and macro calls.
int ScriptMayStartRun(const ZNK_scripter* script);

// Marks a script as running while the guard lives. What a command frees meanwhile (the
// script's record, its instruction chain, its text) is kept until the outermost run has
// returned, so no runner reads freed memory; both runners hold one.
struct ScriptRunGuard {
  explicit ScriptRunGuard(ZNK_scripter* script);
  ~ScriptRunGuard();
  ScriptRunGuard(const ScriptRunGuard&) = delete;
  ScriptRunGuard& operator=(const ScriptRunGuard&) = delete;
  bool macro;
};

// Gives the script a new text (malloc'd; the script owns it). The old text is freed, or kept
// until the outermost run has returned when the script is running.
void ReplaceScriptContents(ZNK_scripter* script, char* text);

// Nesting limits: levels beyond kMaxControlLevels are refused (their words change nothing
// and their bodies run unconditionally, once); a macro call nested deeper than
// kMaxMacroDepth is skipped.
constexpr int kMaxControlLevels = 32;
constexpr int kMaxMacroDepth = 16;

struct ScriptConditionLevel {
  int value;   // the condition's result
  int inElse;  // the level is in its else branch
};

struct ScriptRepeatLevel {
  ZNK_comscrinstr* start;  // compiled runner: the repeat instruction
  int startOffset;         // line interpreter: text position after the repeat line
  int remaining;
  int skip;  // count was 0: everything up to the matching endrepeat is passed over
};

struct ScriptControlState {
  ScriptConditionLevel conditions[kMaxControlLevels];
  int numConditions;
  int blocking;           // open levels that do not let instructions run
  int refusedConditions;  // levels opened beyond the limit
  ScriptRepeatLevel repeats[kMaxControlLevels];
  int numRepeats;
  int refusedRepeats;
};

// Whether the innermost repeat level is passing its body over.
int ControlSkipping(const ScriptControlState* state);
// Whether every open condition level lets an instruction run.
int ControlAllows(const ScriptControlState* state);
void ControlIf(ScriptControlState* state, int value);
void ControlElse(ScriptControlState* state);
void ControlEndif(ScriptControlState* state);
// The repeat count: the parameter, or int register 1 when the parameter is empty.
int RepeatCount(const char* parms);
void ControlRepeat(ScriptControlState* state, int count, ZNK_comscrinstr* start, int startOffset);
// A repeat met while its enclosing level is skipping: it opens a skipping level of its own,
// so that the skip ends at the enclosing level's own endrepeat.
void ControlSkippedRepeat(ScriptControlState* state);
// Counts the innermost level down; returns it when its body must run again, else null.
const ScriptRepeatLevel* ControlEndRepeat(ScriptControlState* state);
void ControlExitRepeat(ScriptControlState* state);
// The wait of an idle parameter in whole milliseconds (no number, negative or NaN: 0).
long IdleMilliseconds(const char* parms);
