// File, screen and system commands: script text files, the cursor ray, screen projection, screenshots and the beep.
#include <cstdio>
#include <cstring>

#include "commands/commands.h"
#include "render/screenshot.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/output.h"
#include "shell/startup.h"

namespace {
// A register number outside 1..16 means register 1.
int StringRegisterNumber(int n) { return n >= 1 && n <= kNumRegisters ? n : 1; }

// A path that stays inside the game folder: not absolute, and no ".." that climbs above
// the folder it starts in.
bool StaysInGameFolder(const char* name) {
  if (name[0] == '/' || name[0] == '\\') return false;
  if (((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')) && name[1] == ':') return false;
  int depth = 0;
  const char* p = name;
  while (*p) {
    const char* end = p;
    while (*end && *end != '/' && *end != '\\') end++;
    size_t length = static_cast<size_t>(end - p);
    if (length == 2 && p[0] == '.' && p[1] == '.') {
      if (--depth < 0) return false;
    } else if (length > 0 && !(length == 1 && p[0] == '.')) {
      depth++;
    }
    p = *end ? end + 1 : end;
  }
  return true;
}
}  // namespace

char* znkinstr_open(char* parms, char* buffer) { return nullptr; }
char* znkinstr_close(char* parms, char* buffer) { return nullptr; }
char* znkinstr_read(char* parms, char* buffer) { return nullptr; }
char* znkinstr_write(char* parms, char* buffer) { return nullptr; }
char* znkinstr_readtext(char* parms, char* buffer) {
  char name[1024] = "";
  int reg = 1;
  if (std::sscanf(parms, "\"%1023[^\"]\",%d", name, &reg) < 1) return nullptr;
  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, name);
  FixPathString(path);
  FILE* file = std::fopen(path, "rb");
  if (!file) return nullptr;
  ReadCharsFromFile(file, gScriptVars.strings[StringRegisterNumber(reg) - 1], kStringRegisterSize - 1);
  std::fclose(file);
  return nullptr;
}
char* znkinstr_mouse(char* parms, char* buffer) { return nullptr; }
char* znkinstr_3Dto2D(char* parms, char* buffer) { return nullptr; }
char* znkinstr_screensave(char* parms, char* buffer) {
  char name[1024] = "";
  if (parms[0] == '\0')
    ZNK_CopyString(name, gScriptVars.strings[0], sizeof name);
  else if (std::sscanf(parms, "\"%1023[^\"]\"", name) != 1)
    return nullptr;
  if (!StaysInGameFolder(name)) {
    OutputToConsoleF("// Screenshots are saved inside the game folder: %s\n", name);
    return nullptr;
  }
  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, name);
  FixPathString(path);
  SaveScreenshotToPNG(path, 0, 0, 0);
  return nullptr;
}
char* znkinstr_beep(char* parms, char* buffer) { return nullptr; }
char* znkinstr_save(char* parms, char* buffer) { return nullptr; }
