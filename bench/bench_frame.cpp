// Frame benchmark: the player's frame over a generated terrain level of about 200,000 and
// 1,000,000 triangles, against a raw glDrawElements loop over the same vertex arrays with the
// same lights, material and window, in the same run. Two cameras: one high above that sees the
// whole level, one inside it looking along the ground so that culling removes most of it. The
// player walks a little every frame, so the distance order really changes.
#include <GL/gl.h>

#include <algorithm>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "groups/groups.h"
#include "models/import_common.h"
#include "models/materials.h"
#include "objects/human.h"
#include "objects/player.h"
#include "platform/platform.h"
#include "render/frame.h"
#include "render/frustum.h"
#include "render/lights.h"
#include "render/projection.h"
#include "script/engine_variables.h"
#include "shell/startup.h"
#include "shell/window.h"
#include "world/box_tree.h"
#include "world/level_mesh.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr float kSpan = 100.0f;  // the terrain is kSpan x kSpan world units
constexpr int kRounds = 5;       // rounds of alternating measurements; the best round counts
constexpr int kFramesPerRound = 4;

const auto Now = bench::WallSeconds;

// CPU time of this thread: the level's own work, less disturbed by other programs.
double ThreadSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

float Height(float x, float z) {
  return 1.5f * std::sin(x * 0.21f) * std::cos(z * 0.17f) + 0.2f * std::sin(x * 2.1f + z);
}

// A terrain of 2 * grid^2 triangles facing up, handed to the level the way a reader does.
void LoadTerrain(int grid) {
  ImportMesh mesh;
  const float cell = kSpan / grid;
  for (int i = 0; i <= grid; ++i)
    for (int j = 0; j <= grid; ++j) {
      float x = i * cell - kSpan / 2, z = j * cell - kSpan / 2;
      mesh.positions.push_back({x, Height(x, z), z});
    }
  auto id = [grid](int i, int j) { return static_cast<uint32_t>(i * (grid + 1) + j); };
  for (int i = 0; i < grid; ++i)
    for (int j = 0; j < grid; ++j) {
      uint32_t a = id(i, j), b = id(i, j + 1), c = id(i + 1, j + 1), d = id(i + 1, j);
      mesh.triangles.push_back(DefaultImportTriangle(a, b, c));
      mesh.triangles.push_back(DefaultImportTriangle(a, c, d));
    }
  mesh.triangleEdges = false;
  AppendImportToLevelNoRebuild(mesh);
  GenerateLevelFromMesh();
}

struct View {
  const char* name;
  vector_type start;  // player position at the first frame
  float pitch;        // updownangle
};

// The camera of frame k: the player walks 0.02 units a frame along x.
void PlaceCamera(const View& view, int k) {
  playerPos = {view.start.x + 0.02f * k, view.start.y, view.start.z};
  updownangle = view.pitch;
  viewangle = 30.0f;
  zangle = 0.0f;
}

double TimePlayerFrames(const View& view, int* frame) {
  double t0 = Now();
  for (int k = 0; k < kFramesPerRound; ++k) {
    PlaceCamera(view, (*frame)++);
    DrawGLScene();
    glFinish();
  }
  return (Now() - t0) / kFramesPerRound;
}

// The peer: clear, camera, lights, the material, and one indexed draw of every triangle.
double TimeRawFrames(const View& view, const std::vector<uint32_t>& indices, int* frame) {
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  double t0 = Now();
  for (int k = 0; k < kFramesPerRound; ++k) {
    PlaceCamera(view, (*frame)++);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    SetStandardMatrix();
    PlaceLights();
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT, GL_EMISSION, black);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, gMeshVertexArray.data());
    glNormalPointer(GL_FLOAT, 0, gMeshVertexNormalArray.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
    glDisableClientState(GL_NORMAL_ARRAY);
    Plat_SwapBuffers();
    glFinish();
  }
  return (Now() - t0) / kFramesPerRound;
}

