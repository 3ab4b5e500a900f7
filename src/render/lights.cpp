// The eight GL lights' positions and spot directions, kept for the frame and for the light
// and placement commands.
#include "render/lights.h"

#include <GL/gl.h>

float LightPositions[kNumLights][4] = {{0.0f, 0.0f, 1.0f, 0.0f}};
float LightSpotDirections[kNumLights][3] = {};

int LightIndexOfNumber(int n) {
  long long index = (static_cast<long long>(n) - 1) % kNumLights;
  if (index < 0) index += kNumLights;
  return static_cast<int>(index);
}

void PlaceLights() {
  for (int i = 0; i < kNumLights; i++) {
    glLightfv(GL_LIGHT0 + i, GL_POSITION, LightPositions[i]);
    glLightfv(GL_LIGHT0 + i, GL_SPOT_DIRECTION, LightSpotDirections[i]);
  }
}

void ResetLightPositions() {
  for (int i = 0; i < kNumLights; i++) {
    for (float& v : LightPositions[i]) v = 0.0f;
    for (float& v : LightSpotDirections[i]) v = 0.0f;
  }
  LightPositions[0][2] = 1.0f;
  selectedLight = 0;
}
