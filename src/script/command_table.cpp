// Command lookup: the first character picks one of 36 buckets and only that bucket is
// compared, from the second character on. Words no command has fall back to macros.
#include "script/command_table.h"

#include <cstring>

#include "script/compiler.h"
#include "script/script_file.h"

int gScriptCommandArraySizes[kCommandBuckets];
ZNK_Instruction* sortedArrays[kCommandBuckets];
macroScript baseMacro = {"", nullptr, nullptr};
macroScript* macroPtr = &baseMacro;

namespace {
// Bucket of a table word's first character: letters from "a" on, anything else code - 22.
int TableBucket(char first) { return first >= 'a' ? first - 'a' : first - 22; }

// Bucket for a looked-up word; -1 when its first character can start no command.
int LookupBucket(char first) {
  if (first >= 'a' && first <= 'z') return first - 'a';
  if (first >= '0' && first <= '9') return first - 22;
  return -1;
}
}  // namespace

void BuiltScriptCommandArrays() {
  FreeScriptCommandArrays();
  for (int i = 0; gAllInstructions[i].name && std::strcmp(gAllInstructions[i].name, "NULL") != 0; i++) {
    int b = TableBucket(gAllInstructions[i].name[0]);
    if (b >= 0 && b < kCommandBuckets) gScriptCommandArraySizes[b]++;
  }
  int filled[kCommandBuckets] = {};
  for (int b = 0; b < kCommandBuckets; b++)
    if (gScriptCommandArraySizes[b] > 0) sortedArrays[b] = new ZNK_Instruction[gScriptCommandArraySizes[b] + 1]();
  for (int i = 0; gAllInstructions[i].name && std::strcmp(gAllInstructions[i].name, "NULL") != 0; i++) {
    int b = TableBucket(gAllInstructions[i].name[0]);
    if (b >= 0 && b < kCommandBuckets) sortedArrays[b][filled[b]++] = gAllInstructions[i];
  }
}

void FreeScriptCommandArrays() {
  for (int b = 0; b < kCommandBuckets; b++) {
    delete[] sortedArrays[b];
    sortedArrays[b] = nullptr;
    gScriptCommandArraySizes[b] = 0;
  }
}

ZNK_Instruction* GetZNKInstruction(const char* word) {
  if (!word || std::strlen(word) < 2) return nullptr;
  int b = LookupBucket(word[0]);
  if (b < 0 || !sortedArrays[b]) return nullptr;
  for (int i = 0; i < gScriptCommandArraySizes[b]; i++)
    if (std::strcmp(word + 1, sortedArrays[b][i].name + 1) == 0) return &sortedArrays[b][i];
  return nullptr;
}

macroScript* FindMacro(const char* name) {
  if (!name) return nullptr;
  for (macroScript* m = baseMacro.next; m; m = m->next)
    if (std::strcmp(m->name, name) == 0) return m;
  return nullptr;
}

int ExecuteZNKCommand(const char* word, char* parms, char* buffer) {
  if (ZNK_Instruction* entry = GetZNKInstruction(word)) {
    char empty[1] = "";
    entry->func(parms ? parms : empty, buffer);
    return 1;
  }
  if (macroScript* m = FindMacro(word)) {
    if (m->theScript) ExecuteCompiledZNKScript(m->theScript);
    return 1;
  }
  return 0;
}

void FreeAllMacros() {
  macroScript* m = baseMacro.next;
  while (m) {
    macroScript* next = m->next;
    DisposeScript(m->theScript);
    delete m;
    m = next;
  }
  baseMacro.next = nullptr;
  macroPtr = &baseMacro;
}
