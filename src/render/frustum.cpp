// Frustum planes from the GL matrices and the box-outside test used to cull the level's box
// tree and the objects.
#include "render/frustum.h"

#include <GL/gl.h>

float planeEqs[6][4];

void PlanesFromMatrices(const float M[16], const float P[16]) {
  float C[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += M[4 * i + k] * P[4 * k + j];
      C[4 * i + j] = sum;
    }
  for (int r = 0; r < 4; ++r) {
    float c0 = C[4 * r + 0], c1 = C[4 * r + 1], c2 = C[4 * r + 2], c3 = C[4 * r + 3];
    planeEqs[0][r] = c3 - c0;
    planeEqs[1][r] = c3 + c0;
    planeEqs[2][r] = c3 - c1;
    planeEqs[3][r] = c3 + c1;
    planeEqs[4][r] = c3 - c2;
    planeEqs[5][r] = c3 + c2;
  }
}

void RecalculatePlanes() {
  float M[16], P[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, M);
  glGetFloatv(GL_PROJECTION_MATRIX, P);
  PlanesFromMatrices(M, P);
}

int CheckBoxWithPlanes(const vector_type* corners) {
  for (const auto& pl : planeEqs) {
    bool allOutside = true;
    for (int k = 0; k < 8 && allOutside; ++k) {
      const vector_type& c = corners[k];
      if (pl[0] * c.x + pl[1] * c.y + pl[2] * c.z + pl[3] >= 0.0f) allOutside = false;
    }
    if (allOutside) return 1;
  }
  return 0;
}
