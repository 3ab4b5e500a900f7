// Vector helpers, angle wrapping, rotations by Euler angles or about an axis, the Euler
// angles of an axis-angle rotation, direction-to-angle conversion and triangle planes.
#include "objects/vector_math.h"

#include <cmath>

fpoint fa, fb, fc, fd;

namespace {
vector_type Sub(vector_type a, vector_type b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vector_type Add(vector_type a, vector_type b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
bool Equal(vector_type a, vector_type b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

double ClampUnit(double v) { return v < -1.0 ? -1.0 : (v > 1.0 ? 1.0 : v); }

// Turns the planar offset (p, q) by `turn` radians, the way every rotation here works: the
// angle of the offset is taken from its sine, its cosine only gives the side.
void TurnInPlane(float* p, float* q, double turn) {
  if (turn == 0.0) return;
  double r = std::sqrt(static_cast<double>(*p) * *p + static_cast<double>(*q) * *q);
  if (r == 0.0) return;
  double phi = std::asin(ClampUnit(*q / r));
  if (*p < 0.0f) phi = M_PI - phi;
  phi += turn;
  *p = static_cast<float>(r * std::cos(phi));
  *q = static_cast<float>(r * std::sin(phi));
}
}  // namespace

vector_type* vector_Set(vector_type* v, float x, float y, float z) {
  v->x = x;
  v->y = y;
  v->z = z;
  return v;
}

vector_type fastVector_Set(float x, float y, float z) { return {x, y, z}; }

fpoint SetFPt(float h, float v) { return {h, v}; }

double squareOf(float f) { return static_cast<double>(f) * f; }

float vectorDistance(vector_type a, vector_type b) {
  vector_type d = Sub(a, b);
  return static_cast<float>(std::sqrt(DotProduct(d, d)));
}


plane_type planeFromTrig(vector_type normal, vector_type triangleVertex) {
  plane_type plane = {};
  plane.a = normal.x;
  plane.b = normal.y;
  plane.c = normal.z;
  plane.d = static_cast<float>(DotProduct(normal, triangleVertex));
  return plane;
}

int PointOnLinePerpendicularToPoint(vector_type* P, vector_type* LineStart, vector_type* LineEnd,
                                    vector_type* Intersection) {
  vector_type line = Sub(*LineEnd, *LineStart);
  double lengthSquared = DotProduct(line, line);
  // A segment of zero length has no direction to drop a perpendicular onto.
  if (lengthSquared == 0.0) return 0;
  double t = DotProduct(line, Sub(*P, *LineStart)) / lengthSquared;
  if (!(t >= 0.0 && t <= 1.0)) return 0;
  Intersection->x = static_cast<float>(LineStart->x + line.x * t);
  Intersection->y = static_cast<float>(LineStart->y + line.y * t);
  Intersection->z = static_cast<float>(LineStart->z + line.z * t);
  return 1;
}

float GetCorrectDegree(float angle) {
  // Non-finite angles would never leave the loops below, and huge ones would not change
  // when 360 is taken off; both are brought into range first.
  if (!std::isfinite(angle)) return 0.0f;
  if (std::fabs(angle) > 1.0e6f) angle = std::fmod(angle, 360.0f);
  while (angle > 180.0f) angle -= 360.0f;
  while (angle < -180.0f) angle += 360.0f;
  return angle;
}

fpoint RotatePoint(fpoint thePoint, fpoint coordinateBase, float degree) {
  fpoint d = {thePoint.h - coordinateBase.h, thePoint.v - coordinateBase.v};
  TurnInPlane(&d.h, &d.v, -degree * kDegreesToRadians);
  return {coordinateBase.h + d.h, coordinateBase.v + d.v};
}

vector_type RotateVector(vector_type v, vector_type base, float xang, float yang, float zang) {
  if (Equal(v, base)) return v;
  vector_type d = Sub(v, base);
  TurnInPlane(&d.z, &d.y, -xang * kDegreesToRadians);
  TurnInPlane(&d.x, &d.z, -yang * kDegreesToRadians);
  TurnInPlane(&d.x, &d.y, zang * kDegreesToRadians);
  return Add(base, d);
}

vector_type RotateVectorArbitrary(vector_type P, vector_type A, float xpart, float ypart, float zpart,
                                  float degrees) {
  if (Equal(P, A)) return P;
  double x = static_cast<double>(P.x) - A.x, y = static_cast<double>(P.y) - A.y, z = static_cast<double>(P.z) - A.z;
  double bx = xpart, by = ypart, bz = zpart;
  double angle = degrees / kRadiansToDegrees;

  // Turn the axis into the y-z plane, then onto +z; turn about z; undo both.
  double len1 = std::sqrt(bx * bx + bz * bz), c1 = 0, s1 = 0;
  if (len1 > 0) {
    c1 = bz / len1;
    s1 = bx / len1;
    double nx = x * c1 - z * s1, nz = x * s1 + z * c1;
    x = nx;
    z = nz;
    double nbx = bx * c1 - bz * s1, nbz = bx * s1 + bz * c1;
    bx = nbx;
    bz = nbz;
  }
  double len2 = std::sqrt(by * by + bz * bz), c2 = 0, s2 = 0;
  if (len2 > 0) {
    c2 = bz / len2;
    s2 = by / len2;
    double ny = y * c2 - z * s2, nz = y * s2 + z * c2;
    y = ny;
    z = nz;
  }
  double nx = x * std::cos(angle) - y * std::sin(angle), ny = x * std::sin(angle) + y * std::cos(angle);
  x = nx;
  y = ny;
  if (len2 > 0) {
    double uy = y * c2 + z * s2, uz = -y * s2 + z * c2;
    y = uy;
    z = uz;
  }
  if (len1 > 0) {
    double ux = x * c1 + z * s1, uz = -x * s1 + z * c1;
    x = ux;
    z = uz;
  }
  return {static_cast<float>(A.x + x), static_cast<float>(A.y + y), static_cast<float>(A.z + z)};
}

vector_type GetEularAngles(float degrees, float xpart, float ypart, float zpart) {
  // The matrix glRotatef would put on the stack, in column order; a zero axis leaves the
  // identity, as GL does.
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double mag = std::sqrt(static_cast<double>(xpart) * xpart + static_cast<double>(ypart) * ypart +
                         static_cast<double>(zpart) * zpart);
  if (mag > 1.0e-4) {
    double angle = GetCorrectDegree(degrees) * kDegreesToRadians;
    double s = std::sin(angle), c = std::cos(angle), one_c = 1.0 - c;
    double x = xpart / mag, y = ypart / mag, z = zpart / mag;
    m[0] = static_cast<float>(x * x * one_c + c);
    m[4] = static_cast<float>(x * y * one_c - z * s);
    m[8] = static_cast<float>(x * z * one_c + y * s);
    m[1] = static_cast<float>(y * x * one_c + z * s);
    m[5] = static_cast<float>(y * y * one_c + c);
    m[9] = static_cast<float>(y * z * one_c - x * s);
    m[2] = static_cast<float>(x * z * one_c - y * s);
    m[6] = static_cast<float>(y * z * one_c + x * s);
    m[10] = static_cast<float>(z * z * one_c + c);
  }

  double s = -m[2];
  double ay = std::asin(ClampUnit(s));
  double c = std::cos(ay);
  if (std::fabs(c) < 0.000001) c = 0;
  double tx = c != 0 ? m[0] / c : 0, ty, tz, tw;
  if (tx < 0 && s != 0) {
    c = -c;
    if (std::fabs(c) < 0.000001) c = 0;
  }
  if (c == 0) {
    tz = 1;
    ty = 0;
    tx = 1;
    tw = 0;
  } else {
    tz = m[10] / c;
    ty = m[6] / -c;
    tx = m[0] / c;
    tw = m[1] / -c;
  }
  c = ClampUnit(c);
  tz = ClampUnit(tz);
  tx = ClampUnit(tx);
  double yAngle = std::acos(c), xAngle = std::acos(tz), zAngle = std::acos(tx);
  if (s < 0) yAngle = -yAngle;
  if (ty > 0) xAngle = -xAngle;
  if (tw > 0) zAngle = -zAngle;
  return {static_cast<float>(xAngle * kRadiansToDegrees), static_cast<float>(yAngle * kRadiansToDegrees),
          static_cast<float>(zAngle * kRadiansToDegrees)};
}

void DirToAngles(vector_type dir, float* xang, float* yang, float* zang) {
  *xang = *yang = *zang = 0.0f;
  vector_type h = {dir.x, 0.0f, dir.z};
  Normalize(&h);
  double yaw = std::acos(ClampUnit(h.z)) * kRadiansToDegrees;
  *yang = static_cast<float>(dir.x < 0 ? -yaw : yaw);
  float r = static_cast<float>(std::sqrt(squareOf(dir.x) + squareOf(dir.z)));
  vector_type v = {0.0f, dir.y, r};
  Normalize(&v);
  *xang = static_cast<float>(-std::asin(ClampUnit(v.y)) * kRadiansToDegrees);
}

void vector_RotSet(vector_type* plane, float xm, float ym, float zm, float xMod, float yMod, float zMod,
                   float xa, float ya, float za) {
  fb = SetFPt(0, 0);
  fa = RotatePoint(SetFPt(xm, ym), fb, -za);
  float x = fa.h, y = fa.v;
  fc = RotatePoint(SetFPt(x, zm), fb, ya);
  x = fc.h;
  float z = fc.v;
  fd = RotatePoint(SetFPt(y, z), fb, -xa);
  y = fd.h;
  z = fd.v;
  vector_Set(plane, x + xMod, y + yMod, z + zMod);
}
