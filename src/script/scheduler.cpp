// Script scheduling: one slice of every global script per logic step.
#include "script/scheduler.h"

#include "script/script_file.h"
#include "shell/startup.h"

human_being* gHumanScriptTarget = nullptr;

void HandleGameScripts() {
  for (ZNK_scripter* s = baseScript.next; s; s = s->next) {
    ExecuteZNKCommandScript(s);
    // A level switch or world reset freed the list under us.
    if (levelChanged) return;
  }
}

void HandleHumanScriptsForMask(long mask) {}
