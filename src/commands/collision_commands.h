// State of the collision commands' mesh builder: the reference point and side that orient
// the triangles made by "line". (The flags new triangles get, gDefaultSmooth and its
// siblings, are declared with the importers that share them, models/import_common.h.)
#pragma once

#include "objects/vector_math.h"

extern vector_type gFacePos;  // new triangles face toward it (gFaceOut 0) or away (1)
extern int gFaceOut;

// Two vertices are at the same place when every coordinate differs by less than this.
constexpr float kSamePlaceDistance = 0.01f;
