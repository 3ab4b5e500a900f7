// Script scheduling: one slice of every global script per logic step, then the object
// scripts answering the per-pass event; attaching and reloading script files.
#include "script/scheduler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "objects/human.h"
#include "script/compiler.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"

human_being* gHumanScriptTarget = nullptr;

void HandleGameScripts() {
  for (ZNK_scripter* s = baseScript.next; s; s = s->next) {
    ExecuteZNKCommandScript(s);
    // A level switch or world reset freed the lists under us.
    if (levelChanged) return;
  }
}

void ExecuteHumanScriptsForMask(human_being* object, long mask) {
  if (!object) return;
  for (ZNK_scripter* s = object->scripts; s; s = s->next) {
    if (!(s->eventMask & mask)) continue;
    ExecuteZNKCommandScript(s);
    if (levelChanged) return;
  }
}

void HandleHumanScriptsForMask(long mask) {
  if (!baseHuman) return;
  for (human_being* h = baseHuman->next; h; h = h->next) {
    ExecuteHumanScriptsForMask(h, mask);
    if (levelChanged) return;
  }
}

void ZNKSetScript(const char* shortFile, int evMask) {
  if (!shortFile) return;
  human_being* owner = selHuman;
  ZNK_scripter** link = owner ? &owner->scripts : &baseScript.next;

  ZNK_scripter* existing = nullptr;
  for (ZNK_scripter* s = *link; s; s = s->next)
    if (ZNK_EqualString(s->signature, shortFile)) {
      existing = s;
      break;
    }

  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, shortFile);
  char* text = ReadScriptFile(path);
  if (!text) {
    OutputToConsoleF("//Error loading script: \"%s\"\n", path);
    return;
  }

  ZNK_scripter* script = existing;
  if (!script) {
    script = NewZNKScript(text);
    ZNK_CopyString(script->signature, shortFile, sizeof script->signature);
    script->caller = owner;
    script->next = nullptr;
    while (*link) link = &(*link)->next;
    *link = script;
  } else {
    ReplaceScriptContents(script, text);
    text = nullptr;
    FindBugsInScript(script->contents);
    // Compiling again restarts the script at its first instruction (or first line).
    script->offset = 0;
    CompileScript(script);
  }
  std::free(text);
  if (evMask >= 0) script->eventMask = evMask;
}

void RemoveHumanScripts(human_being* object) {
  if (!object) return;
  ZNK_scripter* s = object->scripts;
  while (s) {
    ZNK_scripter* next = s->next;
    DisposeScript(s);
    s = next;
  }
  object->scripts = nullptr;
}
