// Script compiler and runner: every script is compiled once into a chain of instructions
// bound to their command functions; the runner executes a slice of it per call, up to an
// idle wait, the end of a loop pass or the end of the chain.
#include "script/compiler.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "script/command_table.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {
// Scripts whose slice is running now, outermost first. A running script is never freed
// under its runner: its records and instruction chains are retired and freed when the
// outermost slice has returned.
constexpr int kMaxRunDepth = 64;
ZNK_scripter* gRunning[kMaxRunDepth];
int gRunDepth = 0;
int gMacroDepth = 0;
std::vector<ZNK_comscrinstr*> gRetiredChains;
std::vector<char*> gRetiredTexts;
std::vector<ZNK_scripter*> gRetiredScripts;

bool IsRunning(const ZNK_scripter* script) {
  for (int i = 0; i < gRunDepth; i++)
    if (gRunning[i] == script) return true;
  return false;
}

void FreeChain(ZNK_comscrinstr* i) {
  while (i) {
    ZNK_comscrinstr* next = i->next;
    delete i;
    i = next;
  }
}

void FreeScriptRecord(ZNK_scripter* script) {
  FreeChain(script->allCompiled);
  std::free(script->contents);
  delete script;
}

void FreeRetired() {
  // Freeing may retire nothing new: no slice is running any more.
  for (ZNK_comscrinstr* chain : gRetiredChains) FreeChain(chain);
  gRetiredChains.clear();
  for (char* text : gRetiredTexts) std::free(text);
  gRetiredTexts.clear();
  for (ZNK_scripter* script : gRetiredScripts) FreeScriptRecord(script);
  gRetiredScripts.clear();
}

// Closes the macro body being collected: the macro gets it as its compiled script.
void CloseMacroBody(macroScript* macro, const std::string& body) {
  ZNK_scripter* script = NewZNKScript(body.c_str());
  script->isMacro = 1;
  ZNK_scripter* old = macro->theScript;
  macro->theScript = script;
  DisposeScript(old);
}

macroScript* FindOrAddMacro(const char* name) {
  char cut[32];
  ZNK_CopyString(cut, name, sizeof cut);
  if (macroScript* m = FindMacro(cut)) return m;
  macroScript* m = new macroScript();
  ZNK_CopyString(m->name, cut, sizeof m->name);
  macroScript** link = &baseMacro.next;
  while (*link) link = &(*link)->next;
  *link = m;
  return m;
}

// The operator of a condition text; booleans and texts know only "=" and "!=".
char CompareOf(const char* op, char bank) {
  if (!std::strcmp(op, "=")) return kCompareEqual;
  if (!std::strcmp(op, "!=")) return kCompareNotEqual;
  if (bank != 'f' && bank != 'i') return kCompareNever;
  if (!std::strcmp(op, "<")) return kCompareLess;
  if (!std::strcmp(op, ">")) return kCompareGreater;
  if (!std::strcmp(op, "<=")) return kCompareLessOrEqual;
  if (!std::strcmp(op, ">=")) return kCompareGreaterOrEqual;
  return kCompareNever;
}

template <typename T>
bool Compare(T a, T b, char compare) {
  switch (compare) {
    case kCompareLess: return a < b;
    case kCompareGreater: return a > b;
    case kCompareLessOrEqual: return a <= b;
    case kCompareGreaterOrEqual: return a >= b;
    case kCompareEqual: return a == b;
    case kCompareNotEqual: return a != b;
  }
  return false;
}

// The wait of an idle, the count of a repeat and the condition of an if, decoded once; a
// command whose family decodes its text gets its decoded record.
void DecodeInstruction(ZNK_comscrinstr* ins) {
  switch (ins->instructionType) {
    case kInstrIf:
      ins->condition = DecodeCondition(ins->parms);
      break;
    case kInstrIdle:
      ins->number = IdleMilliseconds(ins->parms);
      break;
    case kInstrRepeat:
      ins->numberFromRegister = ins->parms[0] == '\0';
      ins->number = ins->numberFromRegister ? 0 : RepeatCount(ins->parms);
      break;
    case kInstrCommand:
      if (ins->linkedInstruction->decode) ins->linkedInstruction->decode(ins->parms, &ins->decoded);
      break;
    default:
      break;
  }
}
}  // namespace

