// The one entry through which any script runs, and the line interpreter for the scripts
// whose compilation produced no instruction: they are split and dispatched line by line.
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
    if (static_cast<unsigned long>(gCurrentTime - script->executionStart) >= static_cast<unsigned long>(script->idleTime))
      script->waitForExecution = 0;
    return 1;
  }
  const char* text = script->contents;
  int length = static_cast<int>(std::strlen(text));
  int pos = script->offset < length ? script->offset : length;
  int handled = 0;
  bool inMacroBody = false;

  while (pos < length) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    pos = TakeLine(text, pos, length, line);
    char* start = line;
    while (*start == '#') start++;
    MakeZNKCommandOutOfLine(start, command, parms);
    if (!command[0]) continue;
    handled = 1;
    if (!script->isMacro) gHumanScriptTarget = script->caller;

    if (inMacroBody) {
      if (!std::strcmp(command, "end")) inMacroBody = false;
      continue;
    }
    if (!std::strcmp(command, "begin")) {
      inMacroBody = true;
    } else if (!std::strcmp(command, "idle")) {
      float seconds = 0.0f;
      std::sscanf(parms, "%f", &seconds);
      script->offset = pos;
      script->idleTime = static_cast<long>(seconds * 1000.0f);
      script->executionStart = gCurrentTime;
      script->waitForExecution = 1;
      if (script->looping) script->offset = script->loopOffset;
      return 0;
    } else if (!std::strcmp(command, "loop")) {
      script->loopOffset = pos;
      script->looping = 1;
    } else if (!std::strcmp(command, "endloop")) {
      break;
    } else if (!std::strcmp(command, "exitloop")) {
      script->looping = 0;
    } else if (!std::strcmp(command, "end")) {
      // An end without a macro body changes nothing.
    } else {
      ExecuteZNKCommand(command, parms, nullptr);
      if (levelChanged) return 1;
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
