// Releases everything the engine holds when the player ends.
#pragma once

// Set once ZNK_Init has built the engine's lists.
extern bool gEngineInitialised;

void ShutdownEngine();
