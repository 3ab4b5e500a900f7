// The model precache listed in the game folder, loaded at start-up.
#pragma once

void ImportAllMeshworkModels();
