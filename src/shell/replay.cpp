// Input replay for headless runs: a file of timed key, button and cursor changes, each
// applied just before its pass polls the input, so that tests can drive a game.
#include "shell/replay.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/platform.h"

namespace {
enum ReplayKind { kReplayKey, kReplayCursor };

struct ReplayEvent {
  long pass;
  ReplayKind kind;
  int a, b;  // key: code and down flag; cursor: h and v
};

std::vector<ReplayEvent> gEvents;
size_t gNext = 0;

bool ParseInt(const std::string& text, long* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 0);
  if (errno || *end) return false;
  *out = value;
  return true;
}

bool ParseState(const std::string& word, int* down) {
  if (word == "down") *down = 1;
  else if (word == "up") *down = 0;
  else return false;
  return true;
}

bool ParseLine(const std::string& line, ReplayEvent* event, std::string* why) {
  std::istringstream in(line);
  std::string passText, kind, first, second, extra;
  in >> passText >> kind >> first >> second;
  if (in >> extra) {
    *why = "too many fields";
    return false;
  }
  long pass;
  if (!ParseInt(passText, &pass) || pass < 1) {
    *why = "the pass must be a number from 1";
    return false;
  }
  event->pass = pass;
  if (kind == "key") {
    long vk;
    event->kind = kReplayKey;
    if (!ParseInt(first, &vk) || vk < 1 || vk > 255) {
      *why = "the key must be a virtual-key code from 1 to 255";
      return false;
    }
    event->a = static_cast<int>(vk);
    if (!ParseState(second, &event->b)) {
      *why = "the key state must be down or up";
      return false;
    }
    return true;
  }
  if (kind == "button") {
    event->kind = kReplayKey;
    if (first == "left") event->a = 0x01;
    else if (first == "right") event->a = 0x02;
    else if (first == "middle") event->a = 0x04;
    else {
      *why = "the button must be left, right or middle";
      return false;
    }
    if (!ParseState(second, &event->b)) {
      *why = "the button state must be down or up";
      return false;
    }
    return true;
  }
  if (kind == "cursor") {
    long h, v;
    event->kind = kReplayCursor;
    if (!ParseInt(first, &h) || !ParseInt(second, &v) || h < -100000 || h > 100000 || v < -100000 ||
        v > 100000) {
      *why = "the cursor wants two pixel coordinates";
      return false;
    }
    event->a = static_cast<int>(h);
    event->b = static_cast<int>(v);
    return true;
  }
  *why = "the kind must be key, button or cursor";
  return false;
}
// Bounds that keep an endless or binary file (a device, a FIFO) from exhausting memory.
constexpr size_t kMaxReplayLine = 256;
constexpr size_t kMaxReplayEvents = 1000000;

// One line into `line`, at most kMaxReplayLine + 1 characters of it (more means too long);
// false at the end of the stream.
bool ReadBoundedLine(std::istream& in, std::string* line) {
  line->clear();
  int c;
  bool any = false;
  while ((c = in.get()) != EOF) {
    any = true;
    if (c == '\n') return true;
    line->push_back(static_cast<char>(c));
    if (line->size() > kMaxReplayLine) return true;
  }
  return any;
}
}  // namespace

bool LoadInputReplay(const std::string& path) {
  gEvents.clear();
  gNext = 0;
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "zyntrel: cannot read the input replay \"%s\"\n", path.c_str());
    return false;
  }
  std::string line;
  int number = 0;
  while (ReadBoundedLine(in, &line)) {
    number++;
    if (line.size() > kMaxReplayLine) {
      std::fprintf(stderr, "zyntrel: %s:%d: a line longer than %zu characters\n", path.c_str(), number,
                   kMaxReplayLine);
      gEvents.clear();
      return false;
    }
    if (gEvents.size() >= kMaxReplayEvents) {
      std::fprintf(stderr, "zyntrel: %s:%d: more than %zu input changes\n", path.c_str(), number, kMaxReplayEvents);
      gEvents.clear();
      return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    ReplayEvent event;
    std::string why;
    if (!ParseLine(line, &event, &why)) {
      std::fprintf(stderr, "zyntrel: %s:%d: %s\n", path.c_str(), number, why.c_str());
      gEvents.clear();
      return false;
    }
    gEvents.push_back(event);
  }
  // Changes of one pass keep their file order.
  std::stable_sort(gEvents.begin(), gEvents.end(),
                   [](const ReplayEvent& x, const ReplayEvent& y) { return x.pass < y.pass; });
  return true;
}

void ApplyReplayedInput(long pass) {
  while (gNext < gEvents.size() && gEvents[gNext].pass <= pass) {
    const ReplayEvent& e = gEvents[gNext++];
    if (e.pass < pass) continue;  // a pass that never ran its poll
    if (e.kind == kReplayKey)
      Plat_SetKeyDown(e.a, e.b != 0);
    else
      Plat_SetCursorPosition(e.a, e.b);
  }
}
