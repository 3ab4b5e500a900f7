// The eight GL lights: the positions and spot directions the engine keeps outside GL, set
// into GL after the camera every frame.
#pragma once
#include "commands/selection.h"  // selectedLight: the light the light commands act on

constexpr int kNumLights = 8;

// Position (w = 1) or direction (w = 0) of each light in world coordinates; light 0 starts
// as the direction (0, 0, 1).
extern float LightPositions[kNumLights][4];
extern float LightSpotDirections[kNumLights][3];

// The light index a script's light number n names: (n - 1) mod 8, taken into 0..7 also for
// numbers below 1 (0 names the eighth light).
int LightIndexOfNumber(int n);

// Frame step: every light's position and spot direction into GL under the current matrix.
void PlaceLights();

// Back to the start-up state: light 0 a direction along +z, all others at the origin,
// no spot directions, light 0 selected.
void ResetLightPositions();
