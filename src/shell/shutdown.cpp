// Shutdown: the world and every list the engine owns are freed before the window goes.
#include "shell/shutdown.h"

#include "effects/fonts.h"
#include "render/textures.h"
#include "script/command_table.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/level.h"
#include "sound/sound.h"

bool gEngineInitialised = false;

void ShutdownEngine() {
  if (gEngineInitialised) {
    ReturnToNothing(1);
    FreeTextureAnimations();
    DisposeAllFonts();
    DisposeVariableList(gGameVariables.next);
    gGameVariables.next = nullptr;
    FreeScriptCommandArrays();
    gEngineInitialised = false;
  }
  FSOUND_Close();
}
