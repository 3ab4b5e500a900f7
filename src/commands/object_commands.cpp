// Object commands: selection, placement, motion, creation and removal, identity, scripts on objects and skeleton animation.
#include "commands/commands.h"

#include <cstdio>

#include "models/import_dispatch.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"

char* znkinstr_get(char* parms, char* buffer) { return nullptr; }
char* znkinstr_player(char* parms, char* buffer) { return nullptr; }
char* znkinstr_bone(char* parms, char* buffer) { return nullptr; }
char* znkinstr_mark(char* parms, char* buffer) { return nullptr; }
char* znkinstr_axis(char* parms, char* buffer) { return nullptr; }
char* znkinstr_put(char* parms, char* buffer) { return nullptr; }
char* znkinstr_spin(char* parms, char* buffer) { return nullptr; }
char* znkinstr_size3D(char* parms, char* buffer) { return nullptr; }
char* znkinstr_move(char* parms, char* buffer) { return nullptr; }
char* znkinstr_go(char* parms, char* buffer) { return nullptr; }
char* znkinstr_fly(char* parms, char* buffer) { return nullptr; }
char* znkinstr_ghost(char* parms, char* buffer) { return nullptr; }
char* znkinstr_make(char* parms, char* buffer) { return nullptr; }
char* znkinstr_clone(char* parms, char* buffer) { return nullptr; }
char* znkinstr_off(char* parms, char* buffer) { return nullptr; }
char* znkinstr_boom(char* parms, char* buffer) { return nullptr; }
char* znkinstr_level(char* parms, char* buffer) { return nullptr; }
// Adds the geometry of a model file (a name in double quotes, or string register 1) to the
// level through the import dispatch.
char* znkinstr_mesh(char* parms, char* buffer) {
  char name[kStringRegisterSize] = "";
  if (!parms || parms[0] == '\0') {
    ZNK_CopyString(name, gScriptVars.strings[0], sizeof name);
  } else if (std::sscanf(parms, "\"%4095[^\"]\"", name) != 1) {
    return nullptr;
  }
  char path[sizeof routePath + kStringRegisterSize];
  std::snprintf(path, sizeof path, "%s%s", routePath, name);
  FixPathString(path);
  ImportModelWithAutoDetect(path, 1.0f);
  return nullptr;
}
char* znkinstr_setName(char* parms, char* buffer) { return nullptr; }
char* znkinstr_getName(char* parms, char* buffer) { return nullptr; }
char* znkinstr_getModel(char* parms, char* buffer) { return nullptr; }
char* znkinstr_getID(char* parms, char* buffer) { return nullptr; }
char* znkinstr_getByID(char* parms, char* buffer) { return nullptr; }
char* znkinstr_numobjects(char* parms, char* buffer) { return nullptr; }
char* znkinstr_type(char* parms, char* buffer) { return nullptr; }
char* znkinstr_getTeam(char* parms, char* buffer) { return nullptr; }
char* znkinstr_setTeam(char* parms, char* buffer) { return nullptr; }
char* znkinstr_script(char* parms, char* buffer) { return nullptr; }
char* znkinstr_deletescript(char* parms, char* buffer) { return nullptr; }
char* znkinstr_event(char* parms, char* buffer) { return nullptr; }
char* znkinstr_poseanim(char* parms, char* buffer) { return nullptr; }
char* znkinstr_straight(char* parms, char* buffer) { return nullptr; }
char* znkinstr_pushAnim(char* parms, char* buffer) { return nullptr; }
char* znkinstr_boxbones(char* parms, char* buffer) { return nullptr; }
