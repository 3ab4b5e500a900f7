// Start-up and shutdown of the player, the engine's initial lists and defaults, and the
// globals of the game folder, the level folder, the run mode and the tint.
#pragma once
#include <cstdint>
#include <string>

#include "objects/vector_math.h"
#include "shell/input.h"
#include "shell/window.h"

extern int editMode, oldEditMode;  // run mode; start-up sets 4 (play) for good
extern int doIdle;                 // the main loop turns while this is set
extern int levelChanged;           // the world was torn down or a level switched this pass
extern char routePath[1024];       // game folder prefix: empty, the game folder is the cwd
extern char currentLevelFolder[2048];
constexpr char kDirectoryDevider = '/';
extern float baseCol1, baseCol2, baseCol3;  // the level's tint from its "tint" file
extern vector_type tintColor;               // the tint in force, reset every logic pass
extern tagRECT screenRect;
extern Point startLoc;  // screen centre, where mouse view recentres the cursor

// What the command line asked for.
struct PlayerOptions {
  std::string gameFolder;
  bool headless = false;
  int windowWidth = 0, windowHeight = 0;  // 0: full screen at the desktop size
  long frames = -1;                       // -1: no limit
  int fixedStepMs = 0;                    // 0: wall time
  bool haveSeed = false;
  uint32_t seed = 0;
  std::string inputFile;         // headless input replay
  std::string soundCaptureFile;  // WAV capture of everything played
  bool check = false;            // check the game folder instead of playing it
};

// Start-up, main loop and shutdown; returns the process exit status.
int PlayerMain(const PlayerOptions& options);

void init();
void ZNK_Init();

// Logic passes run so far (the main loop's pass counter, for --frames and replay).
extern long gPassNumber;
