// Object registry.
#include "objects/human.h"

void InitHumanRegistry() {}
