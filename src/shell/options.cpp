// Command-line parsing: options, the game folder, --help and --version.
#include "shell/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char* kUsageText =
    "Usage: zyntrel [OPTIONS] [GAME_FOLDER]\n"
    "Plays the game in GAME_FOLDER (default: the current folder), starting with\n"
    "Data/game script.txt.\n"
    "\n"
    "Options:\n"
    "  --window WxH          a normal window with a W by H client area instead of full screen\n"
    "  --headless            no window system, sound or input devices: render off screen\n"
    "                        (640x480 unless --window gives a size)\n"
    "  --frames N            end after N passes of the main loop (0: run the start script once)\n"
    "  --fixed-step MS       advance the game clock by exactly MS milliseconds per pass\n"
    "  --seed N              seed the random generator with N instead of the time\n"
    "  --input FILE          replay input in headless runs; lines of\n"
    "                          PASS key VK down|up\n"
    "                          PASS button left|right|middle down|up\n"
    "                          PASS cursor H V\n"
    "                        applied just before that pass's poll (PASS counts from 1)\n"
    "  --sound-capture FILE  write everything played, mixed for the listener, to a WAV file\n"
    "  --check               check the game instead of playing it: every script reachable\n"
    "                        from the start script and the level folders (unknown commands,\n"
    "                        unbalanced blocks) and every file or folder they name; reports\n"
    "                        each with its file and line; exit 0 when clean, 1 otherwise\n"
    "  --help                show this text\n"
    "  --version             show the version\n"
    "\n"
    "Names in scripts and data files may use \"\\\" between folders and differ in case from\n"
    "the files (games made on Windows); writes stay inside the game folder.\n"
    "\n"
    "Exit status: 0 after a normal end, 1 when start-up fails, 2 for a usage error.\n";

namespace {
bool ParseLong(const char* text, long minimum, long* out) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < minimum) return false;
  *out = value;
  return true;
}

bool ParseSize(const char* text, int* w, int* h) {
  if (!text) return false;
  const char* x = std::strchr(text, 'x');
  if (!x) return false;
  std::string left(text, x - text);
  long lw, lh;
  if (!ParseLong(left.c_str(), 1, &lw) || !ParseLong(x + 1, 1, &lh)) return false;
  if (lw > 16384 || lh > 16384) return false;
  *w = static_cast<int>(lw);
  *h = static_cast<int>(lh);
  return true;
}
}  // namespace

ParseResult ParsePlayerOptions(int argc, char** argv, PlayerOptions* options, std::string* message) {
  bool haveFolder = false;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        *message = std::string("zyntrel: ") + name + " needs a value\n";
        return nullptr;
      }
      return argv[++i];
    };
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
      *message = kUsageText;
      return kParseExit;
    }
    if (!std::strcmp(arg, "--version")) {
      *message = std::string("zyntrel ") + ZYNTREL_VERSION + "\n";
      return kParseExit;
    }
    if (!std::strcmp(arg, "--check")) {
      options->check = true;
    } else if (!std::strcmp(arg, "--headless")) {
      options->headless = true;
    } else if (!std::strcmp(arg, "--window")) {
      const char* v = value("--window");
      if (!v) return kParseUsageError;
      if (!ParseSize(v, &options->windowWidth, &options->windowHeight)) {
        *message = std::string("zyntrel: --window wants WxH, not \"") + v + "\"\n";
        return kParseUsageError;
      }
    } else if (!std::strcmp(arg, "--frames")) {
      const char* v = value("--frames");
      if (!v) return kParseUsageError;
      if (!ParseLong(v, 0, &options->frames)) {
        *message = std::string("zyntrel: --frames wants a count of 0 or more, not \"") + v + "\"\n";
        return kParseUsageError;
      }
    } else if (!std::strcmp(arg, "--fixed-step")) {
      const char* v = value("--fixed-step");
      long ms;
      if (!v) return kParseUsageError;
      if (!ParseLong(v, 1, &ms) || ms > 60000) {
        *message = std::string("zyntrel: --fixed-step wants milliseconds from 1 to 60000, not \"") + v + "\"\n";
        return kParseUsageError;
      }
      options->fixedStepMs = static_cast<int>(ms);
    } else if (!std::strcmp(arg, "--seed")) {
      const char* v = value("--seed");
      long seed;
      if (!v) return kParseUsageError;
      if (!ParseLong(v, 0, &seed) || seed > 0xFFFFFFFFL) {
        *message = std::string("zyntrel: --seed wants a number from 0 to 4294967295, not \"") + v + "\"\n";
        return kParseUsageError;
      }
      options->haveSeed = true;
      options->seed = static_cast<uint32_t>(seed);
    } else if (!std::strcmp(arg, "--input")) {
      const char* v = value("--input");
      if (!v) return kParseUsageError;
      options->inputFile = v;
    } else if (!std::strcmp(arg, "--sound-capture")) {
      const char* v = value("--sound-capture");
      if (!v) return kParseUsageError;
      options->soundCaptureFile = v;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      *message = std::string("zyntrel: unknown option \"") + arg + "\" (see --help)\n";
      return kParseUsageError;
    } else {
      if (haveFolder) {
        *message = "zyntrel: only one game folder may be given\n";
        return kParseUsageError;
      }
      options->gameFolder = arg;
      haveFolder = true;
    }
  }
  return kParseRun;
}
