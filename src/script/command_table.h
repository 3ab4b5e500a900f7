// The command table, its lookup by first character, the dispatch of one command line and
// the macros (named scripts called like commands).
#pragma once
#include "commands/commands.h"

struct ZNK_scripter;

struct ZNK_Instruction {
  const char* name;  // the command word, case-sensitive
  ZNK_CommandFunction func;
  ZNK_DecodeFunction decode = nullptr;  // null: the command scans its parameter text at every run
};

// The table in its fixed order, ended by the entry named "NULL".
extern ZNK_Instruction gAllInstructions[];

// 26 buckets for "a".."z" and 10 for "0".."9", each in table order.
constexpr int kCommandBuckets = 36;
extern int gScriptCommandArraySizes[kCommandBuckets];
extern ZNK_Instruction* sortedArrays[kCommandBuckets];

struct macroScript {
  char name[32];
  ZNK_scripter* theScript;  // compiled body, null until the body is complete
  macroScript* next;
};

extern macroScript baseMacro;  // list head; carries no macro
extern macroScript* macroPtr;

void BuiltScriptCommandArrays();
void FreeScriptCommandArrays();
ZNK_Instruction* GetZNKInstruction(const char* word);
int ExecuteZNKCommand(const char* word, char* parms, char* buffer);

macroScript* FindMacro(const char* name);
// Frees every macro and its body.
void FreeAllMacros();
