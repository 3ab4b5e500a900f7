// Script variables (the register banks and named variables arrive with the script language).
#include "script/variables.h"

void InitVariableLists() {}
void InstallEngineVariables() {}
