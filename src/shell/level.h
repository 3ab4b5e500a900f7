// Level switch and world reset: emptying the world, pointing the player at another level
// folder whose "load script.txt" rebuilds it, and the level's tint.
#pragma once

void LoadLevel(const char* folder);
void RestartGame();
int LoadTintColor(const char* path);
// Empties the world; with `all` also the texture cache and the model cache.
void ReturnToNothing(int all);
