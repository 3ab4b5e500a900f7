// Writes the example game's walking character: a figure of boxes (legs, body, arms, head)
// on six bones, with a looping "Walk" animation that swings arms and legs and an "Idle" one.
// The shirt wears the texture Textures/shirt.png (made by tools/make_texture.py, see the
// example game's README).
//   g++ -std=c++17 -O1 -o make_character tools/make_character.cpp && ./make_character OUT.wtf
#include <cstdio>
#include <string>

#include "zntl_model_writer.h"

namespace {

// Bone numbers as the animation lines name them (0 is the root).
enum { kBody = 1, kHead, kArmL, kArmR, kLegL, kLegR };

// Adds a box from (x0, y0, z0) to (x1, y1, z1) carried by `bone`, its triangles in `mat`.
void AddBox(zmw::Model& m, zmw::Material& mat, float x0, float y0, float z0, float x1, float y1, float z1,
            int bone) {
  const int base = static_cast<int>(m.vertices.size());
  const float corners[8][3] = {{x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}, {x1, y0, z1},
                               {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}};
  for (const auto& c : corners) m.vertices.push_back({c[0], c[1], c[2], bone});
  const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& e : edges) m.edges.push_back({base + e[0], base + e[1]});
  const int faces[12][3] = {{0, 3, 2}, {0, 2, 1}, {7, 4, 5}, {7, 5, 6}, {3, 7, 6}, {3, 6, 2},
                            {4, 0, 1}, {4, 1, 5}, {1, 2, 6}, {1, 6, 5}, {4, 7, 3}, {4, 3, 0}};
  for (const auto& f : faces) {
    zmw::Triangle t;
    t.a = base + f[0];
    t.b = base + f[1];
    t.c = base + f[2];
    mat.triangles.push_back(t);
  }
}

int AddPivot(zmw::Model& m, float x, float y, float z, int bone) {
  m.vertices.push_back({x, y, z, bone});
  return static_cast<int>(m.vertices.size()) - 1;
}

zmw::Material Colour(const char* name, float r, float g, float b) {
  zmw::Material mat;
  mat.name = name;
  char diffuse[96], ambient[96];
  std::snprintf(diffuse, sizeof diffuse, "diffuse=%.6f,%.6f,%.6f,1.000000", r, g, b);
  std::snprintf(ambient, sizeof ambient, "ambient=%.6f,%.6f,%.6f,1.000000", r * 0.5f, g * 0.5f, b * 0.5f);
  mat.settings = {diffuse, ambient, "specular=0.300000,0.300000,0.300000,1.000000", "shininess=20.000000"};
  return mat;
}

std::string Pose(const char* key, int bone, float ax) {
  char text[96];
  std::snprintf(text, sizeof text, "%s=%d,0,0,0,%.1f,0,0", key, bone, ax);
  return text;
}

// One swing cycle of `period` seconds: forward to +a, back to -a, home again.
void Swing(zmw::Animation& a, int bone, float angle, float period) {
  a.instructions.push_back({0.0f, period * 0.25f, Pose("morph", bone, angle)});
  a.instructions.push_back({period * 0.25f, period * 0.75f, Pose("morph", bone, -angle)});
  a.instructions.push_back({period * 0.75f, period, Pose("morph", bone, 0)});
}

zmw::Model Character() {
  zmw::Model m;
  m.author = "";
  m.date = "";
  // Pivots first: hip, neck, shoulders, hip joints (each on its own bone).
  const int hip = AddPivot(m, 0, 0.70f, 0, kBody);
  const int neck = AddPivot(m, 0, 1.20f, 0, kHead);
  const int shoulderL = AddPivot(m, 0.27f, 1.15f, 0, kArmL);
  const int shoulderR = AddPivot(m, -0.27f, 1.15f, 0, kArmR);
  const int legL = AddPivot(m, 0.11f, 0.70f, 0, kLegL);
  const int legR = AddPivot(m, -0.11f, 0.70f, 0, kLegR);
  m.bones = {{"Body", hip, 1},   {"Head", neck, kBody + 1}, {"ArmL", shoulderL, kBody + 1},
             {"ArmR", shoulderR, kBody + 1}, {"LegL", legL, 1},  {"LegR", legR, 1}};

  // The shirt wears a striped texture; its own colour stays light, since the texture's
  // colours are multiplied by it.
  zmw::Material shirt = Colour("Shirt", 0.95f, 0.95f, 0.95f);
  shirt.settings.push_back("texture=Textures/shirt.png");
  zmw::Material skin = Colour("Skin", 0.95f, 0.75f, 0.60f);
  zmw::Material trousers = Colour("Trousers", 0.25f, 0.22f, 0.20f);
  zmw::Material eyes = Colour("Eyes", 0.05f, 0.05f, 0.08f);
  AddBox(m, shirt, -0.20f, 0.70f, -0.11f, 0.20f, 1.20f, 0.11f, kBody);
  AddBox(m, skin, -0.12f, 1.21f, -0.12f, 0.12f, 1.47f, 0.12f, kHead);
  AddBox(m, eyes, -0.08f, 1.33f, 0.12f, -0.03f, 1.38f, 0.13f, kHead);
  AddBox(m, eyes, 0.03f, 1.33f, 0.12f, 0.08f, 1.38f, 0.13f, kHead);
  AddBox(m, shirt, 0.21f, 0.78f, -0.06f, 0.32f, 1.18f, 0.06f, kArmL);
  AddBox(m, skin, 0.22f, 0.68f, -0.05f, 0.31f, 0.78f, 0.05f, kArmL);
  AddBox(m, shirt, -0.32f, 0.78f, -0.06f, -0.21f, 1.18f, 0.06f, kArmR);
  AddBox(m, skin, -0.31f, 0.68f, -0.05f, -0.22f, 0.78f, 0.05f, kArmR);
  AddBox(m, trousers, 0.02f, 0.0f, -0.08f, 0.19f, 0.70f, 0.08f, kLegL);
  AddBox(m, trousers, -0.19f, 0.0f, -0.08f, -0.02f, 0.70f, 0.08f, kLegR);
  zmw::ProjectUVs(m, shirt);
  m.materials = {shirt, skin, trousers, eyes};

  zmw::Animation walk;
  walk.name = "Walk";
  const float period = 0.8f;
  Swing(walk, kLegL, 30, period);
  Swing(walk, kLegR, -30, period);
  Swing(walk, kArmL, -25, period);
  Swing(walk, kArmR, 25, period);
  m.animations.push_back(walk);

  zmw::Animation idle;  // a slow look round
  idle.name = "Idle";
  idle.instructions.push_back({0.0f, 1.5f, "morph=2,0,0,0,0,25,0"});
  idle.instructions.push_back({1.5f, 4.5f, "morph=2,0,0,0,0,-25,0"});
  idle.instructions.push_back({4.5f, 6.0f, "morph=2,0,0,0,0,0,0"});
  m.animations.push_back(idle);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_character OUT.wtf\n");
    return 2;
  }
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const std::string text = zmw::Write(Character());
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return 0;
}