void MeasureLevel(int grid) {
  FreeLevelGeometry();
  double t0 = Now();
  LoadTerrain(grid);
  std::printf("level: %d triangles, %d vertices, %s material (build %.2f s)\n", gNumTriangles, gNumVertices,
              gMaterials[0].shadeModel == 1 ? "smooth" : "flat-shaded textured", Now() - t0);

  // Every triangle of the level in list order, for the peer.
  std::vector<uint32_t> indices;
  indices.reserve(3 * static_cast<size_t>(gNumTriangles));
  for (level_triangle* t = baseLT.next; t; t = t->next)
    for (mesh_vert* corner : t->vertexPtrs) indices.push_back(corner->index);

  const float above = Height(0.0f, 0.0f);
  const View views[2] = {{"whole level in view", {0.0f, 58.0f, 0.0f}, 90.0f},
                         {"camera inside (culling)", {0.0f, above + 1.0f, 0.0f}, 10.0f}};
  for (const View& view : views) {
    int frame = 0;
    // One frame each to settle the distance order and warm the caches.
    TimePlayerFrames(view, &frame);
    TimeRawFrames(view, indices, &frame);
    double ours = 1e9, raw = 1e9;
    for (int r = 0; r < kRounds; ++r) {
      ours = std::min(ours, TimePlayerFrames(view, &frame));
      raw = std::min(raw, TimeRawFrames(view, indices, &frame));
    }
    // The level's share of the player's frame without the drawing: culling and the lists.
    double cull = 1e9, lists = 1e9;
    for (int k = 0; k < kFramesPerRound; ++k) {
      PlaceCamera(view, frame++);
      glMatrixMode(GL_MODELVIEW);
      SetStandardMatrix();
      RecalculatePlanes();
      double a = ThreadSeconds();
      HandleMeshCulling();
      double b = ThreadSeconds();
      MeshListToArray();
      double c = ThreadSeconds();
      cull = std::min(cull, b - a);
      lists = std::min(lists, c - b);
    }
    std::printf("  %-26s zyntrel %7.2f ms (%d triangles drawn; CPU: culling %.2f ms, lists %.2f ms)"
                "   raw glDrawElements %7.2f ms   ratio %.2f\n",
                view.name, ours * 1e3, gTrigsDrawn, cull * 1e3, lists * 1e3, raw * 1e3, ours / raw);
  }
}

}  // namespace

int main() {
  PlatformOptions options;
  options.backend = kPlatformHeadless;
  options.windowWidth = kWidth;
  options.windowHeight = kHeight;
  bool full = false;
  std::string error;
  if (!Plat_Init(options) || !Plat_CreateWindow("bench", kWidth, kHeight, 16, false, &full, &error)) {
    std::printf("no headless GL context: %s\n", error.c_str());
    return 1;
  }
  screenRect = {0, 0, kWidth, kHeight};
  InitGL();
  ReSizeGLScene(screenRect, 0);
  InitHumanRegistry();
  InitLevelLists();
  InitDefaultMaterialAndBone();
  InitRootGroup();
  ResetLightPositions();
  // One smooth, untextured material: the player draws it with one indexed draw, as the peer does.
  gMaterials[0].shadeModel = 1;

  std::printf("frame time against a raw glDrawElements loop (%dx%d, %s; best of %d rounds of %d frames)\n", kWidth,
              kHeight, (const char*)glGetString(GL_RENDERER), kRounds, kFramesPerRound);
  MeasureLevel(316);  // 199,712 triangles
  MeasureLevel(708);  // 1,002,528 triangles
  // Most levels are flat shaded and textured: a normal per face and texture coordinates per
  // corner, which vertex indices cannot carry. The peer still draws the smooth arrays.
  gMaterials[0].shadeModel = 0;
  gMaterials[0].mapType = 1;
  MeasureLevel(316);
  FreeLevelGeometry();
  Plat_Shutdown();
  return 0;
}
