// Object collision: upright cylinders against each other, a moving sphere against the level's
// faces, edges and corners and the other bodies' spheres, and line segments (shots, pokes)
// against the level, the player's hit box and the objects' boxes.
#pragma once

#include "world/level_types.h"

struct human_being;
struct LevelBuild;

// The player's sphere has its centre 1.0 above playerPos and this radius.
extern float gPlayerBoundingSphereRadius;
// The player's hit box: six triangles, each standing for a whole face (the parallelogram
// spanned from its first corner).
typedef vector_type bbox[6][3];
extern bbox playerBox;

// Segment-query state, rewritten by each StandardCollision.
extern int hitPerson;  // 0 nothing, 2 level or object, 3 player
extern int collType;   // 0 nothing, 1 level, 3 player
extern float oldS1, oldS2, oldS3;
extern int gDoObjectPoke;            // 1: objects and the player are tested too
extern human_being* gPokeObject;     // when set, the only object tested

int CollisionOfTwoCylinders(vector_type v, vector_type c, float c1height, float c1radius, vector_type c2,
                            float c2height, float c2radius, vector_type* I, float* t);
int StandardObjectCollision(human_being* obj, vector_type dir, vector_type* dirToColl,
                            vector_type* intersectionPoint, vector_type* newDirection);
int StandardCollision(vector_type p, vector_type w);
void DetectWallCollision(vector_type scr, vector_type dst);
void DetectPlayerCollision(vector_type p, vector_type w);
void GeneratePlayerBox();
int StandardTeamCollision(vector_type p, vector_type w, int team);
// The walking check of the motion code: every move is allowed and no argument is written.
int CheckMoveNew(float oldX, float oldZ, float* newX, float* newZ, float y, float angle, float* fall,
                 long* fallStartTime, human_being* who, void* sliders);

// Plane records of the level triangles (each triangle's thePlane, left in the build) and the
// collision hierarchy over them; rebuilt with the level, freed with it. The search structure
// over the level's edges and vertices follows on the first sphere test that needs it.
void BuildObjectCollisionData(LevelBuild* build);
void FreeObjectCollisionData();
