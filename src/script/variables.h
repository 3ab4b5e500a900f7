// Script variables: the numbered register banks every command and condition uses, and the
// named variables (engine globals bound by name, script-made variables with their own
// storage, and an object's private variables that shadow the global ones).
#pragma once
#include <cstdint>

struct human_being;

constexpr int kNumRegisters = 16;
constexpr int kStringRegisterSize = 4096;
constexpr int kVariableNameLength = 64;
constexpr int kVariableStorageSize = 32;  // bytes of a script-made variable's own storage

// One register bank; registers are numbered from 1 in scripts, so register n is element n-1.
struct variable_list {
  double floats[kNumRegisters];
  int32_t ints[kNumRegisters];
  int32_t bools[kNumRegisters];
  char strings[kNumRegisters][kStringRegisterSize];
};

extern variable_list gScriptVars;   // the working registers
extern variable_list gScriptVars2;  // the save area of push and pop

// Float to int, truncating toward zero; values beyond the int range saturate, NaN gives 0.
int TruncateToInt(double value);

// Register access by 1-based number; null when the number addresses no register.
double* FloatRegister(int n);
int32_t* IntRegister(int n);
int32_t* BoolRegister(int n);
char* StringRegister(int n);

// Value types of a named variable.
enum : char { kVarText = 0, kVarInt = 1, kVarFloat = 2, kVarBool = 3 };

struct vaPtr {
  char signature[kVariableNameLength + 1];
  void* var;      // an engine global, or owned storage of kVariableStorageSize bytes
  int malloced;   // 1 when var is owned storage
  char dataType;  // type of the value held now
  // Engine-bound variables: the global's own type. A value of another type written into
  // the variable is kept in `held` (and read from there) while the global gets it converted.
  char engineType;
  alignas(8) char held[kVariableStorageSize];
  vaPtr* next;
};

extern vaPtr gGameVariables;  // head of the global list; carries no variable
extern vaPtr* gVarPtr;        // list cursor and result of the last lookup

// Text of converted numbers handed out by GetString_ZNK; valid until the next conversion.
extern char gBuffer[64];

// Empties the global list (start-up) and installs the engine's own variables.
void InitVariableLists();
void InstallEngineVariables();
// Frees a chain of variables (an object's list when the object goes, or the global list).
void DisposeVariableList(vaPtr* first);

vaPtr* GetVarEntry(const char* name);
vaPtr* GetHumanVarEntry(human_being* object, const char* name);
void InstallZNKVariablePointer(const char* name, void* address, int malloced, char dataType);
void InstallHumanVariablePointer(human_being* object, const char* name, void* address, int malloced,
                                 char dataType);

int GetInt(const char* name);
float GetFloat(const char* name);
int GetBoolean(const char* name);
const char* GetString_ZNK(const char* name);
void SetInt(const char* name, int value);
void SetFloat(const char* name, float value);
void SetBoolean(const char* name, int value);
void SetString_ZNK(const char* name, const char* text);
