// Script benchmark: one million passes of an arithmetic loop (addi, addf, multf and an if)
// run by the engine's compiler and slice runner, against the same loop in embedded Lua 5.4.
// Prints both rates (passes and statements per second) and the ratio engine / Lua; each
// side is timed several times and its best run is kept, since the machine is shared.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <lua.hpp>

#include "bench_support.h"
#include "script/command_table.h"
#include "script/compiler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {

constexpr long kPasses = 1000000;
constexpr int kRuns = 5;
// Statements of one pass on both sides: the three sums and products and the if (its body
// runs in half the passes); the loop's own step is not counted.
constexpr double kStatementsPerPass = 4.0;

const auto Now = bench::WallSeconds;

// i1 counts the passes, f1 sums halves, f2 grows by a factor, i3 counts the passes in which
// i1 is above i2 (half of them).
const char* kEngineLoop =
    "seti 1,0\n"
    "seti 2,500000\n"
    "seti 3,0\n"
    "setf 1,0\n"
    "setf 2,1\n"
    "repeat 1000000\n"
    "addi 1,1\n"
    "addf 1,0.5\n"
    "multf 2,1.000001\n"
    "if i,1,>,2\n"
    "addi 3,1\n"
    "endif\n"
    "endrepeat\n";

const char* kLuaLoop =
    "local i1, i2, i3 = 0, 500000, 0\n"
    "local f1, f2 = 0.0, 1.0\n"
    "for n = 1, 1000000 do\n"
    "  i1 = i1 + 1\n"
    "  f1 = f1 + 0.5\n"
    "  f2 = f2 * 1.000001\n"
    "  if i1 > i2 then i3 = i3 + 1 end\n"
    "end\n"
    "return i1, i3, f1\n";

double RunEngine() {
  double best = 1e30;
  for (int run = 0; run < kRuns; run++) {
    ZNK_scripter* script = NewZNKScript(kEngineLoop);
    double t0 = Now();
    ExecuteCompiledZNKScript(script);
    double t = Now() - t0;
    if (t < best) best = t;
    DisposeScript(script);
    if (gScriptVars.ints[0] != kPasses || gScriptVars.ints[2] != kPasses / 2 || gScriptVars.floats[0] != kPasses * 0.5) {
      std::fprintf(stderr, "engine loop gave i1 %d, i3 %d, f1 %f\n", gScriptVars.ints[0], gScriptVars.ints[2],
                   gScriptVars.floats[0]);
      std::exit(1);
    }
  }
  return best;
}

double RunLua() {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  if (luaL_loadstring(L, kLuaLoop) != LUA_OK) {
    std::fprintf(stderr, "lua: %s\n", lua_tostring(L, -1));
    std::exit(1);
  }
  int chunk = luaL_ref(L, LUA_REGISTRYINDEX);
  double best = 1e30;
  for (int run = 0; run < kRuns; run++) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, chunk);
    double t0 = Now();
    if (lua_pcall(L, 0, 3, 0) != LUA_OK) {
      std::fprintf(stderr, "lua: %s\n", lua_tostring(L, -1));
      std::exit(1);
    }
    double t = Now() - t0;
    if (t < best) best = t;
    if (lua_tointeger(L, -3) != kPasses || lua_tointeger(L, -2) != kPasses / 2 || lua_tonumber(L, -1) != kPasses * 0.5) {
      std::fprintf(stderr, "lua loop gave wrong results\n");
      std::exit(1);
    }
    lua_pop(L, 3);
  }
  lua_close(L);
  return best;
}

}  // namespace

int main() {
  BuiltScriptCommandArrays();
  InitVariableLists();
  gCurrentTime = 1000;
  levelChanged = 0;

  double engine = RunEngine();
  double lua = RunLua();
  // Instructions the runner handles per pass: the five of the body, endif and endrepeat,
  // with the inner addi in half the passes.
  double instructions = kPasses * 6.5;
  std::printf("script loop, %ld passes of addi, addf, multf, if (best of %d)\n", kPasses, kRuns);
  std::printf("  engine %8.2f ms  %7.2f M statements/s  %5.2f ns per instruction\n", engine * 1000.0,
              kPasses * kStatementsPerPass / engine / 1e6, engine * 1e9 / instructions);
  std::printf("  Lua    %8.2f ms  %7.2f M statements/s\n", lua * 1000.0, kPasses * kStatementsPerPass / lua / 1e6);
  std::printf("  engine / Lua statements per second: %.3f (goal at least 0.2)\n", lua / engine);
  FreeScriptCommandArrays();
  return 0;
}
