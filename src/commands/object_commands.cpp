// Object commands: selection, placement, motion, creation and removal, identity, scripts on objects and skeleton animation.
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "commands/commands.h"
#include "commands/selection.h"
#include "models/model_types.h"
#include "models/skeleton.h"
#include "objects/human.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

unsigned char selectionType = 0;
zntlbone* selBone = nullptr;
zntlbone* gSelBone = nullptr;
int selectedLight = 0;
zntlgroup* gSelectedGroup = nullptr;
int gScriptCommandSelChange = 1;

namespace {
// Echo texts are line buffers; a value comment is appended within this size.
constexpr size_t kEchoSize = 512;

void Echo(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Echo(char* buffer, const char* format, ...) {
  if (!buffer) return;
  size_t used = strnlen(buffer, kEchoSize - 1);
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer + used, kEchoSize - used, format, args);
  va_end(args);
}

bool Empty(const char* parms) { return !parms || parms[0] == '\0'; }

// A register number read with "%d"; `fallback` when it cannot be read.
int ReadNumber(const char* parms, int fallback) {
  int n = fallback;
  if (!Empty(parms)) std::sscanf(parms, "%d", &n);
  return n;
}

zntlmdl* SelectedModel() { return selHuman ? selHuman->mdl : nullptr; }

// Seconds to a signed millisecond shift, truncated toward zero and kept inside 32 bits.
int32_t SecondsToShift(float seconds) {
  double ms = static_cast<double>(seconds) * 1000.0;
  if (!std::isfinite(ms)) return 0;
  if (ms > 2147483647.0) return INT32_MAX;
  if (ms < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(ms);
}
}  // namespace

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
char* znkinstr_make(char* parms, char* buffer) {
  char name[1024] = "";
  if (Empty(parms)) {
    if (const char* r = StringRegister(1)) ZNK_CopyString(name, r, sizeof name - 4);
  } else {
    char unused = 0;
    std::sscanf(parms, "\"%1019[^\"]\",%c", name, &unused);
  }
  size_t n = std::strlen(name);
  if (n < 4 || std::strcmp(name + n - 4, ".wtf") != 0) std::strcat(name, ".wtf");
  human_being* object = AddHuman2(name);
  if (object) {
    selHuman = object;
    selBone = gSelBone = nullptr;
  } else {
    OutputToConsole("//Could not find model!\n");
  }
  selectionType = 0;
  return nullptr;
}
char* znkinstr_clone(char* parms, char* buffer) { return nullptr; }
char* znkinstr_off(char* parms, char* buffer) {
  human_being* object = selHuman;
  if (object) {
    // A script that removes its own object must stop running at once.
    if (object == gHumanScriptTarget) {
      gHumanScriptTarget = nullptr;
      levelChanged = 1;
    }
    RemoveHuman(object);
  }
  selHuman = nullptr;
  selBone = gSelBone = nullptr;
  return nullptr;
}
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
char* znkinstr_getName(char* parms, char* buffer) {
  int n = ReadNumber(parms, 1);
  if (n == 0) n = 1;
  if (!selHuman) return nullptr;
  char* r = StringRegister(n);
  if (!r) return nullptr;
  ZNK_CopyString(r, selHuman->name, kStringRegisterSize);
  Echo(buffer, " // %s", selHuman->name);
  return nullptr;
}
char* znkinstr_getModel(char* parms, char* buffer) {
  int n = ReadNumber(parms, 1);
  if (n == 0) n = 1;
  zntlmdl* mdl = SelectedModel();
  if (!mdl) return nullptr;
  char* r = StringRegister(n);
  if (!r) return nullptr;
  ZNK_CopyString(r, mdl->signature, kStringRegisterSize);
  Echo(buffer, " // %s", mdl->signature);
  return nullptr;
}
char* znkinstr_getID(char* parms, char* buffer) {
  int n = ReadNumber(parms, 1);
  if (n < 2) n = 1;
  int32_t* r = IntRegister(n);
  if (!r) return nullptr;
  *r = static_cast<int32_t>(selHuman ? selHuman->ID : gBiggestID);
  Echo(buffer, " // %d", *r);
  return nullptr;
}
char* znkinstr_getByID(char* parms, char* buffer) { return nullptr; }
char* znkinstr_numobjects(char* parms, char* buffer) {
  int n = ReadNumber(parms, 1);
  if (n < 1) n = 1;
  int32_t* r = IntRegister(n);
  if (!r) return nullptr;
  *r = static_cast<int32_t>(gBiggestID);
  Echo(buffer, " // %ld", gBiggestID);
  return nullptr;
}
char* znkinstr_type(char* parms, char* buffer) { return nullptr; }
char* znkinstr_getTeam(char* parms, char* buffer) { return nullptr; }
char* znkinstr_setTeam(char* parms, char* buffer) { return nullptr; }
char* znkinstr_script(char* parms, char* buffer) { return nullptr; }
char* znkinstr_deletescript(char* parms, char* buffer) { return nullptr; }
char* znkinstr_event(char* parms, char* buffer) { return nullptr; }
char* znkinstr_poseanim(char* parms, char* buffer) {
  zntlmdl* mdl = SelectedModel();
  if (!mdl) return nullptr;
  char name[256] = "";
  float seconds = 0.0f;
  bool loop = false;
  if (Empty(parms)) {
    if (const char* r = StringRegister(1)) ZNK_CopyString(name, r, sizeof name);
    if (const double* f = FloatRegister(1)) seconds = static_cast<float>(*f);
    if (const int32_t* b = BoolRegister(1)) loop = *b != 0;
  } else {
    char flag[64] = "";
    std::sscanf(parms, "\"%255[^\"]\",%f,%63s", name, &seconds, flag);
    loop = ZNK_EqualString(flag, "true");
  }
  for (uint32_t i = 0; i < mdl->numAnimations; i++) {
    zntlanim* anim = &mdl->animations[i];
    if (!ZNK_EqualString(anim->signature, name)) continue;
    anim->looping = loop ? 1 : 0;
    ScanAnimationForBoneTimelines(mdl, anim, SecondsToShift(seconds));
    break;
  }
  UpdateModelBones(mdl, gCurrentTime);
  return nullptr;
}
char* znkinstr_straight(char* parms, char* buffer) {
  zntlmdl* mdl = SelectedModel();
  if (!mdl || !mdl->timelines || !mdl->bones) return nullptr;
  bool rest;
  if (Empty(parms)) {
    const int32_t* b = BoolRegister(1);
    rest = b && *b != 0;
  } else {
    char word[64] = "";
    std::sscanf(parms, "%63s", word);
    rest = ZNK_EqualString(word, "true");
  }
  for (uint32_t i = 0; i <= mdl->numBones; i++) {
    ClearBoneTimeline(&mdl->timelines[i]);
    if (rest) {
      zntlbone* b = &mdl->bones[i];
      b->xang = b->yang = b->zang = 0.0f;
      b->xmod = b->ymod = b->zmod = 0.0f;
    }
  }
  return nullptr;
}
char* znkinstr_pushAnim(char* parms, char* buffer) {
  zntlmdl* mdl = SelectedModel();
  if (!mdl || !mdl->timelines) return nullptr;
  int k = 1;
  if (Empty(parms)) {
    if (const int32_t* r = IntRegister(1)) k = *r;
  } else {
    std::sscanf(parms, "%d", &k);
  }
  int slot = k < 1 ? 0 : (k > 3 ? 2 : k - 1);
  for (uint32_t i = 0; i <= mdl->numBones; i++) mdl->timelines[i].timeOffset[slot] = gCurrentTime;
  return nullptr;
}
char* znkinstr_boxbones(char* parms, char* buffer) { return nullptr; }
