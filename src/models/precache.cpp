// Model precache.
#include "models/precache.h"

void ImportAllMeshworkModels() {}
