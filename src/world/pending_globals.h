// Engine variables the collision code reads that the script variable table defines; weak
// fallbacks in pending_globals.cpp keep this subsystem linkable on its own.
#pragma once

extern int gTrigsDrawn;          // triangles drawn in the last frame
extern int gDoInnerCollision;    // cylinders already overlapping still collide
extern int gDoCollisionSliding;  // collide-and-slide slides along surfaces (1) or stops
