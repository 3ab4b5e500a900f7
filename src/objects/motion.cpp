// Per-pass idle work on objects, the player camera's state, and the movers' walking and
// flying steps. Movers have no motion state between passes: each step is complete when it
// returns.
#include "objects/motion.h"

#include "models/model_types.h"
#include "models/skeleton.h"
#include "objects/human.h"
#include "objects/player.h"
#include "shell/timed_tasks.h"
#include "world/collide_slide.h"
#include "world/object_collision.h"

vector_type playerPos = {0.0f, 0.0f, 0.0f};
float viewangle = 0.0f;
float updownangle = 0.0f;
float zangle = 0.0f;

namespace {
const vector_type kOrigin = {0.0f, 0.0f, 0.0f};

// The heading of an object's frame about the vertical axis.
float ObjectHeading(const human_being* h) { return -(h->yang - 180.0f); }

void ShiftModelBox(human_being* h, float dx, float dy, float dz) {
  if (!h->mdl) return;
  h->mdl->newBoxMin.x += dx;
  h->mdl->newBoxMin.y += dy;
  h->mdl->newBoxMin.z += dz;
  h->mdl->newBoxMax.x += dx;
  h->mdl->newBoxMax.y += dy;
  h->mdl->newBoxMax.z += dz;
}
}  // namespace

void objects_idle() {
  if (!baseHuman) return;
  for (human_being* h = baseHuman->next; h; h = h->next)
    if (h->mdl) UpdateModelBones(h->mdl, gCurrentTime);
}

int GoForward(human_being* thePerson, float howFar) {
  if (thePerson) return 1;
  vector_type step = RotateVector(fastVector_Set(0.0f, 0.0f, howFar), kOrigin, 0.0f, viewangle, 0.0f);
  return GoDirection(nullptr, step, viewangle);
}

int HumanGoForward(human_being* thePerson, float howFar) {
  if (!thePerson) return 1;
  float heading = ObjectHeading(thePerson);
  vector_type step = RotateVector(fastVector_Set(0.0f, 0.0f, howFar), kOrigin, 0.0f, heading, 0.0f);
  return GoDirection(thePerson, step, heading);
}

int GoDirection(human_being* thePerson, vector_type direction, float angle) {
  float* x = thePerson ? &thePerson->xpos : &playerPos.x;
  float* y = thePerson ? &thePerson->ypos : &playerPos.y;
  float* z = thePerson ? &thePerson->zpos : &playerPos.z;
  float oldX = *x, oldZ = *z;
  float newX = oldX + direction.x;
  float newZ = oldZ - direction.z;
  // The walking check accepts every move; the mover's fall fields stay as they are.
  float fall = thePerson ? thePerson->fall : 0.0f;
  long fallStart = thePerson ? thePerson->fallStartTime : 0;
  CheckMoveNew(oldX, oldZ, &newX, &newZ, *y, angle, &fall, &fallStart, thePerson, nullptr);
  *x = newX;
  *z = newZ;
  if (!thePerson) GeneratePlayerBox();
  return 1;
}

int SpaceGo(human_being* thePerson, vector_type move, int collisionDetection) {
  vector_type world = thePerson
                          ? RotateVector(move, kOrigin, thePerson->xang, ObjectHeading(thePerson), 0.0f)
                          : RotateVector(move, kOrigin, updownangle, viewangle, 0.0f);
  world.z = -world.z;

  vector_type before = thePerson ? fastVector_Set(thePerson->xpos, thePerson->ypos, thePerson->zpos) : playerPos;
  if (collisionDetection) {
    CollisionPacket packet = {};
    collideAndSlide(thePerson, world, kOrigin, &packet);
  } else if (thePerson) {
    thePerson->xpos += world.x;
    thePerson->ypos += world.y;
    thePerson->zpos += world.z;
  } else {
    playerPos.x += world.x;
    playerPos.y += world.y;
    playerPos.z += world.z;
  }
  if (thePerson)
    ShiftModelBox(thePerson, thePerson->xpos - before.x, thePerson->ypos - before.y, thePerson->zpos - before.z);
  return 1;
}