ScriptRunGuard::ScriptRunGuard(ZNK_scripter* script) : macro(script->isMacro != 0) {
  gRunning[gRunDepth++] = script;
  if (macro) gMacroDepth++;
}

ScriptRunGuard::~ScriptRunGuard() {
  gRunDepth--;
  if (macro) gMacroDepth--;
  if (gRunDepth == 0) FreeRetired();
}

int ScriptMayStartRun(const ZNK_scripter* script) {
  // A script asked to run again inside its own slice (an event it raised on its own object)
  // is already running: the inner request is answered without running it twice.
  if (!script->isMacro && IsRunning(script)) return 0;
  if (gRunDepth >= kMaxRunDepth) return 0;
  if (script->isMacro && gMacroDepth >= kMaxMacroDepth) return 0;
  return 1;
}

void ReplaceScriptContents(ZNK_scripter* script, char* text) {
  if (!script) {
    std::free(text);
    return;
  }
  // The line interpreter of a running script still reads the old text.
  if (IsRunning(script)) {
    if (script->contents) gRetiredTexts.push_back(script->contents);
  } else {
    std::free(script->contents);
  }
  script->contents = text;
}

int ControlWordType(const char* word) {
  static const char* const kWords[] = {"if",       "else",     "endif",   "idle",     "repeat", "endrepeat",
                                       "exitrepeat", "loop",   "endloop", "exitloop", "begin",  "end"};
  for (int i = 0; i < 12; i++)
    if (!std::strcmp(word, kWords[i])) return i + 1;
  return -1;
}

// ---- Control state of one slice ----

int ControlSkipping(const ScriptControlState* s) {
  return s->numRepeats > 0 && s->repeats[s->numRepeats - 1].skip;
}

namespace {
// A level lets instructions run while its value is true outside its else branch, or false
// inside it.
bool LevelAllows(const ScriptConditionLevel& c) { return c.value ? !c.inElse : c.inElse; }
}  // namespace

// The state counts the levels that do not let instructions run, so asking costs nothing
// however deep the conditions are nested.
int ControlAllows(const ScriptControlState* s) { return s->blocking == 0; }

void ControlIf(ScriptControlState* s, int value) {
  if (s->refusedConditions > 0 || s->numConditions >= kMaxControlLevels) {
    s->refusedConditions++;
    return;
  }
  s->conditions[s->numConditions++] = {value, 0};
  if (!value) s->blocking++;
}

void ControlElse(ScriptControlState* s) {
  if (s->refusedConditions > 0 || s->numConditions == 0) return;
  ScriptConditionLevel& top = s->conditions[s->numConditions - 1];
  if (top.inElse) return;
  top.inElse = 1;
  s->blocking += top.value ? 1 : -1;
}

void ControlEndif(ScriptControlState* s) {
  if (s->refusedConditions > 0) {
    s->refusedConditions--;
  } else if (s->numConditions > 0) {
    if (!LevelAllows(s->conditions[s->numConditions - 1])) s->blocking--;
    s->numConditions--;
  }
}

int RepeatCount(const char* parms) {
  if (!parms[0]) return gScriptVars.ints[0];
  int count = 0;
  std::sscanf(parms, "%d", &count);
  return count;
}

namespace {
void PushRepeat(ScriptControlState* s, ScriptRepeatLevel level) {
  if (s->refusedRepeats > 0 || s->numRepeats >= kMaxControlLevels) {
    s->refusedRepeats++;
    return;
  }
  s->repeats[s->numRepeats++] = level;
}
}  // namespace

void ControlRepeat(ScriptControlState* s, int count, ZNK_comscrinstr* start, int startOffset) {
  if (count < 0) return;
  PushRepeat(s, {start, startOffset, count, count == 0});
}

void ControlSkippedRepeat(ScriptControlState* s) { PushRepeat(s, {nullptr, 0, 0, 1}); }

const ScriptRepeatLevel* ControlEndRepeat(ScriptControlState* s) {
  if (s->refusedRepeats > 0) {
    s->refusedRepeats--;
    return nullptr;
  }
  if (s->numRepeats == 0) return nullptr;
  ScriptRepeatLevel& top = s->repeats[s->numRepeats - 1];
  top.remaining--;
  if (top.remaining <= 0) {
    s->numRepeats--;
    return nullptr;
  }
  return &top;
}

