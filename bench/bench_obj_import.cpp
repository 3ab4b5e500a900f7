// OBJ import benchmark: a generated grid of about one million textured triangles, read by the
// engine's OBJ parser, imported into the level (parse, append and level rebuild), and parsed
// by tinyobjloader in the same run. Prints the times and their ratios.
#include <tiny_obj_loader.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "models/import_common.h"
#include "models/import_obj.h"
#include "models/materials.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "world/level_mesh.h"

namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// An n x n grid of vertices (2 (n-1)^2 triangles) with a texture pair per vertex.
std::string MakeGrid(int n) {
  std::string out;
  out.reserve(static_cast<size_t>(n) * n * 80);
  out += "# generated grid\nmtllib grid.mtl\n";
  char line[256];
  for (int z = 0; z < n; z++) {
    for (int x = 0; x < n; x++) {
      std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", x * 66.0, ((x * 7 + z * 3) % 11) * 6.6, z * 66.0);
      out += line;
    }
  }
  for (int z = 0; z < n; z++) {
    for (int x = 0; x < n; x++) {
      std::snprintf(line, sizeof line, "vt %.6f %.6f\n", x / double(n - 1), z / double(n - 1));
      out += line;
    }
  }
  out += "usemtl ground\n";
  for (int z = 0; z + 1 < n; z++) {
    for (int x = 0; x + 1 < n; x++) {
      int a = z * n + x + 1, b = a + 1, c = a + n, d = c + 1;
      std::snprintf(line, sizeof line, "f %d/%d %d/%d %d/%d\nf %d/%d %d/%d %d/%d\n", a, a, c, c, b, b, b, b, c, c, d,
                    d);
      out += line;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 709;  // 709 x 709: 1,002,528 triangles
  char folder[] = "/tmp/zyntrel-bench-objXXXXXX";
  if (!mkdtemp(folder)) return 1;
  std::string path = std::string(folder) + "/grid.obj";
  std::string text = MakeGrid(n);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 1;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  text.clear();
  text.shrink_to_fit();

  InitDefaultMaterialAndBone();
  ZNK_CopyString(routePath, (std::string(folder) + "/").c_str(), sizeof routePath);

  // The engine's parser alone (reading the file included).
  double t0 = Now();
  std::vector<unsigned char> bytes;
  ReadWholeImportFile(path.c_str(), &bytes);
  ObjFile obj;
  ParseOBJ(reinterpret_cast<const char*>(bytes.data()), bytes.size(), 1.0f, &obj);
  double ourParse = Now() - t0;
  const size_t ourTriangles = obj.faces.size();
  obj = ObjFile();
  bytes = std::vector<unsigned char>();

  // The whole import: parse, append to the level lists, rebuild the level.
  t0 = Now();
  ImportWavefrontOBJModel(path.c_str(), 1.0f);
  double ourImport = Now() - t0;
  size_t levelTriangles = 0;
  for (level_triangle* t = baseLT.next; t; t = t->next) levelTriangles++;
  // The level rebuild alone, as the import ended with it.
  t0 = Now();
  GenerateLevelFromMesh();
  double rebuild = Now() - t0;
  FreeLevelGeometry();

  // tinyobjloader on the same file.
  t0 = Now();
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
  std::string warn, err;
  bool ok = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), folder, true);
  double peerParse = Now() - t0;
  size_t peerTriangles = 0;
  for (const tinyobj::shape_t& s : shapes) peerTriangles += s.mesh.num_face_vertices.size();

  std::remove(path.c_str());
  rmdir(folder);

  std::printf("OBJ of %zu triangles (%d x %d grid)\n", ourTriangles, n, n);
  std::printf("  zyntrel parse:                   %8.1f ms\n", ourParse * 1000);
  std::printf("  zyntrel import (parse + level):  %8.1f ms  (%zu level triangles)\n", ourImport * 1000, levelTriangles);
  std::printf("    of which the level rebuild:     %8.1f ms\n", rebuild * 1000);
  std::printf("  tinyobjloader parse:             %8.1f ms  (%zu triangles%s)\n", peerParse * 1000, peerTriangles,
              ok ? "" : ", failed");
  std::printf("  ratio parse / tinyobjloader:     %8.2f\n", ourParse / peerParse);
  std::printf("  ratio import / tinyobjloader:    %8.2f\n", ourImport / peerParse);
  return ourTriangles == peerTriangles && levelTriangles == ourTriangles ? 0 : 1;
}
