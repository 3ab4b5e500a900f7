// Writes model files in the engine's own skinned-model format ("Zyntrel Mdl") from plain data,
// so that tests and the example game have models made here. Positions are given in world
// units and written in file units (x 660) with six decimals; times are given in seconds.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace zmw {

struct Bone {
  std::string name;
  int head = 0;    // head vertex number
  int parent = 1;  // parent bone number plus one: 1 = the root, 2 = bone 1, ...
};

struct Vertex {
  float x = 0, y = 0, z = 0;  // world units
  int bone = 0;               // 0 = the root, 1..B
};

struct Triangle {
  int a = 0, b = 0, c = 0;
  float u[3] = {0, 0, 0};
  float v[3] = {0, 0, 0};
};

struct Material {
  std::string name = "Default";
  std::vector<std::string> settings;  // "key=value" lines
  std::vector<Triangle> triangles;
};

struct Instruction {
  float start = 0, end = 0;  // seconds
  std::string line;          // "morph=..." or "set=..."
};

struct Animation {
  std::string name;
  std::vector<Instruction> instructions;
};

struct Model {
  std::string author = "Zyntrel tests";
  std::string date = "2024-01-01";
  std::string notes;  // may span lines; must not contain "#"
  std::string image;  // embedded preview bytes
  std::vector<Bone> bones;
  std::vector<Vertex> vertices;
  std::vector<std::pair<int, int>> edges;
  std::vector<Material> materials;
  std::vector<Animation> animations;
  std::string lineEnd = "\r\n";
  bool finalLineEnd = true;  // false: the last count line has no line end
};

inline std::string Real(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

inline std::string Write(const Model& m) {
  const std::string& e = m.lineEnd;
  std::string out = "Zyntrel Mdl" + e + "0" + e;
  out += "#Author: " + m.author + e;
  out += "#Date: " + m.date + e;
  out += "#Notes: " + m.notes + e;
  out += "#PNG: " + std::to_string(m.image.size()) + e;
  out += m.image + (m.image.empty() ? e : std::string(1, '\n'));
  out += "#Bones:" + e + std::to_string(m.bones.size()) + e;
  for (const Bone& b : m.bones) out += b.name + e;
  for (const Bone& b : m.bones) out += std::to_string(b.head) + "," + std::to_string(b.parent) + e;
  out += "#Vertices:" + e + std::to_string(m.vertices.size()) + e;
  for (const Vertex& v : m.vertices) {
    out += Real(v.x * 660.0) + "," + Real(v.y * 660.0) + "," + Real(v.z * 660.0) + "," + std::to_string(v.bone) + e;
  }
  out += "#Edges:" + e + std::to_string(m.edges.size()) + e;
  for (const auto& edge : m.edges) out += std::to_string(edge.first) + "," + std::to_string(edge.second) + e;
  out += "#Materials:" + e + std::to_string(m.materials.size()) + e;
  for (const Material& mat : m.materials) {
    out += mat.name + e + std::to_string(mat.settings.size()) + e;
    for (const std::string& s : mat.settings) out += s + e;
    out += std::to_string(mat.triangles.size()) + e;
    for (const Triangle& t : mat.triangles) {
      out += std::to_string(t.a) + "," + std::to_string(t.b) + "," + std::to_string(t.c);
      for (int k = 0; k < 3; k++) out += "," + Real(t.u[k]) + "," + Real(t.v[k]);
      out += e;
    }
  }
  out += "#Animations" + e + std::to_string(m.animations.size());
  if (m.animations.empty()) return m.finalLineEnd ? out + e : out;
  out += e;
  for (const Animation& a : m.animations) {
    out += a.name + e + std::to_string(a.instructions.size()) + e;
    for (const Instruction& in : a.instructions) out += Real(in.start) + "," + Real(in.end) + e + in.line + e;
  }
  return out;
}

// Gives every triangle of `mat` texture coordinates by projecting each corner along the
// triangle's main axis onto the model's extent: the other two axes run from 0 to 1 across the
// model (u along x, or z for faces that look along x; v from the top (0) to the bottom (1),
// or along z for faces that look up or down), so each side of a box shows the whole picture.
inline void ProjectUVs(const Model& m, Material& mat) {
  float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
  for (const Vertex& v : m.vertices) {
    const float p[3] = {v.x, v.y, v.z};
    for (int k = 0; k < 3; k++) {
      if (p[k] < lo[k]) lo[k] = p[k];
      if (p[k] > hi[k]) hi[k] = p[k];
    }
  }
  auto along = [&](const Vertex& v, int axis) {
    const float p[3] = {v.x, v.y, v.z};
    float span = hi[axis] - lo[axis];
    return span > 0 ? (p[axis] - lo[axis]) / span : 0.0f;
  };
  for (Triangle& t : mat.triangles) {
    const Vertex& a = m.vertices[t.a];
    const Vertex& b = m.vertices[t.b];
    const Vertex& c = m.vertices[t.c];
    const float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float ax = n[0] < 0 ? -n[0] : n[0], ay = n[1] < 0 ? -n[1] : n[1], az = n[2] < 0 ? -n[2] : n[2];
    const int uAxis = (ax >= ay && ax >= az) ? 2 : 0;
    const bool flat = ay > ax && ay >= az;  // looks up or down
    const Vertex* corners[3] = {&a, &b, &c};
    for (int k = 0; k < 3; k++) {
      t.u[k] = along(*corners[k], uAxis);
      t.v[k] = flat ? along(*corners[k], 2) : 1.0f - along(*corners[k], 1);
    }
  }
}

// An axis-aligned box of the given size standing on y = 0, centred on x and z: 8 vertices
// on one bone "body" (head vertex 0), 12 edges, 12 triangles in one smooth material.
inline Model Box(float width, float height, float depth) {
  Model m;
  float w = width / 2, d = depth / 2;
  m.bones.push_back({"body", 0, 1});
  const float corners[8][3] = {{-w, 0, d}, {-w, height, d}, {w, height, d}, {w, 0, d},
                               {-w, 0, -d}, {-w, height, -d}, {w, height, -d}, {w, 0, -d}};
  for (const auto& c : corners) m.vertices.push_back({c[0], c[1], c[2], 1});
  const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& edge : edges) m.edges.push_back({edge[0], edge[1]});
  Material mat;
  mat.name = "Skin";
  mat.settings = {"smooth=1", "color=1.000000,1.000000,1.000000,1.000000"};
  const int faces[12][3] = {{0, 3, 2}, {0, 2, 1}, {7, 4, 5}, {7, 5, 6}, {3, 7, 6}, {3, 6, 2},
                            {4, 0, 1}, {4, 1, 5}, {1, 2, 6}, {1, 6, 5}, {4, 7, 3}, {4, 3, 0}};
  for (const auto& f : faces) {
    Triangle t;
    t.a = f[0];
    t.b = f[1];
    t.c = f[2];
    mat.triangles.push_back(t);
  }
  m.materials.push_back(mat);
  return m;
}

}  // namespace zmw
