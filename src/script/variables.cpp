// Script variables: register access, the global and per-object named variable lists, their
// lookup order, the type conversions on reading and the retyping on writing, and the
// engine's own variables bound to its globals.
#include "script/variables.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "objects/human.h"
#include "script/engine_variables.h"
#include "script/script_file.h"
#include "shell/input.h"
#include "shell/timed_tasks.h"

variable_list gScriptVars;
variable_list gScriptVars2;
vaPtr gGameVariables;
vaPtr* gVarPtr = &gGameVariables;
char gBuffer[64];

namespace {
char gEmptyText[1] = "";

human_being* SelectedObject() { return selHuman; }
vaPtr** ObjectVariables(human_being* object) { return object ? &object->myVars : nullptr; }

vaPtr* FindInChain(vaPtr* first, const char* name) {
  for (vaPtr* v = first; v; v = v->next)
    if (ZNK_EqualString(v->signature, name)) return v;
  return nullptr;
}

vaPtr* NewVariable(const char* name, void* address, int malloced, char dataType) {
  vaPtr* v = new vaPtr();
  ZNK_CopyString(v->signature, name, sizeof v->signature);
  v->malloced = malloced ? 1 : 0;
  if (v->malloced) {
    v->var = std::calloc(1, kVariableStorageSize);
  } else {
    v->var = address;
  }
  v->dataType = dataType;
  return v;
}

void AppendTo(vaPtr** link, vaPtr* v) {
  while (*link) link = &(*link)->next;
  *link = v;
}


vaPtr* WritableEntry(const char* name) {
  vaPtr* v = GetVarEntry(name);
  return v && v->var ? v : nullptr;
}

// An engine-bound variable's storage is one number of its engine type: a written value is
// converted into that type, so the engine global always holds a valid value of its own kind.
void StoreIntoEngineGlobal(vaPtr* v, double number, bool isBool) {
  switch (v->dataType) {
    case kVarFloat:
      *static_cast<float*>(v->var) = static_cast<float>(number);
      break;
    case kVarBool:
      *static_cast<int32_t*>(v->var) = number != 0.0 ? 1 : 0;
      break;
    case kVarInt:
      *static_cast<int32_t*>(v->var) = TruncateToInt(number);
      break;
    default:
      break;  // a text can not be bound to an engine global
  }
}
}  // namespace

int TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

double* FloatRegister(int n) { return n >= 1 && n <= kNumRegisters ? &gScriptVars.floats[n - 1] : nullptr; }
int32_t* IntRegister(int n) { return n >= 1 && n <= kNumRegisters ? &gScriptVars.ints[n - 1] : nullptr; }
int32_t* BoolRegister(int n) { return n >= 1 && n <= kNumRegisters ? &gScriptVars.bools[n - 1] : nullptr; }
char* StringRegister(int n) { return n >= 1 && n <= kNumRegisters ? gScriptVars.strings[n - 1] : nullptr; }

void DisposeVariableList(vaPtr* first) {
  while (first) {
    vaPtr* next = first->next;
    if (first->malloced) std::free(first->var);
    delete first;
    first = next;
  }
}

void InitVariableLists() {
  DisposeVariableList(gGameVariables.next);
  gGameVariables = vaPtr();
  gVarPtr = &gGameVariables;
}

void InstallEngineVariables() {
  InstallZNKVariablePointer("doMouseView", &doMouseView, 0, kVarBool);
  InstallZNKVariablePointer("doFog", &doFog, 0, kVarBool);
  InstallZNKVariablePointer("gFogStart", &gFogStart, 0, kVarFloat);
  InstallZNKVariablePointer("gFogEnd", &gFogEnd, 0, kVarFloat);
  InstallZNKVariablePointer("gameSpeed", &gGameSpeedFactor, 0, kVarFloat);
  InstallZNKVariablePointer("fps", &fps, 0, kVarFloat);
  InstallZNKVariablePointer("poly", &gTrigsDrawn, 0, kVarInt);
  InstallZNKVariablePointer("gInnerColl", &gDoInnerCollision, 0, kVarBool);
  InstallZNKVariablePointer("gCollSlide", &gDoCollisionSliding, 0, kVarBool);
  InstallZNKVariablePointer("gMouseSpeed", &gMouseSpeed, 0, kVarFloat);
}

vaPtr* GetHumanVarEntry(human_being* object, const char* name) {
  if (!object || !name) return nullptr;
  vaPtr** list = ObjectVariables(object);
  return list ? FindInChain(*list, name) : nullptr;
}

