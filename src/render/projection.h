// The camera's matrices: the model-view camera of the player, the switches between the 3D
// and the overlay projection, and the perspective and orthographic views scripts choose.
#pragma once

extern float gIsoSizes[4];    // left, right, bottom, top of the orthographic view
extern int gIsometricView;    // 1 while the orthographic view is in force

// Loads the player camera into the model-view matrix.
void SetStandardMatrix();
// Projection matrix = Matrix_3D (or Matrix_2D); the model-view mode is current afterwards.
void Set3DProjectionMatrix();
void Set2DProjectionMatrix();
// Blending of source alpha over one minus source alpha.
void SetBlendingToMasking();

// Rebuilds Matrix_3D as a perspective of `fov` degrees for the screen rectangle's aspect and
// makes it the projection. Returns 0 (and changes nothing) for a field of view that cannot
// make a projection (0 or less, 180 or more, not a number).
int SetPerspectiveView(float fov);
// Rebuilds Matrix_3D as the orthographic box gIsoSizes and makes it the projection. Returns 0
// (and changes nothing) when the box has no width or no height.
int SetOrthographicView();
