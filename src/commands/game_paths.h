// Paths that commands write to: only inside the game folder.
#pragma once

// True for a relative path whose ".." components never climb above the folder it starts in.
bool IsPathInsideGameFolder(const char* path);
