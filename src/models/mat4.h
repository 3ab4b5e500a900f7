// A small column-major 4x4 matrix for posing bones on the CPU. It composes exactly as the GL
// matrix stack does (each call multiplies on the right), so T * Ry * Rz * Rx here equals
// glTranslatef, glRotatef(y), glRotatef(z), glRotatef(x) in that order.
#pragma once
#include "objects/vector_math.h"

struct Mat4 {
  float m[16];  // column-major: element (row r, column c) at m[c * 4 + r]
};

Mat4 Mat4Identity();
Mat4 Mat4Multiply(const Mat4& a, const Mat4& b);  // a * b
Mat4 Mat4Translate(const Mat4& a, float x, float y, float z);
// Right-handed rotation by degrees about a unit axis, as glRotatef.
Mat4 Mat4RotateX(const Mat4& a, float degrees);
Mat4 Mat4RotateY(const Mat4& a, float degrees);
Mat4 Mat4RotateZ(const Mat4& a, float degrees);
vector_type Mat4TransformPoint(const Mat4& a, vector_type p);
vector_type Mat4TransformDirection(const Mat4& a, vector_type d);  // no translation

// The object transform used everywhere in the engine: T(pos) * Ry(yang) * Rz(zang) * Rx(xang).
Mat4 ObjectTransform(float xpos, float ypos, float zpos, float xang, float yang, float zang);
