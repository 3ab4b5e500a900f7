// Level mesh lists.
#include "world/level_mesh.h"

void InitLevelLists() {}
