// Shutdown: the world and every list the engine owns are freed before the window goes.
#include "shell/shutdown.h"

#include "script/command_table.h"
#include "script/script_file.h"
#include "sound/sound.h"

void ShutdownEngine() {
  DisposeAllScripts();
  FreeScriptCommandArrays();
  FSOUND_Close();
}
