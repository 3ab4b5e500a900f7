// Per-pass idle work on objects and the player camera's state.
#include "objects/motion.h"

#include "objects/player.h"

vector_type playerPos = {0.0f, 0.0f, 0.0f};
float viewangle = 0.0f;
float updownangle = 0.0f;
float zangle = 0.0f;

void objects_idle() {}
