// Object commands: selection, placement, motion, creation and removal, identity, scripts on objects and skeleton animation.
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "commands/commands.h"
#include "commands/selection.h"
#include "groups/groups.h"
#include "models/import_dispatch.h"
#include "models/mat4.h"
#include "models/materials.h"
#include "objects/motion.h"
#include "objects/player.h"
#include "render/lights.h"
#include "script/compiler.h"
#include "shell/level.h"
#include "world/collide_slide.h"
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
int gTeam = 0;
int alwaysWalk = 0;

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

// Seconds to a signed millisecond shift, truncated toward zero and saturated at the int limits.
int32_t SecondsToShift(float seconds) { return TruncateToInt(static_cast<double>(seconds) * 1000.0); }

// Up to `count` floats: from float registers 1..count for an empty text, otherwise scanned
// with `format`; fields the scan cannot read stay 0.
void ReadFloats(const char* parms, const char* format, float* v, int count) {
  for (int i = 0; i < count; i++) v[i] = 0.0f;
  if (Empty(parms)) {
    for (int i = 0; i < count; i++)
      if (const double* r = FloatRegister(i + 1)) v[i] = static_cast<float>(*r);
    return;
  }
  float t[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  std::sscanf(parms, format, &t[0], &t[1], &t[2], &t[3]);
  for (int i = 0; i < count && i < 4; i++) v[i] = t[i];
}

// One number: int register 1 for an empty text, otherwise scanned with "%d".
int ReadIntOrRegister(const char* parms) {
  int n = 0;
  if (Empty(parms)) {
    if (const int32_t* r = IntRegister(1)) n = *r;
  } else {
    std::sscanf(parms, "%d", &n);
  }
  return n;
}

// A distance: float register 1 for an empty text, otherwise scanned with "%f".
float ReadDistance(const char* parms) {
  float d = 0.0f;
  ReadFloats(parms, "%f", &d, 1);
  return std::isfinite(d) ? d : 0.0f;
}

// A name in double quotes, the bare text when it does not start with a quote, or string
// register 1 for an empty text.
void ReadName(const char* parms, char* out, size_t size) {
  out[0] = '\0';
  if (Empty(parms)) {
    if (const char* r = StringRegister(1)) ZNK_CopyString(out, r, size);
  } else if (parms[0] == '"') {
    char format[32];
    std::snprintf(format, sizeof format, "\"%%%zu[^\"]", size - 1);
    if (std::sscanf(parms, format, out) != 1) out[0] = '\0';
  } else {
    ZNK_CopyString(out, parms, size);
  }
}

// A name that must be in double quotes; string register 1 for an empty text. False when the
// text holds no quoted name.
bool ReadQuotedName(const char* parms, char* out, size_t size, bool registerDefault = true) {
  out[0] = '\0';
  if (Empty(parms)) {
    if (!registerDefault) return false;
    if (const char* r = StringRegister(1)) ZNK_CopyString(out, r, size);
    return true;
  }
  char format[32];
  std::snprintf(format, sizeof format, "\"%%%zu[^\"]", size - 1);
  return std::sscanf(parms, format, out) == 1;
}

bool IsLivingObject(const human_being* object) { return HumanIsLiving(object) != 0; }

// The selected bone, only while it belongs to the selected object's model.
zntlbone* SelectedBone() {
  zntlmdl* mdl = SelectedModel();
  if (!selBone || !mdl || !mdl->bones) return nullptr;
  if (selBone < mdl->bones || selBone > mdl->bones + mdl->numBones) return nullptr;
  return selBone;
}

// Marks only entity `index` of the root group selected, when selection commands mark.
void MarkOnlyEntity(int index) {
  if (!gScriptCommandSelChange) return;
  SelectGroupEntities(&gAllEntities, 0);
  MarkGroupEntity(&gAllEntities, index);
}

void SelectObject(human_being* object) {
  selHuman = object;
  selBone = gSelBone = nullptr;
  MarkOnlyEntity(GetHumanEntityNumberInGroup(&gAllEntities, object));
}

void SelectCamera() {
  selHuman = nullptr;
  selBone = gSelBone = nullptr;
  MarkOnlyEntity(GetCameraEntityNumberInGroup(&gAllEntities));
  selectionType = 0;
}

void ShiftModelBox(human_being* object, float dx, float dy, float dz) {
  zntlmdl* mdl = object->mdl;
  if (!mdl) return;
  mdl->newBoxMin.x += dx;
  mdl->newBoxMin.y += dy;
  mdl->newBoxMin.z += dz;
  mdl->newBoxMax.x += dx;
  mdl->newBoxMax.y += dy;
  mdl->newBoxMax.z += dz;
}

// mark and axis: a first register outside 1..14 is taken as 1.
int FirstRegisterOf(const char* parms) {
  int n = ReadNumber(parms, 1);
  return (n < 1 || n > 14) ? 1 : n;
}

void WriteThree(int n, vector_type v) {
  *FloatRegister(n) = v.x;
  *FloatRegister(n + 1) = v.y;
  *FloatRegister(n + 2) = v.z;
}
}  // namespace

