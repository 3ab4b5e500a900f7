// Start-up in its fixed order, the engine's initial lists and defaults, the main loop and
// shutdown.
#include "shell/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "effects/particles.h"
#include "groups/groups.h"
#include "models/materials.h"
#include "models/precache.h"
#include "objects/human.h"
#include "objects/vector_math.h"
#include "platform/platform.h"
#include "render/frame.h"
#include "render/textures.h"
#include "script/command_table.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/game_check.h"
#include "shell/game_loop.h"
#include "shell/output.h"
#include "shell/replay.h"
#include "shell/shutdown.h"
#include "shell/timed_tasks.h"
#include "sound/sound.h"
#include "world/level_mesh.h"

int editMode = 1, oldEditMode = 1;
int doIdle = 1;
int levelChanged = 0;
char routePath[1024] = "";
char currentLevelFolder[2048] = "";
float baseCol1 = 1.0f, baseCol2 = 1.0f, baseCol3 = 1.0f;
vector_type tintColor = {1.0f, 1.0f, 1.0f};
tagRECT screenRect = {0, 0, 0, 0};
Point startLoc = {0, 0};
long gPassNumber = 0;

void init() {
  routePath[0] = '\0';
  tintColor = {1.0f, 1.0f, 1.0f};
  timeFreq = Plat_CounterFrequency();
  prevTime = ReadCounterMilliseconds();
}

void ZNK_Init() {
  InitHumanRegistry();
  InitLevelLists();
  InitParticleAndTextLists();

  std::snprintf(currentLevelFolder, sizeof currentLevelFolder, "%s", routePath);
  InitScriptLists();
  InitTextureCache();
  InitVariableLists();

  InitRenderQuadrics();
  InitRootGroup();
  InitDefaultMaterialAndBone();

  BuiltScriptCommandArrays();
  InstallEngineVariables();
  gEngineInitialised = true;
}

namespace {
void InstallTasks() {
  timed_task* drawing = new timed_task;
  InstallTimedTask(drawing, DrawGLScene, 1, 40);
  timed_task* logic = new timed_task;
  InstallTimedTask(logic, GameLoop, 2, 20);
  baseTask.next = drawing;
  drawing->next = logic;
}

// The main loop: both tasks every pass, then at most one window message.
void RunMainLoop(long frameLimit) {
  while (doIdle) {
    if (frameLimit >= 0 && gPassNumber >= frameLimit) break;
    gPassNumber++;
    HandleTimedTasks();
    PlatformEvent event;
    if (Plat_PollEvent(&event) && WndProc(event)) doIdle = 0;
  }
}
}  // namespace

int PlayerMain(const PlayerOptions& options) {
  // The replay file is named relative to where the player was started.
  if (!options.inputFile.empty()) {
    if (!options.headless) {
      std::fprintf(stderr, "zyntrel: --input replays input only in --headless runs\n");
      return 2;
    }
    if (!LoadInputReplay(options.inputFile)) return 2;
  }

  if (!options.gameFolder.empty() && chdir(options.gameFolder.c_str()) != 0) {
    std::fprintf(stderr, "zyntrel: cannot enter the game folder \"%s\": %s\n", options.gameFolder.c_str(),
                 std::strerror(errno));
    return 1;
  }

  if (options.check) return CheckGame();

  toDialog = MyOutputToDialog;
  toConsole = MyOutputToConsole;

  gFixedStepMs = options.fixedStepMs;
  init();
  InstallTasks();

  PlatformOptions platform;
  platform.backend = options.headless ? kPlatformHeadless : kPlatformSDL;
  platform.windowWidth = options.windowWidth;
  platform.windowHeight = options.windowHeight;
  bool platformUp = Plat_Init(platform);

  SoundOptions sound;
  sound.nullDevice = options.headless;
  sound.captureFile = options.soundCaptureFile;
  SND_Configure(sound);
  gFMODIsOn = 1;
  if (!FSOUND_Init(44100, 32, 0)) OutputToDialog("An error occured while attempting to initialize the FMOD sound library.");

  int width = 640, height = 480;
  Plat_ScreenSize(&width, &height);
  screenRect = {0, 0, width, height};
  startLoc = {width / 2, height / 2};

  bool wantFullscreen = !options.headless && options.windowWidth == 0;
  if (!platformUp || !CreateGLWindow("Screen", width, height, 16, wantFullscreen)) {
    OutputToDialog("Something went wrong at initialization of OpenGL. Will quit now.");
    ShutdownEngine();
    DisposeTimedTasks();
    Plat_Shutdown();
    return 1;
  }

  ZNK_Init();
  ReSizeGLScene(screenRect, 0);
  editMode = 4;
  doMouseView = 0;
  Plat_ShowCursor(true);
  ImportAllMeshworkModels();
  RANROT_init(options.haveSeed ? options.seed : static_cast<uint32_t>(std::time(nullptr)));

  int status = 0;
  char startScript[1200];
  std::snprintf(startScript, sizeof startScript, "%sData%cgame script.txt", routePath, kDirectoryDevider);
  ZNK_scripter* script = LoadScript(startScript);
  if (!script) {
    OutputToDialog("Failed to initialize the game.");
    doIdle = 0;
    status = 1;
  } else {
    ExecuteZNKCommandScript(script);
  }

  RunMainLoop(options.frames);

  ShutdownEngine();
  DisposeTimedTasks();
  KillGLWindow();
  Plat_Shutdown();
  return status;
}
