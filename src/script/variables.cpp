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
  v->engineType = v->malloced ? static_cast<char>(-1) : dataType;
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

// Where the value of the type held now lives: owned storage, the engine global while the
// variable holds the global's own type, else the variable's own copy of the written value.
void* ValueStorage(vaPtr* v) {
  if (v->malloced || v->dataType == v->engineType) return v->var;
  return v->held;
}

// An engine global always holds a valid value of its own type: a written number is converted
// into that type.
void StoreIntoEngineGlobal(vaPtr* v, double number) {
  switch (v->engineType) {
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

// The storage a value of type `type` is written to; an engine global first gets the number
// converted into its own type. Sets the variable's type.
void* WriteTarget(vaPtr* v, char type, double number) {
  if (!v->malloced) StoreIntoEngineGlobal(v, number);
  v->dataType = type;
  return ValueStorage(v);
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
  void* value = ValueStorage(v);
  switch (v->dataType) {
    case kVarText: return std::atoi(static_cast<const char*>(value));
    case kVarInt: return *static_cast<int32_t*>(value);
    case kVarFloat: return TruncateToInt(*static_cast<float*>(value));
    case kVarBool: return *static_cast<int32_t*>(value) ? 1 : 0;
  }
  return 0;
}

float GetFloat(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return 0.0f;
  void* value = ValueStorage(v);
  switch (v->dataType) {
    case kVarText: return static_cast<float>(std::atof(static_cast<const char*>(value)));
    case kVarInt: return static_cast<float>(*static_cast<int32_t*>(value));
    case kVarFloat: return *static_cast<float*>(value);
    case kVarBool: return *static_cast<int32_t*>(value) ? 1.0f : 0.0f;
  }
  return 0.0f;
}

int GetBoolean(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return 0;
  void* value = ValueStorage(v);
  switch (v->dataType) {
    case kVarText: return ZNK_EqualString(static_cast<const char*>(value), "true");
    case kVarInt: return *static_cast<int32_t*>(value) != 0;
    case kVarFloat: return *static_cast<float*>(value) != 0.0f;
    case kVarBool: return *static_cast<int32_t*>(value);
  }
  return 0;
}

const char* GetString_ZNK(const char* name) {
  vaPtr* v = GetVarEntry(name);
  if (!v || !v->var) return gEmptyText;
  void* value = ValueStorage(v);
  switch (v->dataType) {
    case kVarText: return static_cast<const char*>(value);
    case kVarInt: std::snprintf(gBuffer, sizeof gBuffer, "%d", *static_cast<int32_t*>(value)); return gBuffer;
    case kVarFloat: std::snprintf(gBuffer, sizeof gBuffer, "%f", *static_cast<float*>(value)); return gBuffer;
    case kVarBool: return *static_cast<int32_t*>(value) ? "true" : "false";
  }
  return gEmptyText;
}

void SetInt(const char* name, int value) {
  vaPtr* v = WritableEntry(name);
  if (!v) return;
  *static_cast<int32_t*>(WriteTarget(v, kVarInt, value)) = value;
}

void SetFloat(const char* name, float value) {
  vaPtr* v = WritableEntry(name);
  if (!v) return;
  *static_cast<float*>(WriteTarget(v, kVarFloat, value)) = value;
}

void SetBoolean(const char* name, int value) {
  vaPtr* v = WritableEntry(name);
  if (!v) return;
  *static_cast<int32_t*>(WriteTarget(v, kVarBool, value != 0 ? 1.0 : 0.0)) = value;
}

void SetString_ZNK(const char* name, const char* text) {
  vaPtr* v = WritableEntry(name);
  if (!v || !text) return;
  // The text may be the variable's own storage (a read handed it out): copy through a
  // temporary so source and destination never overlap.
  char copy[kVariableStorageSize];
  ZNK_CopyString(copy, text, sizeof copy);
  // An engine global gets the text read the way a text variable is read as its own type.
  double number = 0.0;
  if (v->engineType == kVarBool) number = ZNK_EqualString(copy, "true") ? 1.0 : 0.0;
  if (v->engineType == kVarInt) number = std::atoi(copy);
  if (v->engineType == kVarFloat) number = std::atof(copy);
  std::memcpy(WriteTarget(v, kVarText, number), copy, sizeof copy);
}
