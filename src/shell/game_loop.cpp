// The logic task, run once in every pass of the main loop after the drawing task.
#include "shell/game_loop.h"

#include "effects/particles.h"
#include "objects/motion.h"
#include "objects/player.h"
#include "script/scheduler.h"
#include "shell/input.h"
#include "shell/replay.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "sound/sound.h"

int GameLoop() {
  if (stopClock) {
    gOldTime = gCurrentTime;
    stopClock = 0;
  }
  if (editMode == 4 && editMode != oldEditMode) stopClock = 1;
  oldEditMode = editMode;
  if (levelChanged) {
    stopClock = 1;
    levelChanged = 0;
  }

  ApplyReplayedInput(gPassNumber);
  GetAllKeys();
  gMouseButtons[0] = keyMap[1];

  particle_idle();
  objects_idle();

  const float listener[3] = {playerPos.x, playerPos.y, playerPos.z};
  FSOUND_3D_Listener_SetAttributes(listener, nullptr, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);

  ReadCursorAndMouseView();

  HandleGameScripts();
  HandleHumanScriptsForMask(1);

  tintColor = {baseCol1, baseCol2, baseCol3};
  SaveOldKeys();
  return 1;
}
