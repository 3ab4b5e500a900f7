// Object growth benchmark: a script makes N objects from one model (the `make` command in a
// repeat, as a level's script would), selects each by its name, then the world reset removes
// them; then it makes them again and removes each one by `off`, first made first; the same
// again with 10 N objects. Prints the times and their ratios (linear growth: at most 12) and
// the heap each object takes. Each size is timed several times and the best run is kept,
// since the machine is shared.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <unistd.h>
#include <string>

#include "bench_support.h"
#include "../tools/zntl_model_writer.h"
#include "groups/groups.h"
#include "models/model_blocks.h"
#include "objects/human.h"
#include "script/command_table.h"
#include "script/compiler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/level.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {

constexpr int kRuns = 6;

// Processor time of this process: steadier than wall time while other programs run.
const auto Now = bench::ProcessSeconds;

struct Times {
  double make = 1e30;
  double get = 1e30;
  double reset = 1e30;
  double off = 1e30;
  double bytesPerObject = 0;
};

// Selects every object by its name, built in string register 1 as "box" and a number, and
// runs `then` (a command line, or nothing) on it, first made first.
std::string EachByName(const char* then) {
  return std::string("seti 1,1\n"
                     "repeat %d\n"
                     "sets 1,\"box\"\n"
                     "sets 2,i1\n"
                     "append 1,2\n"
                     "get\n") +
         then + "addi 1,1\nendrepeat\n";
}
const std::string kGetEach = EachByName("");
const std::string kOffEach = EachByName("off\n");

// The heap in use and the model blocks held apart from it.
size_t HeapInUse() {
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd + ModelBlockBytesInUse();
}

// Runs a script of `text` with `count` in it; returns its time.
double RunTimed(const char* text, int count) {
  char scriptText[256];
  std::snprintf(scriptText, sizeof scriptText, text, count);
  ZNK_scripter* script = NewZNKScript(scriptText);
  double t0 = Now();
  ExecuteCompiledZNKScript(script);
  double t1 = Now();
  DisposeScript(script);
  return t1 - t0;
}

const char* kMakeAll = "repeat %d\nmake \"box\",x\nendrepeat\n";

// One run: the script makes `count` objects, selects each, then the reset removes them; then
// they are made again and each is removed by `off`.
void MeasureOnce(int count, Times* best) {
  size_t heapBefore = HeapInUse();
  double make = RunTimed(kMakeAll, count);
  best->bytesPerObject = static_cast<double>(HeapInUse() - heapBefore) / count;
  if (gBiggestID != count) {
    std::fprintf(stderr, "made %ld objects instead of %d\n", gBiggestID, count);
    std::exit(1);
  }
  double get = RunTimed(kGetEach.c_str(), count);
  if (!selHuman || std::strcmp(selHuman->name, ("box" + std::to_string(count)).c_str()) != 0) {
    std::fprintf(stderr, "get did not find the last object\n");
    std::exit(1);
  }
  // The reset starts with cold caches at both sizes: N objects would otherwise still be in
  // the caches from the selection just before, and 10 N objects would not, so the ratio would
  // show the cache's size rather than the reset's work.
  bench::EvictCaches();
  double t2 = Now();
  ReturnToNothing(0);
  double t3 = Now();
  if (baseHuman->next) {
    std::fprintf(stderr, "the reset left objects\n");
    std::exit(1);
  }
  RunTimed(kMakeAll, count);
  double off = RunTimed(kOffEach.c_str(), count);
  if (baseHuman->next || gBiggestID != 0) {
    std::fprintf(stderr, "off left objects\n");
    std::exit(1);
  }
  ReturnToNothing(0);
  if (make < best->make) best->make = make;
  if (off < best->off) best->off = off;
  if (t3 - t2 < best->reset) best->reset = t3 - t2;
  if (get < best->get) best->get = get;
}

void Report(const char* what, int n, double small, double large) {
  std::printf("  %-10s %6d: %9.2f ms   %6d: %9.2f ms   ratio %6.2f (goal at most 12)\n", what, n, small * 1000.0,
              n * 10, large * 1000.0, large / small);
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  fs::path game = fs::temp_directory_path() / ("zyntrel-bench-objects-" + std::to_string(::getpid()));
  fs::create_directories(game / "Models");
  std::ofstream(game / "Models" / "box.wtf", std::ios::binary) << zmw::Write(zmw::Box(1.0f, 1.0f, 1.0f));

  std::string route = game.string() + "/";
  ZNK_CopyString(routePath, route.c_str(), sizeof routePath);
  ZNK_CopyString(currentLevelFolder, route.c_str(), sizeof currentLevelFolder);
  BuiltScriptCommandArrays();
  InitVariableLists();
  InitHumanRegistry();
  InitRootGroup();
  gCurrentTime = 1000;

  std::printf("objects: make N from one model, get each by name, then the world reset (best of %d)\n", kRuns);
  for (int n : {1000, 2000}) {
    // The two sizes take turns, so that a busy spell of the machine hits both alike.
    Times small, large;
    for (int run = 0; run < kRuns; run++) {
      MeasureOnce(n, &small);
      MeasureOnce(n * 10, &large);
    }
    Report("make", n, small.make, large.make);
    Report("get each", n, small.get, large.get);
    Report("reset", n, small.reset, large.reset);
    Report("get, off", n, small.off, large.off);
    std::printf("  heap per object: %.0f bytes (%d objects), %.0f bytes (%d objects)\n", small.bytesPerObject, n,
                large.bytesPerObject, n * 10);
  }
  levelChanged = 0;
  FreeScriptCommandArrays();
  fs::remove_all(game);
  return 0;
}
