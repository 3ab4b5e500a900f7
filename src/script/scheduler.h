// Script scheduling: every logic step runs the global scripts and the objects' scripts
// for their events.
#pragma once

struct human_being;

// The object whose script is running ("me").
extern human_being* gHumanScriptTarget;

void HandleGameScripts();
void HandleHumanScriptsForMask(long mask);
