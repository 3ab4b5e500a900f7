// Per-pass object motion and the movers' steps: walking on the ground plane, flying with
// ellipsoid collide-and-slide, and flying without collision. A null mover is the player.
#pragma once
#include "objects/vector_math.h"

struct human_being;

// Advances every object's skeleton to the game clock.
void objects_idle();

// Walks the player forward by howFar along its view heading; an object is left where it is.
int GoForward(human_being* thePerson, float howFar);
// Walks an object forward by howFar along its own heading.
int HumanGoForward(human_being* thePerson, float howFar);
// One walking step: x of the direction added, its z taken off (y unchanged).
int GoDirection(human_being* thePerson, vector_type direction, float angle);
// One flying step of `move` (sideways, up, forward) in the mover's own frame, with
// collide-and-slide when collisionDetection is non-zero.
int SpaceGo(human_being* thePerson, vector_type move, int collisionDetection);
