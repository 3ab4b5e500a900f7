// Vector helpers, angle wrapping and rotations.
#include "objects/vector_math.h"

#include <cmath>

float GetCorrectDegree(float angle) {
  // Non-finite angles would never leave the loops below, and huge ones would not change
  // when 360 is taken off; both are brought into range first.
  if (!std::isfinite(angle)) return 0.0f;
  if (std::fabs(angle) > 1.0e6f) angle = std::fmod(angle, 360.0f);
  while (angle > 180.0f) angle -= 360.0f;
  while (angle < -180.0f) angle += 360.0f;
  return angle;
}
