// The engine settings that scripts set by name, with their start values.
#include "script/engine_variables.h"

int doFog = 0;
float gFogStart = 0.0f;
float gFogEnd = 200.0f;
float gGameSpeedFactor = 1.0f;
int gTrigsDrawn = 0;
int gDoInnerCollision = 0;
int gDoCollisionSliding = 1;
float gMouseSpeed = 1.0f;
