// The selection kind shared by every command family.
#include "commands/selection.h"

unsigned char selectionType = 0;
int gScriptCommandSelChange = 1;
