// Script compiler and runner (the compiled form arrives with the script language work;
// until then every script runs through the line interpreter).
#include "script/compiler.h"

#include <cstdlib>

#include "script/script_file.h"

void CompileScript(ZNK_scripter* script) {}

int ExecuteCompiledZNKScript(ZNK_scripter* script) { return 0; }

int ZNK_GetScriptConditionalResult(char dataType, int first, const char* operatorType, int second) { return 0; }

void RemoveCompiledCodeFromScript(ZNK_scripter* script) {
  if (!script) return;
  ZNK_comscrinstr* i = script->allCompiled;
  while (i) {
    ZNK_comscrinstr* next = i->next;
    delete i;
    i = next;
  }
  script->allCompiled = nullptr;
  script->startWith = nullptr;
}

void DisposeScript(ZNK_scripter* script) {
  if (!script) return;
  RemoveCompiledCodeFromScript(script);
  std::free(script->contents);
  delete script;
}