// Selects an object by name; "me" is the object whose script runs, "coll" the object the
// last collision query hit. A name that finds nothing selects the player camera.
char* znkinstr_get(char* parms, char* buffer) {
  char name[kStringRegisterSize];
  ReadName(parms, name, sizeof name);
  human_being* object;
  if (ZNK_EqualString(name, "me")) {
    object = gHumanScriptTarget;
  } else if (ZNK_EqualString(name, "coll")) {
    object = gHitPerson;
  } else {
    object = GetHumanByName(name);
  }
  // The script target and the last hit may name an object that is gone by now.
  if (!IsLivingObject(object)) {
    SelectCamera();
    return nullptr;
  }
  SelectObject(object);
  selectionType = 0;
  return nullptr;
}
char* znkinstr_player(char* parms, char* buffer) {
  SelectCamera();
  return nullptr;
}
// Selects a bone of the selected object's model by name; "none" clears the bone selection.
char* znkinstr_bone(char* parms, char* buffer) {
  char name[256];
  if (ZNK_EqualString(parms ? parms : "", "none")) {
    selBone = gSelBone = nullptr;
    return nullptr;
  }
  if (!ReadQuotedName(parms, name, sizeof name)) return nullptr;
  if (ZNK_EqualString(name, "none")) {
    selBone = gSelBone = nullptr;
    return nullptr;
  }
  zntlmdl* mdl = SelectedModel();
  if (!mdl || !mdl->bones) return nullptr;
  for (uint32_t i = 0; i <= mdl->numBones; i++) {
    if (ZNK_EqualString(mdl->bones[i].signature, name)) {
      selBone = gSelBone = &mdl->bones[i];
      return nullptr;
    }
  }
  return nullptr;
}
// The selection's position into float registers n, n+1, n+2 (a light's four values into
// n..n+3, the fourth only while it fits the bank).
char* znkinstr_mark(char* parms, char* buffer) {
  int n = FirstRegisterOf(parms);
  if (selectionType == 2) {
    if (gSelectedGroup) WriteThree(n, GetEntitiesCentroid(gSelectedGroup, 0));
    return nullptr;
  }
  if (selectionType == 1) {
    const float* light = LightPositions[selectedLight & 7];
    for (int i = 0; i < 4; i++)
      if (double* r = FloatRegister(n + i)) *r = light[i];
    return nullptr;
  }
  vector_type v = playerPos;
  if (zntlbone* bone = SelectedBone()) {
    v = bone->tpos;
  } else if (selHuman) {
    v = fastVector_Set(selHuman->xpos, selHuman->ypos, selHuman->zpos);
  }
  WriteThree(n, v);
  Echo(buffer, " // %f, %f, %f", v.x, v.y, v.z);
  return nullptr;
}
// The selection's angles into float registers n, n+1, n+2; the camera's yaw as scripts see it.
char* znkinstr_axis(char* parms, char* buffer) {
  int n = FirstRegisterOf(parms);
  vector_type v;
  if (selectionType == 1) return nullptr;
  if (selectionType == 2) {
    if (!gSelectedGroup) return nullptr;
    v = GetGroupAngles(gSelectedGroup, 0);
  } else if (zntlbone* bone = SelectedBone()) {
    v = fastVector_Set(bone->xang, bone->yang, bone->zang);
  } else if (selHuman) {
    v = fastVector_Set(selHuman->xang, selHuman->yang, selHuman->zang);
  } else {
    v = fastVector_Set(updownangle, GetCorrectDegree(180.0f - viewangle), zangle);
  }
  WriteThree(n, v);
  Echo(buffer, " // %f, %f, %f", v.x, v.y, v.z);
  return nullptr;
}
// Places the selection: a bone's offset, an object, the camera, a light or a group.
char* znkinstr_put(char* parms, char* buffer) {
  float v[4];
  ReadFloats(parms, "%f,%f,%f,%f\n", v, 4);
  if (selectionType == 2) {
    if (gSelectedGroup) SetGroupPosition(gSelectedGroup, v[0], v[1], v[2], 0);
    return nullptr;
  }
  if (selectionType == 1) {
    int light = selectedLight & 7;
    for (int i = 0; i < 4; i++) LightPositions[light][i] = v[i];
    int member = GetLightEntityNumberInGroup(&gAllEntities, light);
    if (member >= 0) gAllEntities.entities[member].boundingBox = GetAABBAroundPoint(v[0], v[1], v[2], 0.2f);
    return nullptr;
  }
  if (zntlbone* bone = SelectedBone()) {
    bone->xmod = v[0];
    bone->ymod = v[1];
    bone->zmod = v[2];
    // The bone's position and box follow at once, under the object's transform.
    TransformBoneBorders(selHuman->mdl, &selHuman->mdl->bones[0],
                         ObjectTransform(selHuman->xpos, selHuman->ypos, selHuman->zpos, selHuman->xang,
                                         selHuman->yang, selHuman->zang));
  } else if (selHuman) {
    ShiftModelBox(selHuman, v[0] - selHuman->xpos, v[1] - selHuman->ypos, v[2] - selHuman->zpos);
    selHuman->xpos = v[0];
    selHuman->ypos = v[1];
    selHuman->zpos = v[2];
  } else {
    playerPos = fastVector_Set(v[0], v[1], v[2]);
  }
  return nullptr;
}
// Turns the selection: an object's angles (normalised), a bone's (as given), the camera's
// (the yaw stored as 180 minus the yaw scripts give) or a group about its centroid.
char* znkinstr_spin(char* parms, char* buffer) {
  float v[4];
  ReadFloats(parms, "%f,%f,%f", v, 3);
  if (selectionType == 1) return nullptr;
  if (selectionType == 2) {
    if (gSelectedGroup) SetGroupAngles(gSelectedGroup, v[0], v[1], v[2], 0);
    return nullptr;
  }
  if (zntlbone* bone = SelectedBone()) {
    bone->xang = v[0];
    bone->yang = v[1];
    bone->zang = v[2];
  } else if (selHuman) {
    selHuman->xang = GetCorrectDegree(v[0]);
    selHuman->yang = GetCorrectDegree(v[1]);
    selHuman->zang = GetCorrectDegree(v[2]);
  } else {
    updownangle = GetCorrectDegree(v[0]);
    viewangle = GetCorrectDegree(180.0f - v[1]);
    zangle = GetCorrectDegree(v[2]);
  }
  return nullptr;
}
// Scales the selected object's model to the given percentages of its loaded size per axis;
// 0 or less keeps that axis as it is.
char* znkinstr_size3D(char* parms, char* buffer) {
  if (selectionType != 0 || !selHuman || !selHuman->mdl) return nullptr;
  zntlmdl* mdl = selHuman->mdl;
  float v[4];
  ReadFloats(parms, "%f,%f,%f\n", v, 3);
  const float current[3] = {mdl->scalars.x, mdl->scalars.y, mdl->scalars.z};
  float wanted[3], factor[3];
  for (int i = 0; i < 3; i++) {
    wanted[i] = v[i] * 0.01f;
    // A scale that cannot be divided by, or one that would not be a number, changes nothing.
    if (!(wanted[i] > 0.0f) || !std::isfinite(wanted[i]) || !(current[i] > 0.0f) || !std::isfinite(current[i])) {
      wanted[i] = current[i];
      factor[i] = 1.0f;
    } else {
      factor[i] = wanted[i] / current[i];
    }
  }
  ScaleModelTo(selHuman, factor[0], factor[1], factor[2], 0);
  mdl->scalars = fastVector_Set(wanted[0], wanted[1], wanted[2]);
  // The bounds were recomputed around the model's origin; keep the box around the object.
  ShiftModelBox(selHuman, selHuman->xpos, selHuman->ypos, selHuman->zpos);
  return nullptr;
}
// Walks the selected object, or the camera, forward on the ground plane.
char* znkinstr_move(char* parms, char* buffer) {
  float d = ReadDistance(parms);
  int savedWalk = alwaysWalk;
  alwaysWalk = 1;
  if (human_being* object = selHuman) {
    float x = object->xpos, y = object->ypos, z = object->zpos;
    HumanGoForward(object, d);
    ShiftModelBox(object, object->xpos - x, object->ypos - y, object->zpos - z);
  } else {
    GoForward(nullptr, d);
  }
  alwaysWalk = savedWalk;
  return nullptr;
}
// One collide-and-slide step of d along the mover's heading, with the gravity of the
// elapsed time of this pass.
char* znkinstr_go(char* parms, char* buffer) {
  float d = ReadDistance(parms);
  float heading = selHuman ? -(selHuman->yang - 180.0f) : viewangle;
  vector_type step = RotateVector(fastVector_Set(0.0f, 0.0f, d), fastVector_Set(0.0f, 0.0f, 0.0f), 0.0f, heading, 0.0f);
  step.z = -step.z;
  float elapsed = static_cast<float>(static_cast<int32_t>(gCurrentTime - gOldTime));
  vector_type gravity = fastVector_Set(0.0f, -0.01f * elapsed, 0.0f);
  CollisionPacket packet = {};
  packet.specialMove = 1;
  collideAndSlide(selHuman, step, gravity, &packet);
  return nullptr;
}
char* znkinstr_fly(char* parms, char* buffer) {
  SpaceGo(selHuman, fastVector_Set(0.0f, 0.0f, ReadDistance(parms)), 1);
  return nullptr;
}
char* znkinstr_ghost(char* parms, char* buffer) {
  SpaceGo(selHuman, fastVector_Set(0.0f, 0.0f, ReadDistance(parms)), 0);
  return nullptr;
}
// Scripts deleted while they ran a slice. Whoever runs them still holds them, and the list
// walk goes on through their next, so they are freed only once they no longer run.
// (Allocated once and never destroyed, so it outlives every script.)
std::vector<ZNK_scripter*>& gDeletedRunningScripts = *new std::vector<ZNK_scripter*>();

