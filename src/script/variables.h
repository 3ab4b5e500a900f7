// Script variables: the register banks and the named variables bound to engine globals.
#pragma once

void InitVariableLists();
void InstallEngineVariables();
