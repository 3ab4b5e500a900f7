// Groups and the root group of every entity.
#include "groups/groups.h"

void InitRootGroup() {}
