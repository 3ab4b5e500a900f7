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
// Copies the line that starts at `pos` into `line` (cut to kMaxLineLength) and returns the
// position after its line end.
int TakeLine(const char* text, int pos, int length, char* line) {
  int n = 0;
  while (pos < length && text[pos] != '\r' && text[pos] != '\n') {
    if (n < kMaxLineLength) line[n++] = text[pos];
    pos++;
  }
  line[n] = '\0';
  return pos < length ? pos + 1 : pos;
}

int RunLines(ZNK_scripter* script) {
  EnsureTrailingCR(script);
  if (script->waitForExecution) {
    uint32_t waited = gCurrentTime - static_cast<uint32_t>(script->executionStart);
    if (waited >= static_cast<uint32_t>(script->idleTime)) script->waitForExecution = 0;
    return 1;
  }
  const char* text = script->contents;
  int length = static_cast<int>(std::strlen(text));
  int pos = script->offset < length ? script->offset : length;
  int handled = 0;
  int macroBodies = 0;  // begin ... end blocks open; their lines are passed over
  ScriptControlState state = {};

  while (pos < length) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    pos = TakeLine(text, pos, length, line);
    char* start = line;
    while (*start == '#') start++;
    MakeZNKCommandOutOfLine(start, command, parms);
    if (!command[0]) continue;
    handled = 1;
    if (!script->isMacro) gHumanScriptTarget = script->caller;

    int control = ControlWordType(command);
    if (macroBodies > 0) {
      if (control == kInstrBegin) macroBodies++;
      if (control == kInstrEnd) macroBodies--;
      continue;
    }
    if (control == kInstrBegin) {
      macroBodies = 1;
      continue;
    }
    if (control == kInstrEnd) continue;  // an end without a macro body changes nothing

    if (ControlSkipping(&state)) {
      if (control == kInstrRepeat) ControlSkippedRepeat(&state);
      if (control == kInstrEndRepeat) ControlEndRepeat(&state);
      continue;
    }
    if (control == kInstrIf) {
      ControlIf(&state, parms);
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
        script->offset = script->looping ? script->loopOffset : pos;
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
        script->offset = script->looping ? script->loopOffset : pos;
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
  script->offset = script->looping ? script->loopOffset : pos;
  return handled;
}
}  // namespace

int ExecuteZNKCommandScript(ZNK_scripter* script) {
  if (!script) return 0;
  if (script->allCompiled) return ExecuteCompiledZNKScript(script);
  if (!script->contents) return 0;
  return RunLines(script);
}
