// Releases everything the engine holds when the player ends.
#pragma once

void ShutdownEngine();