void FreeDeletedScriptsThatStopped() {
  size_t kept = 0;
  for (ZNK_scripter* script : gDeletedRunningScripts) {
    if (ScriptIsRunning(script)) {
      gDeletedRunningScripts[kept++] = script;
    } else {
      script->next = nullptr;
      DisposeScript(script);
    }
  }
  gDeletedRunningScripts.resize(kept);
}

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
// A copy of the selected object: same model file, team, type, place, angles, scenery flag,
// scale, scripts and material settings. The copy is selected.
char* znkinstr_clone(char* parms, char* buffer) {
  human_being* source = selHuman;
  if (!source || !source->mdl) return nullptr;
  human_being* copy = AddHuman2(source->mdl->signature);
  selHuman = copy;
  selBone = gSelBone = nullptr;
  selectionType = 0;
  if (!copy) return nullptr;
  copy->team = source->team;
  copy->objectType = source->objectType;
  copy->xang = source->xang;
  copy->yang = source->yang;
  copy->zang = source->zang;
  copy->xpos = source->xpos;
  copy->ypos = source->ypos;
  copy->zpos = source->zpos;
  copy->isScenery = source->isScenery;
  const vector_type s = source->mdl->scalars;
  ScaleModelTo(copy, s.x, s.y, s.z, 0);
  // The copy's box was made around the model's origin; it goes where the copy stands.
  ShiftModelBox(copy, copy->xpos, copy->ypos, copy->zpos);

  ZNK_scripter** tail = &copy->scripts;
  while (*tail) tail = &(*tail)->next;
  for (ZNK_scripter* from = source->scripts; from; from = from->next) {
    ZNK_scripter* script = NewZNKScript(from->contents);
    if (!script) continue;
    ZNK_CopyString(script->signature, from->signature, sizeof script->signature);
    script->eventMask = from->eventMask;
    script->caller = copy;
    script->next = nullptr;
    *tail = script;
    tail = &script->next;
  }

  zntlmdl* to = copy->mdl;
  for (uint32_t i = 0; i < to->numMaterials && i < source->mdl->numMaterials; i++)
    CopyPublicMaterialSettings(&source->mdl->materials[i], &to->materials[i]);
  return nullptr;
}
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
// Empties the world; "all" also the texture and model caches.
char* znkinstr_boom(char* parms, char* buffer) {
  levelChanged = 1;
  FreeDeletedScriptsThatStopped();
  ReturnToNothing(ZNK_EqualString(parms ? parms : "", "all") ? 1 : 0);
  // The selected bone belonged to a model that is gone.
  selBone = gSelBone = nullptr;
  return nullptr;
}
// Switches to the level folder of that name in the game folder.
char* znkinstr_level(char* parms, char* buffer) {
  char name[kStringRegisterSize];
  if (!ReadQuotedName(parms, name, sizeof name, false) || !name[0]) return nullptr;
  char folder[sizeof routePath + kStringRegisterSize + 2];
  std::snprintf(folder, sizeof folder, "%s%s%c", routePath, name, kDirectoryDevider);
  FixPathString(folder);
  FreeDeletedScriptsThatStopped();
  LoadLevel(folder);
  selBone = gSelBone = nullptr;
  return nullptr;
}
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
  ImportModelWithAutoDetect(path, 1.0f);
  return nullptr;
}
// Renames the selected object; a name another object bears already is refused.
char* znkinstr_setName(char* parms, char* buffer) {
  if (!selHuman) return nullptr;
  char name[sizeof selHuman->name];
  ReadName(parms, name, sizeof name);
  if (!name[0]) return nullptr;
  RenameHuman(selHuman, name);  // a name another object bears leaves the old one
  return nullptr;
}
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
// Selects the object whose ID is in int register n.
char* znkinstr_getByID(char* parms, char* buffer) {
  int n = ReadNumber(parms, 1);
  if (n < 2) n = 1;
  const int32_t* r = IntRegister(n);
  if (!r || !baseHuman) return nullptr;
  for (human_being* h = baseHuman->next; h; h = h->next)
    if (h->ID == *r) SelectObject(h);
  selectionType = 0;
  return nullptr;
}
char* znkinstr_numobjects(char* parms, char* buffer) {
  int n = ReadNumber(parms, 1);
  if (n < 1) n = 1;
  int32_t* r = IntRegister(n);
  if (!r) return nullptr;
  *r = static_cast<int32_t>(gBiggestID);
  Echo(buffer, " // %ld", gBiggestID);
  return nullptr;
}
// The selected object's type (2 takes no part in collisions); for the camera, whether the
// player collides.
char* znkinstr_type(char* parms, char* buffer) {
  int t = ReadIntOrRegister(parms);
  if (selHuman) {
    selHuman->objectType = t;
  } else {
    gPlayerCollisions = (t == 2) ? 0 : 1;
  }
  return nullptr;
}
char* znkinstr_getTeam(char* parms, char* buffer) {
  int32_t* r = IntRegister(ReadNumber(parms, 1));
  if (!r) return nullptr;
  *r = selHuman ? selHuman->team : gTeam;
  Echo(buffer, " // %d", *r);
  return nullptr;
}
char* znkinstr_setTeam(char* parms, char* buffer) {
  int t = ReadIntOrRegister(parms);
  if (selHuman) {
    selHuman->team = t;
  } else {
    gTeam = t;
  }
  return nullptr;
}
// Attaches a script file to the selected object (or the global list) with an event mask.
char* znkinstr_script(char* parms, char* buffer) {
  char name[1024 - 4];
  int mask = -1;
  name[0] = '\0';
  if (Empty(parms)) {
    if (const char* r = StringRegister(1)) ZNK_CopyString(name, r, sizeof name);
    if (const int32_t* m = IntRegister(1)) mask = *m;
  } else {
    std::sscanf(parms, "\"%1019[^\"]\",%d", name, &mask);
  }
  size_t n = std::strlen(name);
  char file[1024];
  if (n >= 4 && ZNK_EqualStringIgnoreCase(name + n - 4, ".txt")) {
    ZNK_CopyString(file, name, sizeof file);
  } else {
    std::snprintf(file, sizeof file, "%s.txt", name);
  }
  ZNKSetScript(file, mask);
  return nullptr;
}
// Removes the first script of that name from the selected object, or from the global list
// when the camera is selected.
char* znkinstr_deletescript(char* parms, char* buffer) {
  char name[1024];
  if (!ReadQuotedName(parms, name, sizeof name)) return nullptr;
  FreeDeletedScriptsThatStopped();
  ZNK_scripter** link = selHuman ? &selHuman->scripts : &baseScript.next;
  for (; *link; link = &(*link)->next) {
    ZNK_scripter* script = *link;
    if (!ZNK_EqualString(script->signature, name)) continue;
    *link = script->next;
    // A deleted script that still runs keeps its next until it is freed; that next must not
    // name a script freed here.
    for (ZNK_scripter* held : gDeletedRunningScripts)
      if (held->next == script) held->next = script->next;
    if (ScriptIsRunning(script)) {
      // It finishes its slice and is not found again.
      script->signature[0] = '\0';
      gDeletedRunningScripts.push_back(script);
    } else {
      script->next = nullptr;
      DisposeScript(script);
    }
    return nullptr;
  }
  return nullptr;
}

// Runs the selected object's scripts that answer the mask, now.
char* znkinstr_event(char* parms, char* buffer) {
  long mask = 0;
  if (Empty(parms)) {
    if (const int32_t* r = IntRegister(1)) mask = *r;
  } else {
    std::sscanf(parms, "%ld", &mask);
  }
  if (!selHuman) return nullptr;
  human_being* saved = gHumanScriptTarget;
  ExecuteHumanScriptsForMask(selHuman, mask);
  gHumanScriptTarget = saved;
  // The scripts of the event may have removed the object whose script raised it; that
  // script must not run on.
  if (saved && !IsLivingObject(saved)) {
    gHumanScriptTarget = nullptr;
    levelChanged = 1;
  }
  return nullptr;
}
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
// Kept for scripts of the authoring tool; it has nothing to do in the player.
char* znkinstr_boxbones(char* parms, char* buffer) { return nullptr; }
