// The static checker: reports unbalanced control words and unknown commands of a script
// text through the console, line by line. It changes nothing and never stops loading. Its
// walk over the split lines of a text serves the game checker too.
#include <cstdio>
#include <cstring>
#include <vector>

#include "script/command_table.h"
#include "script/script_file.h"
#include "shell/output.h"

namespace {
const char* const kControlWords[] = {"if",   "else",    "endif",    "repeat", "endrepeat", "exitrepeat",
                                     "loop", "endloop", "exitloop", "idle",   "begin",     "end"};

bool IsControlWord(const char* word) {
  for (const char* w : kControlWords)
    if (!std::strcmp(word, w)) return true;
  return false;
}

struct BlockCount {
  int opened = 0;  // words seen
  int closed = 0;
  std::vector<int> open;  // lines of the blocks open now, innermost last
};

void Open(BlockCount* c, int line) {
  c->opened++;
  c->open.push_back(line);
}

// A closing word: complains when nothing is open to close.
int Close(BlockCount* c, int line, const char* message) {
  c->closed++;
  if (!c->open.empty()) {
    c->open.pop_back();
    return 0;
  }
  OutputToConsoleF(message, line);
  return 1;
}

void AddUnclosed(const BlockCount& c, const char* word, std::vector<ScriptBlock>* unclosed) {
  if (!unclosed) return;
  for (int line : c.open) unclosed->push_back({word, line});
}
}  // namespace

void ForEachScriptLine(const char* text,
                       const std::function<void(int number, const char* line, char* command, char* parms)>& visit) {
  if (!text) return;
  int lineNumber = 0;
  int length = static_cast<int>(std::strlen(text));
  int pos = 0;
  while (pos < length) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    pos = TakeScriptLine(text, pos, length, line);
    lineNumber++;
    char* start = line + SplitScriptLine(line, command, parms);
    if (command[0]) visit(lineNumber, start, command, parms);
  }
}

int FindBugsInScript(const char* text, std::vector<ScriptBlock>* unclosed) {
  if (!text) return 0;
  BlockCount ifs, repeats, loops, begins;
  int messages = 0;
  ForEachScriptLine(text, [&](int lineNumber, const char* line, char* command, char* parms) {
    if (!std::strcmp(command, "if")) {
      Open(&ifs, lineNumber);
    } else if (!std::strcmp(command, "else")) {
      if (ifs.open.empty()) {
        OutputToConsoleF("// ERROR l.%d: \"else\" out of if-statement\n", lineNumber);
        messages++;
      }
    } else if (!std::strcmp(command, "endif")) {
      messages += Close(&ifs, lineNumber, "// ERROR l.%d: \"endif\" out of if-statement\n");
    } else if (!std::strcmp(command, "repeat")) {
      Open(&repeats, lineNumber);
    } else if (!std::strcmp(command, "endrepeat")) {
      messages += Close(&repeats, lineNumber, "// ERROR l.%d: \"endrepeat\" out of repeat-loop\n");
    } else if (!std::strcmp(command, "exitrepeat")) {
      if (repeats.open.empty()) {
        OutputToConsoleF("// ERROR l.%d: \"exitrepeat\" out of repeat-loop\n", lineNumber);
        messages++;
      }
    } else if (!std::strcmp(command, "loop")) {
      Open(&loops, lineNumber);
    } else if (!std::strcmp(command, "endloop")) {
      messages += Close(&loops, lineNumber, "// ERROR l.%d: \"endloop\" out of loop\n");
    } else if (!std::strcmp(command, "exitloop")) {
      if (loops.open.empty()) {
        OutputToConsoleF("// ERROR l.%d: \"exitloop\" out of loop\n", lineNumber);
        messages++;
      }
    } else if (!std::strcmp(command, "begin")) {
      // A macro body takes every line up to the first "end": a second "begin" inside it
      // opens nothing.
      if (begins.open.empty()) Open(&begins, lineNumber);
    } else if (!std::strcmp(command, "end")) {
      if (!begins.open.empty()) begins.open.pop_back();
    } else if (!IsControlWord(command) && !GetZNKInstruction(command) && !FindMacro(command)) {
      OutputToConsoleF("// WARNING l.%d: Unknown command: %s\n", lineNumber, line);
      messages++;
    }
  });

  if (ifs.opened != ifs.closed) {
    OutputToConsoleF("// ERROR: Amount of \"if\" does not match amount of \"endif\"\n// if: %d\t\tendif: %d\n",
                     ifs.opened, ifs.closed);
    messages++;
  }
  if (repeats.opened != repeats.closed) {
    OutputToConsoleF(
        "// ERROR: Amount of \"repeat\" does not match amount of \"endrepeat\"\n// repeat: %d\t\tendrepeat: %d\n",
        repeats.opened, repeats.closed);
    messages++;
  }
  if (loops.opened != loops.closed) {
    OutputToConsoleF("// ERROR: Amount of \"loop\" does not match amount of \"endloop\"\n// loop: %d\t\tendloop: %d\n",
                     loops.opened, loops.closed);
    messages++;
  }
  AddUnclosed(ifs, "if", unclosed);
  AddUnclosed(repeats, "repeat", unclosed);
  AddUnclosed(loops, "loop", unclosed);
  AddUnclosed(begins, "begin", unclosed);
  return messages;
}
