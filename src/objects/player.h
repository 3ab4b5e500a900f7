// The player: the camera itself, a position and view angles rather than an object record.
#pragma once
#include "objects/vector_math.h"

extern vector_type playerPos;
extern float viewangle;    // yaw, stored as 180 minus the yaw scripts see
extern float updownangle;  // pitch, clamped to -90..90 by mouse view
extern float zangle;       // roll
