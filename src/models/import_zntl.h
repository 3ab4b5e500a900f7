// The engine's own model file read as level geometry: vertices, edges and triangles join the
// level, its materials become level materials and its bones join the level's bone array.
#pragma once

void Import_Zyntrel_Mdl(const char* fileName, float scaleFactor);
