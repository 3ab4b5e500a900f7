// Engine settings that scripts reach by name ("doFog", "gameSpeed", ...): the globals the
// fog, timing, drawing statistics, collision and mouse code read, with their defaults.
#pragma once

extern int doFog;                // linear fog on (1) or off
extern float gFogStart;          // fog start distance
extern float gFogEnd;            // fog end distance
extern float gGameSpeedFactor;   // scales time-based motion
extern int gTrigsDrawn;          // triangles drawn in the last frame
extern int gDoInnerCollision;    // objects collide with their own level parts
extern int gDoCollisionSliding;  // collide-and-slide slides along surfaces (1) or stops
extern float gMouseSpeed;        // mouse-view turning factor
