// The engine's numeric toolkit: vectors (y is up), angle wrapping, rotations by Euler angles
// or about an axis, direction-to-angle conversion, triangle planes, and the random generator.
#pragma once
#include <cmath>
#include <cstdint>

struct vector_type {
  float x, y, z;
};

struct fpoint {
  float h, v;
};

// A plane a*x + b*y + c*z = d; the remaining fields belong to object collision.
struct plane_type {
  float a, b, c, d;
  int collision;
  vector_type P, path;
  float PToPlane, pathLength;
  plane_type* next;
};

constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRadiansToDegrees = 57.29577951308232;

vector_type* vector_Set(vector_type* v, float x, float y, float z);
vector_type fastVector_Set(float x, float y, float z);
fpoint SetFPt(float h, float v);
double squareOf(float f);
inline double DotProduct(vector_type a, vector_type b) {
  return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y + static_cast<double>(a.z) * b.z;
}
inline vector_type CrossProduct(vector_type a, vector_type b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float vectorDistance(vector_type a, vector_type b);
// Divides by the length; a zero vector stays as it is.
inline void Normalize(vector_type* v) {
  double length = std::sqrt(DotProduct(*v, *v));
  if (length == 0.0) length = 1.0;
  v->x = static_cast<float>(v->x / length);
  v->y = static_cast<float>(v->y / length);
  v->z = static_cast<float>(v->z / length);
}
// The unit normal of the triangle a, b, c: (b - a) x (c - a), normalised. Inline, because the
// level build makes one for every triangle it reads.
inline vector_type GetNormalOfTrig(vector_type a, vector_type b, vector_type c) {
  vector_type n = CrossProduct({b.x - a.x, b.y - a.y, b.z - a.z}, {c.x - a.x, c.y - a.y, c.z - a.z});
  Normalize(&n);
  return n;
}
plane_type planeFromTrig(vector_type normal, vector_type triangleVertex);
int PointOnLinePerpendicularToPoint(vector_type* P, vector_type* LineStart, vector_type* LineEnd,
                                    vector_type* Intersection);
float GetCorrectDegree(float angle);
fpoint RotatePoint(fpoint thePoint, fpoint coordinateBase, float degree);
vector_type RotateVector(vector_type v, vector_type base, float xang, float yang, float zang);
vector_type RotateVectorArbitrary(vector_type P, vector_type A, float xpart, float ypart, float zpart,
                                  float degrees);
vector_type GetEularAngles(float degrees, float xpart, float ypart, float zpart);
void DirToAngles(vector_type dir, float* xang, float* yang, float* zang);
void vector_RotSet(vector_type* plane, float xm, float ym, float zm, float xMod, float yMod, float zMod,
                   float xa, float ya, float za);

// Scratch points of vector_RotSet; fb is its rotation centre (0, 0).
extern fpoint fa, fb, fc, fd;

extern uint32_t gRANROT_m_high;
extern uint32_t gRANROT_m_low;
uint32_t RANROT_init(uint32_t seed);
uint32_t RANROT_rand();
int MyRandom();
