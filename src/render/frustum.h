// The view frustum of the current frame: its six planes taken from the GL matrices, and the
// test of an eight-corner box against them.
#pragma once
#include "objects/vector_math.h"

// Right, left, top, bottom, far, near; a point is inside a plane where a x + b y + c z + d >= 0.
extern float planeEqs[6][4];

// Fills planeEqs from the current model-view and projection matrices.
void RecalculatePlanes();
// Forms the planes from two column-major matrices (model-view, projection).
void PlanesFromMatrices(const float modelview[16], const float projection[16]);
// 1 when all eight corners lie below 0 for one of the planes (the box is outside), else 0.
int CheckBoxWithPlanes(const vector_type* corners);
