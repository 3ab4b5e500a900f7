// Column-major 4x4 matrix arithmetic for CPU posing.
#include "models/mat4.h"

#include <cmath>

Mat4 Mat4Identity() {
  Mat4 r = {};
  r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
  return r;
}

Mat4 Mat4Multiply(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int c = 0; c < 4; c++) {
    for (int row = 0; row < 4; row++) {
      float s = 0.0f;
      for (int k = 0; k < 4; k++) s += a.m[k * 4 + row] * b.m[c * 4 + k];
      r.m[c * 4 + row] = s;
    }
  }
  return r;
}

Mat4 Mat4Translate(const Mat4& a, float x, float y, float z) {
  Mat4 t = Mat4Identity();
  t.m[12] = x;
  t.m[13] = y;
  t.m[14] = z;
  return Mat4Multiply(a, t);
}

namespace {
void SinCos(float degrees, float* s, float* c) {
  double r = static_cast<double>(degrees) * kDegreesToRadians;
  *s = static_cast<float>(std::sin(r));
  *c = static_cast<float>(std::cos(r));
}
}  // namespace

Mat4 Mat4RotateX(const Mat4& a, float degrees) {
  float s, c;
  SinCos(degrees, &s, &c);
  Mat4 r = Mat4Identity();
  r.m[5] = c;
  r.m[6] = s;
  r.m[9] = -s;
  r.m[10] = c;
  return Mat4Multiply(a, r);
}

Mat4 Mat4RotateY(const Mat4& a, float degrees) {
  float s, c;
  SinCos(degrees, &s, &c);
  Mat4 r = Mat4Identity();
  r.m[0] = c;
  r.m[2] = -s;
  r.m[8] = s;
  r.m[10] = c;
  return Mat4Multiply(a, r);
}

Mat4 Mat4RotateZ(const Mat4& a, float degrees) {
  float s, c;
  SinCos(degrees, &s, &c);
  Mat4 r = Mat4Identity();
  r.m[0] = c;
  r.m[1] = s;
  r.m[4] = -s;
  r.m[5] = c;
  return Mat4Multiply(a, r);
}

vector_type Mat4TransformPoint(const Mat4& a, vector_type p) {
  vector_type r;
  r.x = a.m[0] * p.x + a.m[4] * p.y + a.m[8] * p.z + a.m[12];
  r.y = a.m[1] * p.x + a.m[5] * p.y + a.m[9] * p.z + a.m[13];
  r.z = a.m[2] * p.x + a.m[6] * p.y + a.m[10] * p.z + a.m[14];
  return r;
}

vector_type Mat4TransformDirection(const Mat4& a, vector_type d) {
  vector_type r;
  r.x = a.m[0] * d.x + a.m[4] * d.y + a.m[8] * d.z;
  r.y = a.m[1] * d.x + a.m[5] * d.y + a.m[9] * d.z;
  r.z = a.m[2] * d.x + a.m[6] * d.y + a.m[10] * d.z;
  return r;
}

Mat4 ObjectTransform(float xpos, float ypos, float zpos, float xang, float yang, float zang) {
  Mat4 w = Mat4Translate(Mat4Identity(), xpos, ypos, zpos);
  w = Mat4RotateY(w, yang);
  w = Mat4RotateZ(w, zang);
  return Mat4RotateX(w, xang);
}
