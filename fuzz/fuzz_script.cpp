// libFuzzer target for the script engine: the input writes a start script, four script files
// and a level's load script out of a vocabulary of lines (control words, macro definitions and
// calls, attaching, reloading and deleting scripts, objects with event scripts, level switches
// and world resets), then plays a number of logic passes over them the way the player does.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tools/zntl_model_writer.h"
#include "objects/human.h"
#include "script/compiler.h"
#include "script/command_table.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "shell/level.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {

constexpr int kScriptFiles = 4;
constexpr int kPasses = 24;
// Lines per text and repeat counts stay small: nested repeats and macros that call
// themselves multiply their work, and an input should cost milliseconds, not minutes.
constexpr int kMaxLines = 12;
// Object scripts that make or clone objects double the world every pass; the passes stop
// once it is this crowded.
constexpr int kMaxObjects = 256;

int CountObjects() {
  int n = 0;
  for (human_being* h = baseHuman ? baseHuman->next : nullptr; h; h = h->next) n++;
  return n;
}

std::string gGame;  // the game folder, ending in "/"

void Silent(const char*) {}

void WriteText(const std::string& relative, const std::string& text) {
  FILE* f = std::fopen((gGame + relative).c_str(), "wb");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

void SetUpOnce() {
  static bool ready = false;
  if (ready) return;
  char folder[] = "/tmp/zyntrel-fuzz-script-XXXXXX";
  if (!mkdtemp(folder)) std::abort();
  gGame = std::string(folder) + "/";
  for (const char* sub : {"Data", "Models", "L1", "L2"}) mkdir((gGame + sub).c_str(), 0755);
  WriteText("Models/box.wtf", zmw::Write(zmw::Box(1, 1, 1)));
  ZNK_CopyString(routePath, gGame.c_str(), sizeof routePath);
  toConsole = Silent;
  toDialog = Silent;
  editMode = 4;
  ZNK_Init();
  ready = true;
}

// Reads the input one byte at a time; zeros once it is used up.
struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  bool done() const { return pos >= size; }
  unsigned next() { return pos < size ? data[pos++] : 0u; }
};

std::string N(unsigned v) { return std::to_string(v); }

// One script line picked by the next byte, its numbers by the bytes after it.
std::string Line(Bytes& in) {
  unsigned k = in.next();
  unsigned a = in.next() % kScriptFiles;
  switch (k % 40) {
    case 0: return "if i,1,<,2";
    case 1: return "else";
    case 2: return "endif";
    case 3: return "repeat " + N(a % 3);
    case 4: return "endrepeat";
    case 5: return "exitrepeat";
    case 6: return "loop";
    case 7: return "endloop";
    case 8: return "exitloop";
    case 9: return a ? "idle 0.02" : "idle 0";
    case 10: return "begin m" + N(a);
    case 11: return "end";
    case 12: return "m" + N(a);
    case 13: return "#m" + N(a);
    case 14: return "###m" + N(a);
    case 15: return "begin #m" + N(a);
    case 16: return "script \"Data/s" + N(a) + "\"";
    // Object scripts answer event 2 only: one answering the per-pass event that makes an
    // object and gives it the same script would run without end within one pass.
    case 17: return "script \"Data/s" + N(a) + "\"," + N(in.next() % 2 * 2);
    case 18: return "deletescript \"Data/s" + N(a) + ".txt\"";
    case 19: return "make \"box\"";
    case 20: return "get \"box" + N(a + 1) + "\"";
    case 21: return "get \"me\"";
    case 22: return "player";
    case 23: return "off";
    case 24: return "event " + N(in.next() % 4);
    case 25: return "clone";
    case 26: return "level \"L" + N(a % 2 + 1) + "\"";
    case 27: return "boom";
    case 28: return "seti 1," + N(in.next() % 4);
    case 29: return "addi 2,1";
    case 30: return "seti 2,2";
    case 31: return "if i,1,=,2";
    case 32: return "output \"x\"";
    case 33: return "undefinedword " + N(a);
    case 34: return "// a comment";
    case 35: return "";
    case 36: return "##addi 3,1";
    case 37: return "repeat";
    case 38: return "script \"Data/missing\"";
    default: return "deletescript \"L" + N(a % 2 + 1) + "/load script.txt\"";
  }
}

// A text of lines up to the next byte 0xFF (or the end of the input).
std::string Text(Bytes& in) {
  std::string text;
  int lines = 0;
  while (!in.done() && lines < kMaxLines) {
    if (in.data[in.pos] == 0xFF) {
      in.pos++;
      break;
    }
    text += Line(in);
    text += (lines % 3 == 2) ? "\r\n" : "\n";
    lines++;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpOnce();
  Bytes in{data, size};
  std::string start = Text(in);
  WriteText("Data/game script.txt", start);
  for (int i = 0; i < kScriptFiles; i++) WriteText("Data/s" + N(i) + ".txt", Text(in));
  std::string load = Text(in);
  WriteText("L1/load script.txt", load);
  WriteText("L2/load script.txt", load + "script \"Data/s0\"\n");

  ZNK_CopyString(currentLevelFolder, gGame.c_str(), sizeof currentLevelFolder);
  levelChanged = 0;
  if (!LoadScript((gGame + "Data/game script.txt").c_str())) return 0;
  for (int pass = 0; pass < kPasses && CountObjects() < kMaxObjects; pass++) {
    gCurrentTime += 20;
    // The logic task clears the flag of a level switch in the pass after it.
    levelChanged = 0;
    HandleGameScripts();
    if (!levelChanged) HandleHumanScriptsForMask(1);
  }
  levelChanged = 0;
  ReturnToNothing(1);
  return 0;
}
