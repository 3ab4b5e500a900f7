// The level mesh and its box tree.
#pragma once

void InitLevelLists();