vaPtr* GetVarEntry(const char* name) {
  if (!name) return nullptr;
  vaPtr* found = GetHumanVarEntry(SelectedObject(), name);
  if (!found) found = FindInChain(gGameVariables.next, name);
  gVarPtr = found;
  return found;
}

void InstallZNKVariablePointer(const char* name, void* address, int malloced, char dataType) {
  if (!name || FindInChain(gGameVariables.next, name)) return;
  AppendTo(&gGameVariables.next, NewVariable(name, address, malloced, dataType));
}

void InstallHumanVariablePointer(human_being* object, const char* name, void* address, int malloced,
                                 char dataType) {
  vaPtr** list = object && name ? ObjectVariables(object) : nullptr;
  if (!list || FindInChain(*list, name)) return;
  AppendTo(list, NewVariable(name, address, malloced, dataType));
}

int GetInt(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return 0;
  switch (v->dataType) {
    case kVarText: return std::atoi(static_cast<const char*>(v->var));
    case kVarInt: return *static_cast<int32_t*>(v->var);
    case kVarFloat: return TruncateToInt(*static_cast<float*>(v->var));
    case kVarBool: return *static_cast<int32_t*>(v->var) ? 1 : 0;
  }
  return 0;
}

float GetFloat(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return 0.0f;
  switch (v->dataType) {
    case kVarText: return static_cast<float>(std::atof(static_cast<const char*>(v->var)));
    case kVarInt: return static_cast<float>(*static_cast<int32_t*>(v->var));
    case kVarFloat: return *static_cast<float*>(v->var);
    case kVarBool: return *static_cast<int32_t*>(v->var) ? 1.0f : 0.0f;
  }
  return 0.0f;
}

int GetBoolean(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return 0;
  switch (v->dataType) {
    case kVarText: return ZNK_EqualString(static_cast<const char*>(v->var), "true");
    case kVarInt: return *static_cast<int32_t*>(v->var) != 0;
    case kVarFloat: return *static_cast<float*>(v->var) != 0.0f;
    case kVarBool: return *static_cast<int32_t*>(v->var);
  }
  return 0;
}

const char* GetString_ZNK(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return gEmptyText;
  switch (v->dataType) {
    case kVarText: return static_cast<const char*>(v->var);
    case kVarInt: std::snprintf(gBuffer, sizeof gBuffer, "%d", *static_cast<int32_t*>(v->var)); return gBuffer;
    case kVarFloat: std::snprintf(gBuffer, sizeof gBuffer, "%f", *static_cast<float*>(v->var)); return gBuffer;
    case kVarBool: return *static_cast<int32_t*>(v->var) ? "true" : "false";
  }
  return gEmptyText;
}

void SetInt(const char* name, int value) {
  vaPtr* v = WritableEntry(name);
  if (!v) return;
  if (!v->malloced) return StoreIntoEngineGlobal(v, value, false);
  *static_cast<int32_t*>(v->var) = value;
  v->dataType = kVarInt;
}

void SetFloat(const char* name, float value) {
  vaPtr* v = WritableEntry(name);
  if (!v) return;
  if (!v->malloced) return StoreIntoEngineGlobal(v, value, false);
  *static_cast<float*>(v->var) = value;
  v->dataType = kVarFloat;
}

void SetBoolean(const char* name, int value) {
  vaPtr* v = WritableEntry(name);
  if (!v) return;
  if (!v->malloced) return StoreIntoEngineGlobal(v, value, true);
  *static_cast<int32_t*>(v->var) = value;
  v->dataType = kVarBool;
}

void SetString_ZNK(const char* name, const char* text) {
  vaPtr* v = WritableEntry(name);
  if (!v || !text) return;
  if (!v->malloced) {
    // Read the text the way a text variable would be read as the global's own type.
    if (v->dataType == kVarBool)
      StoreIntoEngineGlobal(v, ZNK_EqualString(text, "true") ? 1.0 : 0.0, true);
    else if (v->dataType == kVarInt)
      StoreIntoEngineGlobal(v, std::atoi(text), false);
    else
      StoreIntoEngineGlobal(v, std::atof(text), false);
    return;
  }
  // The text may be the variable's own storage (a read handed it out): copy through a
  // temporary so source and destination never overlap.
  char copy[kVariableStorageSize];
  ZNK_CopyString(copy, text, sizeof copy);
  std::memcpy(v->var, copy, sizeof copy);
  v->dataType = kVarText;
}
