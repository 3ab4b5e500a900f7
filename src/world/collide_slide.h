// Ellipsoid collide-and-slide: a body (the player or an object) moves as a unit sphere in its
// own ellipsoid space, slides along the level's triangles and the other bodies' cylinders,
// then takes a non-sliding gravity step.
#pragma once

#include "world/level_types.h"

struct human_being;

struct CollisionPacket {
  vector_type eRadius;             // the ellipsoid's radii, world units
  vector_type R3Velocity;          // the displacement, world units
  vector_type R3Position;          // the centre, world units
  vector_type velocity;            // displacement of the current pass, ellipsoid space
  vector_type normalizedVelocity;
  vector_type basePoint;           // centre at the start of the pass, ellipsoid space
  int foundCollision;
  double nearestDistance;          // along velocity, ellipsoid space, to the first contact
  vector_type intersectionPoint;   // ellipsoid space
  human_being* collObject;         // the mover; null for the player
  char specialMove;
};

constexpr float unitScale = 0.001f;
constexpr float veryCloseDistance = unitScale * 0.05f;
// Smallest ellipsoid radius used for the sweep; a zero or tiny radius would make ellipsoid
// space undefined.
constexpr float kMinEllipsoidRadius = 0.0001f;

extern int gMaxCollisionRecursionDepth;
extern int collisionRecursionDepth;
extern int gGravityCheck;
extern vector_type gPlayerDimensions;
extern int gPlayerCollisions;
// The object whose cylinder was the nearest contact of the latest search that chose one;
// null when it was the player's.
extern human_being* gHitPerson;

void collideAndSlide(human_being* hum, vector_type vel, vector_type gravity, CollisionPacket* collisionPackage);
vector_type collideWithWorld(vector_type pos, vector_type vel, CollisionPacket* collisionPackage);
void checkCollision(CollisionPacket* collisionPackage);
void checkTriangle(CollisionPacket* colPackage, level_triangle* trig);
int getLowestRoot(float a, float b, float c, float maxR, float* root);
int isFrontFacingTo(vector_type normal, vector_type direction);
int point_in_face(const vector_type* hit_point, const vector_type* vert1, const vector_type* vert2,
                  const vector_type* vert3, const vector_type* norm1);
int ix_box_box_aligned(vector_type min1, vector_type max1, vector_type min2, vector_type max2);
