// OBJ import benchmark: a generated grid of about one million textured triangles, read by the
// engine's OBJ parser, imported into the level (parse, append and level rebuild), and parsed
// by tinyobjloader in the same run. Prints the times and their ratios, the parts of the level
// rebuild, and the box tree build against Bullet's BVH build over the same triangles.
#include <btBulletCollisionCommon.h>
#include <tiny_obj_loader.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_support.h"
#include "models/import_common.h"
#include "models/import_obj.h"
#include "models/materials.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "world/box_tree.h"
#include "world/level_mesh.h"
#include "world/object_collision.h"

namespace {

// Processor time of this process (it has one thread): the machine is shared while
// benchmarks run, and time spent waiting for a core is not the program's cost.
const auto Now = bench::ProcessSeconds;

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

// The time of tinyobjloader's parse of the file; its memory is given back on return.
double TimePeerParse(const std::string& path, const char* folder, size_t* triangles, bool* ok) {
  const double t0 = Now();
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
  std::string warn, err;
  *ok = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), folder, true);
  const double seconds = Now() - t0;
  *triangles = 0;
  for (const tinyobj::shape_t& s : shapes) *triangles += s.mesh.num_face_vertices.size();
  return seconds;
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

  // Appending the parsed file to the level lists (records, edges, renumbering) on its own.
  ImportMesh mesh;
  mesh.positions = obj.positions;
  for (const ObjFace& f : obj.faces) {
    ImportTriangle t = DefaultImportTriangle(static_cast<uint32_t>(f.v[0]), static_cast<uint32_t>(f.v[1]),
                                             static_cast<uint32_t>(f.v[2]));
    mesh.triangles.push_back(t);
  }
  obj = ObjFile();
  t0 = Now();
  AppendImportToLevelNoRebuild(mesh);
  double append = Now() - t0;
  t0 = Now();
  FreeLevelGeometry();
  double freeAppended = Now() - t0;
  mesh = ImportMesh();
  bytes = std::vector<unsigned char>();

  // The whole import: parse, append to the level lists, and the level rebuild that the next
  // frame or query runs.
  t0 = Now();
  ImportWavefrontOBJModel(path.c_str(), 1.0f);
  double ourRead = Now() - t0;
  UpdateLevelIfChanged();
  double ourImport = Now() - t0;
  double firstRebuild = ourImport - ourRead;
  size_t levelTriangles = 0;
  for (level_triangle* t = baseLT.next; t; t = t->next) levelTriangles++;
  // A second rebuild of the same level, and its parts.
  t0 = Now();
  GenerateLevelFromMesh();
  double rebuild = Now() - t0;
  const bench::RebuildParts parts = bench::TimeRebuildParts(Now);
  const int treeNodes = BoxTreeNodeCount(), treeDepth = BoxTreeDepth();

  // Bullet's BVH over the same triangles (its build is the quantized AABB tree of the shape).
  std::vector<float> positions;
  std::vector<int> indices;
  size_t edges = 0;
  for (mesh_edge* edge = baseEdge.next; edge; edge = edge->next) edges++;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) positions.insert(positions.end(), {v->pos.x, v->pos.y, v->pos.z});
  for (level_triangle* t = baseLT.next; t; t = t->next)
    for (mesh_vert* corner : t->vertexPtrs) indices.push_back(static_cast<int>(corner->index));
  // The tree is timed from the triangles as the level build reads them; the level is rebuilt
  // whole afterwards, so that its records point at the tree that stays.
  double bulletBuild = 1e30, treeBuild = 1e30;
  LevelBuild build;
  GatherLevelForBuild(&build);
  SortLevelBuildByDistance(&build);
  for (int run = 0; run < 3; run++) {
    t0 = Now();
    BuildBoxTree(&build);
    treeBuild = std::min(treeBuild, Now() - t0);
    t0 = Now();
    btTriangleIndexVertexArray vertexArray(static_cast<int>(indices.size() / 3), indices.data(), 3 * sizeof(int),
                                           static_cast<int>(positions.size() / 3), positions.data(), 3 * sizeof(float));
    btBvhTriangleMeshShape shape(&vertexArray, true);
    bulletBuild = std::min(bulletBuild, Now() - t0);
  }
  build = LevelBuild();
  GenerateLevelFromMesh();
  t0 = Now();
  FreeLevelGeometry();
  double freeLevel = Now() - t0;

  // tinyobjloader on the same file, and two more rounds of both imports in turn: the ratio
  // takes the best of three of each, since fresh memory makes a single run of either swing.
  size_t peerTriangles = 0;
  bool ok = true;
  double peerParse = TimePeerParse(path, folder, &peerTriangles, &ok);
  double bestImport = ourImport;
  for (int run = 1; run < 3; run++) {
    t0 = Now();
    ImportWavefrontOBJModel(path.c_str(), 1.0f);
    UpdateLevelIfChanged();
    bestImport = std::min(bestImport, Now() - t0);
    FreeLevelGeometry();
    size_t triangles = 0;
    bool parsed = true;
    peerParse = std::min(peerParse, TimePeerParse(path, folder, &triangles, &parsed));
  }

  std::remove(path.c_str());
  rmdir(folder);

  std::printf("OBJ of %zu triangles (%d x %d grid)\n", ourTriangles, n, n);
  std::printf("  zyntrel parse:                   %8.1f ms\n", ourParse * 1000);
  std::printf("  zyntrel append to the level lists: %8.1f ms  (freeing them %.1f ms)\n", append * 1000,
              freeAppended * 1000);
  std::printf("  zyntrel import (parse + level):  %8.1f ms  (%zu level triangles; best of 3: %.1f ms)\n",
              ourImport * 1000, levelTriangles, bestImport * 1000);
  std::printf("    of which the level rebuild:     %8.1f ms  (a second rebuild: %.1f ms)\n", firstRebuild * 1000,
              rebuild * 1000);
  std::printf("  tinyobjloader parse, best of 3:  %8.1f ms  (%zu triangles%s)\n", peerParse * 1000, peerTriangles,
              ok ? "" : ", failed");
  std::printf("  ratio parse / tinyobjloader:     %8.2f\n", ourParse / peerParse);
  std::printf("  ratio import / tinyobjloader:    %8.2f  (best of 3 of each)\n", bestImport / peerParse);
  bench::PrintRebuildParts("  level rebuild parts", parts);
  std::printf("  level: %zu edges; freeing the level %.3f s\n", edges, freeLevel);
  std::printf("  tree build: zyntrel %.3f s (%d nodes, depth %d), bullet %.3f s, ratio (bullet/zyntrel time) %.2f\n",
              treeBuild, treeNodes, treeDepth, bulletBuild, bulletBuild / treeBuild);
  return ourTriangles == peerTriangles && levelTriangles == ourTriangles ? 0 : 1;
}
