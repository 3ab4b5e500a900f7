// Scenes for the frame tests: a headless context set up like the player's window, level
// triangles, objects with a generated square model, pixel probes and a PNG dump.
#pragma once
#include <memory>
#include <string>

#include "objects/vector_math.h"
#include "support/test_support.h"
#include "world/level_types.h"

struct human_being;

namespace ft {

constexpr int kSize = 64;

struct Pixel {
  int r, g, b;
};

// A fresh GL context of kSize x kSize with the player's fixed state and projections, an
// empty world, the camera's eye at the origin looking along -z, and every frame global at
// its start value.
class Scene {
 public:
  Scene();
  ~Scene();
  bool ok() const { return gl_->ok(); }

 private:
  std::unique_ptr<zt::HeadlessGL> gl_;
};

// A level triangle with three new vertices; its front face winds counter-clockwise.
level_triangle* AddTriangle(vector_type a, vector_type b, vector_type c, int material = 0);
// A square of two triangles in the plane z = `z`, centred on (cx, cy), side `side`, facing +z.
void AddSquareFacingPlusZ(float cx, float cy, float z, float side, int material = 0);
// The same facing -z.
void AddSquareFacingMinusZ(float cx, float cy, float z, float side, int material = 0);
// Rebuilds the box tree after the triangles were added.
void FinishLevel();

// The text of a model file: one square of side `side` (world units) in the model's z = 0
// plane, facing +z, with one material whose setting lines are `settings` ("key=value\n"...).
std::string SquareModelText(float side, const std::string& settings);
// An object showing that model at `pos`, appended to the object list.
human_being* AddObject(const std::string& modelText, vector_type pos);

Pixel ReadPixel(int x, int y);  // y from the bottom row
Pixel Centre();
// Writes the current picture as a PNG file (for looking at it).
void SavePicture(const std::string& path);

}  // namespace ft
