// Input replay for headless runs (--input): key, button and cursor changes by pass.
#pragma once
#include <string>

// Reads the replay file; false (with a message on standard error) when it cannot be read.
bool LoadInputReplay(const std::string& path);

// Applies the changes recorded for this pass, just before the pass polls its input.
void ApplyReplayedInput(long pass);
