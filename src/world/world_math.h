// Small inline vector helpers for the level and collision code's inner loops: sums,
// differences, scaling, dot products in double precision, lengths and box tests.
#pragma once
#include <cmath>

#include "objects/vector_math.h"

inline vector_type VAdd(vector_type a, vector_type b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline vector_type VSub(vector_type a, vector_type b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline vector_type VScale(vector_type a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline vector_type VMul(vector_type a, vector_type b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
inline vector_type VDiv(vector_type a, vector_type b) { return {a.x / b.x, a.y / b.y, a.z / b.z}; }
inline double VDot(vector_type a, vector_type b) {
  return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y + static_cast<double>(a.z) * b.z;
}
inline vector_type VCross(vector_type a, vector_type b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float VLength(vector_type a) { return static_cast<float>(std::sqrt(VDot(a, a))); }
inline float VDistance(vector_type a, vector_type b) { return VLength(VSub(a, b)); }
// Divides by the length; a zero vector stays zero.
inline vector_type VNormalized(vector_type a) {
  double len = std::sqrt(VDot(a, a));
  if (len == 0.0) return a;
  return {static_cast<float>(a.x / len), static_cast<float>(a.y / len), static_cast<float>(a.z / len)};
}
// The unit normal of a triangle wound counter-clockwise: (b - a) x (c - a), normalised.
inline vector_type VTrigNormal(vector_type a, vector_type b, vector_type c) {
  return VNormalized(VCross(VSub(b, a), VSub(c, a)));
}
inline float VComponent(vector_type v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }
inline void VSetComponent(vector_type* v, int axis, float value) {
  if (axis == 0) v->x = value;
  else if (axis == 1) v->y = value;
  else v->z = value;
}
inline vector_type VMin(vector_type a, vector_type b) {
  return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z};
}
inline vector_type VMax(vector_type a, vector_type b) {
  return {a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z};
}
// Two boxes overlap when they share at least a point (touching counts).
inline bool BoxesOverlap(vector_type min1, vector_type max1, vector_type min2, vector_type max2) {
  return min1.x <= max2.x && min2.x <= max1.x && min1.y <= max2.y && min2.y <= max1.y &&
         min1.z <= max2.z && min2.z <= max1.z;
}