void ControlExitRepeat(ScriptControlState* s) {
  if (s->refusedRepeats > 0) {
    s->refusedRepeats--;
  } else if (s->numRepeats > 0) {
    s->numRepeats--;
  }
}

long IdleMilliseconds(const char* parms) {
  float seconds = 0.0f;
  std::sscanf(parms, "%f", &seconds);
  double ms = static_cast<double>(seconds) * 1000.0;
  if (!(ms > 0.0)) return 0;
  if (ms > 2147483647.0) return 2147483647L;
  return static_cast<long>(ms);
}

// ---- Compiler ----

void CompileScript(ZNK_scripter* script) {
  if (!script) return;
  if (IsRunning(script)) {
    // Its runner still walks the old chain; it is freed after the slice.
    if (script->allCompiled) gRetiredChains.push_back(script->allCompiled);
    script->allCompiled = nullptr;
    script->startWith = nullptr;
  } else {
    RemoveCompiledCodeFromScript(script);
  }
  if (!script->contents || !script->contents[0]) return;
  EnsureTrailingCR(script);

  const char* text = script->contents;
  int length = static_cast<int>(std::strlen(text));
  ZNK_comscrinstr** tail = &script->allCompiled;
  macroScript* openMacro = nullptr;
  std::string body;

  int pos = 0;
  while (pos < length) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    pos = TakeScriptLine(text, pos, length, line);
    int hashes = SplitScriptLine(line, command, parms);
    int control = command[0] ? ControlWordType(command) : -1;

    // An open body takes every line up to the first end, a begin among them included.
    if (openMacro) {
      if (control == kInstrEnd) {
        CloseMacroBody(openMacro, body);
        openMacro = nullptr;
        body.clear();
        continue;
      }
      body += line;  // the comment is already cut off
      body += '\n';
      continue;
    }
    if (!command[0] || control == kInstrEnd) continue;
    if (control == kInstrBegin) {
      openMacro = FindOrAddMacro(parms);
      body.clear();
      continue;
    }

    ZNK_comscrinstr instruction = {};
    if (control > 0) {
      instruction.instructionType = static_cast<char>(control);
    } else if (ZNK_Instruction* entry = GetZNKInstruction(command)) {
      instruction.instructionType = kInstrCommand;
      instruction.linkedInstruction = entry;
    } else if (macroScript* macro = FindMacro(command)) {
      instruction.instructionType = kInstrMacro;
      instruction.macro = macro;
    } else {
      continue;  // unknown words are dropped; the checker reports them
    }
    ZNK_CopyString(instruction.parms, parms, sizeof instruction.parms);
    instruction.sendOut = hashes >= 1;
    instruction.selfReceive = hashes >= 2;
    DecodeInstruction(&instruction);
    *tail = new ZNK_comscrinstr(instruction);
    tail = &(*tail)->next;
  }
  // A body still open at the end of the text never becomes a macro body.
  script->startWith = script->allCompiled;
}

// ---- Runner ----

