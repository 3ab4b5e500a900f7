// The static checker: reports unbalanced control words and unknown commands of a script
// text through the console, line by line. It changes nothing and never stops loading.
#include <cstdio>
#include <cstring>

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
  int open = 0;  // blocks open now
};

// A closing word: complains when nothing is open to close.
void Close(BlockCount* c, int line, const char* message) {
  c->closed++;
  if (c->open > 0)
    c->open--;
  else
    OutputToConsoleF(message, line);
}
}  // namespace

void FindBugsInScript(const char* text) {
  if (!text) return;
  BlockCount ifs, repeats, loops;
  int lineNumber = 0;
  int length = static_cast<int>(std::strlen(text));
  int pos = 0;
  while (pos < length) {
    char line[kMaxLineLength + 1], command[kMaxCommandWord + 1], parms[kMaxParmsLength + 1];
    pos = TakeScriptLine(text, pos, length, line);
    lineNumber++;
    const char* start = line + SplitScriptLine(line, command, parms);
    if (!command[0]) continue;

    if (!std::strcmp(command, "if")) {
      ifs.opened++;
      ifs.open++;
    } else if (!std::strcmp(command, "else")) {
      if (ifs.open == 0) OutputToConsoleF("// ERROR l.%d: \"else\" out of if-statement\n", lineNumber);
    } else if (!std::strcmp(command, "endif")) {
      Close(&ifs, lineNumber, "// ERROR l.%d: \"endif\" out of if-statement\n");
    } else if (!std::strcmp(command, "repeat")) {
      repeats.opened++;
      repeats.open++;
    } else if (!std::strcmp(command, "endrepeat")) {
      Close(&repeats, lineNumber, "// ERROR l.%d: \"endrepeat\" out of repeat-loop\n");
    } else if (!std::strcmp(command, "exitrepeat")) {
      if (repeats.open == 0) OutputToConsoleF("// ERROR l.%d: \"exitrepeat\" out of repeat-loop\n", lineNumber);
    } else if (!std::strcmp(command, "loop")) {
      loops.opened++;
      loops.open++;
    } else if (!std::strcmp(command, "endloop")) {
      Close(&loops, lineNumber, "// ERROR l.%d: \"endloop\" out of loop\n");
    } else if (!std::strcmp(command, "exitloop")) {
      if (loops.open == 0) OutputToConsoleF("// ERROR l.%d: \"exitloop\" out of loop\n", lineNumber);
    } else if (!IsControlWord(command) && !GetZNKInstruction(command) && !FindMacro(command)) {
      OutputToConsoleF("// WARNING l.%d: Unknown command: %s\n", lineNumber, start);
    }
  }

  if (ifs.opened != ifs.closed)
    OutputToConsoleF("// ERROR: Amount of \"if\" does not match amount of \"endif\"\n// if: %d\t\tendif: %d\n",
                     ifs.opened, ifs.closed);
  if (repeats.opened != repeats.closed)
    OutputToConsoleF(
        "// ERROR: Amount of \"repeat\" does not match amount of \"endrepeat\"\n// repeat: %d\t\tendrepeat: %d\n",
        repeats.opened, repeats.closed);
  if (loops.opened != loops.closed)
    OutputToConsoleF("// ERROR: Amount of \"loop\" does not match amount of \"endloop\"\n// loop: %d\t\tendloop: %d\n",
                     loops.opened, loops.closed);
}
