// The one entry through which any script runs, and the line interpreter for the scripts
// whose compilation produced no instruction: they are split and dispatched line by line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "script/command_table.h"
#include "script/compiler.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {
int RunLines(ZNK_scripter* script) {
  if (script->waitForExecution) {
    uint32_t waited = gCurrentTime - static_cast<uint32_t>(script->executionStart);
    if (waited >= static_cast<uint32_t>(script->idleTime)) script->waitForExecution = 0;
    return 1;
  }
  if (!ScriptMayStartRun(script)) return script->isMacro ? 0 : 1;
  EnsureTrailingCR(script);

  // While the guard lives, a command that deletes or reloads this script (or resets the world)
  // leaves the record and the text being read in place until the run has returned.
  ScriptRunGuard guard(script);
  const char* const text = script->contents;
  const int length = static_cast<int>(std::strlen(text));
  // A script reloaded during its run restarts at its new first line: its offset stays where
  // the reload put it.
  auto stopAt = [script, text](int next) {
    if (script->contents == text) script->offset = next;
  };
  int pos = script->offset < length ? script->offset : length;
  int handled = 0;
  bool inMacroBody = false;  // lines between begin and the first end are passed over
  ScriptControlState state = {};

  while (pos < length) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    pos = TakeScriptLine(text, pos, length, line);
    SplitScriptLine(line, command, parms);
    if (!command[0]) continue;
    handled = 1;
    if (!script->isMacro) gHumanScriptTarget = script->caller;

    int control = ControlWordType(command);
    if (inMacroBody) {
      if (control == kInstrEnd) inMacroBody = false;
      continue;
    }
    if (control == kInstrBegin) {
      inMacroBody = true;
      continue;
    }
    if (control == kInstrEnd) continue;  // an end without a macro body changes nothing

    if (ControlSkipping(&state)) {
      if (control == kInstrRepeat) ControlSkippedRepeat(&state);
      if (control == kInstrEndRepeat) ControlEndRepeat(&state);
      continue;
    }
    if (control == kInstrIf) {
      ControlIf(&state, ConditionHolds(DecodeCondition(parms)));
      continue;
    }
    if (control == kInstrElse) {
      ControlElse(&state);
      continue;
    }
    if (control == kInstrEndif) {
      ControlEndif(&state);
      continue;
    }
    if (!ControlAllows(&state)) continue;

    switch (control) {
      case kInstrIdle:
        stopAt(script->looping ? script->loopOffset : pos);
        script->idleTime = IdleMilliseconds(parms);
        script->executionStart = static_cast<long>(gCurrentTime);
        script->waitForExecution = 1;
        return 0;
      case kInstrRepeat:
        ControlRepeat(&state, RepeatCount(parms), nullptr, pos);
        break;
      case kInstrEndRepeat:
        if (const ScriptRepeatLevel* again = ControlEndRepeat(&state)) pos = again->startOffset;
        break;
      case kInstrExitRepeat:
        ControlExitRepeat(&state);
        break;
      case kInstrLoop:
        script->loopOffset = pos;
        script->looping = 1;
        break;
      case kInstrEndLoop:
        stopAt(script->looping ? script->loopOffset : pos);
        return handled;
      case kInstrExitLoop:
        script->looping = 0;
        break;
      default:
        ExecuteZNKCommand(command, parms, nullptr);
        if (levelChanged) return 1;
        break;
    }
  }
  stopAt(script->looping ? script->loopOffset : pos);
  return handled;
}
}  // namespace

int ExecuteZNKCommandScript(ZNK_scripter* script) {
  if (!script) return 0;
  if (script->allCompiled) return ExecuteCompiledZNKScript(script);
  if (!script->contents) return 0;
  return RunLines(script);
}