int ExecuteCompiledZNKScript(ZNK_scripter* script) {
  if (!script) return 0;
  if (levelChanged) return 1;
  if (script->waitForExecution) {
    uint32_t waited = gCurrentTime - static_cast<uint32_t>(script->executionStart);
    if (waited >= static_cast<uint32_t>(script->idleTime)) script->waitForExecution = 0;
    return 1;
  }
  if (!script->startWith) return 0;
  if (!ScriptMayStartRun(script)) return script->isMacro ? 0 : 1;

  ScriptRunGuard guard(script);
  ZNK_comscrinstr* const chain = script->allCompiled;
  ScriptControlState state = {};
  ZNK_comscrinstr* loopStart = nullptr;
  ZNK_comscrinstr* stoppedAt = nullptr;
  int result = 0;

  for (ZNK_comscrinstr* ins = script->startWith; ins;) {
    result = 1;
    if (!script->isMacro) gHumanScriptTarget = script->caller;
    ZNK_comscrinstr* next = ins->next;
    char type = ins->instructionType;

    if (ControlSkipping(&state)) {
      if (type == kInstrRepeat) ControlSkippedRepeat(&state);
      if (type == kInstrEndRepeat) ControlEndRepeat(&state);
      ins = next;
      continue;
    }
    if (type == kInstrIf || type == kInstrElse || type == kInstrEndif) {
      if (type == kInstrIf) ControlIf(&state, ConditionHolds(ins->condition));
      if (type == kInstrElse) ControlElse(&state);
      if (type == kInstrEndif) ControlEndif(&state);
      ins = next;
      continue;
    }
    if (!ControlAllows(&state)) {
      ins = next;
      continue;
    }

    bool endSlice = false;
    switch (type) {
      case kInstrCommand: {
        if (ins->linkedInstruction->decode) {
          if (ins->decoded.run) ins->decoded.run(&ins->decoded);
          break;
        }
        // Commands get a working copy: the compiled text must survive their scans.
        char parms[sizeof ins->parms];
        std::memcpy(parms, ins->parms, sizeof parms);
        ins->linkedInstruction->func(parms, nullptr);
        break;
      }
      case kInstrMacro:
        if (ins->macro && ins->macro->theScript) ExecuteCompiledZNKScript(ins->macro->theScript);
        break;
      case kInstrIdle:
        script->idleTime = ins->number;
        script->executionStart = static_cast<long>(gCurrentTime);
        script->waitForExecution = 1;
        if (script->allCompiled == chain) script->startWith = ins;
        stoppedAt = ins;
        result = 0;
        endSlice = true;
        break;
      case kInstrRepeat:
        ControlRepeat(&state, ins->numberFromRegister ? gScriptVars.ints[0] : static_cast<int>(ins->number), ins, 0);
        break;
      case kInstrEndRepeat:
        if (const ScriptRepeatLevel* again = ControlEndRepeat(&state)) next = again->start->next;
        break;
      case kInstrExitRepeat:
        ControlExitRepeat(&state);
        break;
      case kInstrLoop:
        loopStart = ins;
        script->looping = 1;
        break;
      case kInstrEndLoop:
        stoppedAt = ins;
        endSlice = true;
        break;
      case kInstrExitLoop:
        script->looping = 0;
        break;
      default:
        break;
    }
    // A command reset the world or switched the level: this script may be gone.
    if (levelChanged) return result;
    if (endSlice) break;
    ins = next;
  }

  // A script compiled again during its slice restarts at its new first instruction.
  if (!script->isMacro && script->allCompiled == chain) {
    script->startWith = stoppedAt;
    if (script->looping && loopStart) script->startWith = loopStart;
  }
  return result;
}

int ZNK_GetScriptConditionalResult(char dataType, int first, const char* operatorType, int second) {
  if (!operatorType) return 0;
  return ConditionHolds({dataType, CompareOf(operatorType, dataType), first, second});
}

ScriptCondition DecodeCondition(const char* parms) {
  ScriptCondition c = {0, kCompareNever, 0, 0};
  char bank = 0, op[3] = "";
  int first = 0, second = 0;
  if (std::sscanf(parms, "%c,%d,%2[^,],%d", &bank, &first, op, &second) != 4) return c;
  return {bank, CompareOf(op, bank), first, second};
}

int ConditionHolds(const ScriptCondition& c) {
  if (c.first < 1 || c.first > kNumRegisters || c.second < 1 || c.second > kNumRegisters) return 0;
  const int a = c.first - 1, b = c.second - 1;
  switch (c.bank) {
    case 'f': return Compare(gScriptVars.floats[a], gScriptVars.floats[b], c.compare);
    case 'i': return Compare(gScriptVars.ints[a], gScriptVars.ints[b], c.compare);
    case 'b': return Compare(gScriptVars.bools[a], gScriptVars.bools[b], c.compare);
    case 's': return Compare(std::strcmp(gScriptVars.strings[a], gScriptVars.strings[b]), 0, c.compare);
  }
  return 0;
}

void RemoveCompiledCodeFromScript(ZNK_scripter* script) {
  if (!script) return;
  if (IsRunning(script)) {
    if (script->allCompiled) gRetiredChains.push_back(script->allCompiled);
  } else {
    FreeChain(script->allCompiled);
  }
  script->allCompiled = nullptr;
  script->startWith = nullptr;
}

int ScriptIsRunning(const ZNK_scripter* script) { return IsRunning(script) ? 1 : 0; }

void DisposeScript(ZNK_scripter* script) {
  if (!script) return;
  if (IsRunning(script)) {
    gRetiredScripts.push_back(script);
    return;
  }
  FreeScriptRecord(script);
}
