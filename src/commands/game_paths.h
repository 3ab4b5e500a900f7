// Paths that commands write to: only inside the game folder.
#pragma once

// True for a relative path that never climbs above its start with "..".
bool IsPathInsideGameFolder(const char* path);
