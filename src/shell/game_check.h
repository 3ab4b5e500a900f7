// Checking a game folder instead of playing it (zyntrel --check).
#pragma once

// Checks the game in the working folder: every script reachable from the start script and the
// level folders, and every file or folder they name. Reports on standard output, each line
// with the script's path in front, and ends with a summary line; returns 0 when nothing was
// found, else 1.
int CheckGame();
