// Script scheduling: every logic step runs the global scripts and then, for each object,
// the scripts whose event mask answers the per-pass event; scripts attach or reload here.
#pragma once

struct human_being;

// The object whose script is running ("me"); null for a global script.
extern human_being* gHumanScriptTarget;

void HandleGameScripts();
void HandleHumanScriptsForMask(long mask);
void ExecuteHumanScriptsForMask(human_being* object, long mask);

// Attaches the script file `shortFile` (relative to the game folder) to the selected
// object, or to the global list when none is selected; reloads it when already there.
// A mask of 0 or more becomes the script's event mask.
void ZNKSetScript(const char* shortFile, int evMask);

void RemoveHumanScripts(human_being* object);
