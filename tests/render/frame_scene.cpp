// Scenes for the frame tests: context and world set up like the player's, level squares,
// square-model objects, pixel probes and a PNG dump.
#include "frame_scene.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "commands/selection.h"
#include "groups/groups.h"
#include "models/materials.h"
#include "models/model_types.h"
#include "models/zntl_model.h"
#include "objects/human.h"
#include "objects/player.h"
#include "render/frame.h"
#include "render/lights.h"
#include "render/projection.h"
#include "render/screenshot.h"
#include "script/engine_variables.h"
#include "shell/startup.h"
#include "shell/window.h"
#include "world/level_mesh.h"

namespace ft {

namespace {
level_triangle* gTail = nullptr;

void FreeObjects() {
  if (!baseHuman) return;
  human_being* h = baseHuman->next;
  while (h) {
    human_being* next = h->next;
    if (h->mdl) Dispose_Zyntrel_Mdl(h->mdl);
    std::free(h);
    h = next;
  }
  baseHuman->next = nullptr;
  selHuman = nullptr;
}

mesh_vert* NewVertex(vector_type p) {
  mesh_vert* v = NewEmptyMeshVert(p);
  v->next = baseMeshVert.next;
  baseMeshVert.next = v;
  return v;
}
}  // namespace

Scene::Scene() : gl_(new zt::HeadlessGL(kSize, kSize)) {
  screenRect = {0, 0, kSize, kSize};
  gFOV = 90.0f;
  InitGL();
  ReSizeGLScene(screenRect, 0);
  InitHumanRegistry();
  FreeObjects();
  InitLevelLists();
  gTail = nullptr;
  InitDefaultMaterialAndBone();
  InitRootGroup();

  levelChanged = 0;
  playerPos = {0.0f, -1.0f, 0.0f};  // the eye is 1 above: at the origin
  viewangle = updownangle = zangle = 0.0f;
  backCol = {0.0f, 0.0f, 0.0f};
  fogColor[0] = fogColor[1] = fogColor[2] = 0.5f;
  fogColor[3] = 0.0f;
  doFog = 0;
  gFogStart = 0.0f;
  gFogEnd = 200.0f;
  tintColor = {1.0f, 1.0f, 1.0f};
  baseCol1 = baseCol2 = baseCol3 = 1.0f;
  gAlpha = 1.0f;
  gWireMesh = 0;
  gIsometricView = 0;
  gIsoSizes[0] = gIsoSizes[2] = -10.0f;
  gIsoSizes[1] = gIsoSizes[3] = 10.0f;
  ResetLightPositions();
  selectionType = 0;
}

Scene::~Scene() {
  FreeObjects();
  FreeLevelGeometry();
  ShrinkToDefaultMaterialAndBone();
  gTail = nullptr;
}

level_triangle* AddTriangle(vector_type a, vector_type b, vector_type c, int material) {
  SyncLevelTriangleList();  // appending to the list changes it
  level_triangle* t = NewLevelTriangle();
  t->vertexPtrs[0] = NewVertex(a);
  t->vertexPtrs[1] = NewVertex(b);
  t->vertexPtrs[2] = NewVertex(c);
  t->normal = GetNormalOfTrig(a, b, c);
  t->meshworkMaterial = material;
  t->visible = 1;
  level_triangle* last = gTail ? gTail : &baseLT;
  while (last->next) last = last->next;
  last->next = t;
  gTail = t;
  return t;
}

void AddSquareFacingPlusZ(float cx, float cy, float z, float side, int material) {
  float h = side / 2;
  AddTriangle({cx - h, cy - h, z}, {cx + h, cy - h, z}, {cx + h, cy + h, z}, material);
  AddTriangle({cx - h, cy - h, z}, {cx + h, cy + h, z}, {cx - h, cy + h, z}, material);
}

void AddSquareFacingMinusZ(float cx, float cy, float z, float side, int material) {
  float h = side / 2;
  AddTriangle({cx - h, cy - h, z}, {cx + h, cy + h, z}, {cx + h, cy - h, z}, material);
  AddTriangle({cx - h, cy - h, z}, {cx - h, cy + h, z}, {cx + h, cy + h, z}, material);
}

void FinishLevel() {
  gTail = nullptr;
  GenerateLevelFromMesh();
}

std::string SquareModelText(float side, const std::string& settings) {
  const float h = side / 2 * 660.0f;  // file units
  int settingLines = 0;
  for (char c : settings)
    if (c == '\n') settingLines++;
  char vertices[512];
  std::snprintf(vertices, sizeof vertices, "%f,%f,0.0,0\n%f,%f,0.0,0\n%f,%f,0.0,0\n%f,%f,0.0,0\n", -h, -h, h, -h,
                h, h, -h, h);
  std::string text = "Zyntrel Mdl\n0\n#Author: \n#Date: \n#Notes: \n#PNG: 0\n\n#Bones:\n0\n#Vertices:\n4\n";
  text += vertices;
  text += "#Edges:\n0\n#Materials:\n1\nsquare\n" + std::to_string(settingLines) + "\n" + settings;
  text += "2\n0,1,2,0,0,1,0,1,1\n0,2,3,0,0,1,1,0,1\n#Animations\n0\n";
  return text;
}

human_being* AddObject(const std::string& modelText, vector_type pos) {
  human_being* h = static_cast<human_being*>(std::calloc(1, sizeof(human_being)));
  h->mdl = NewZyntrelMdl();
  h->mdl->parent = h;
  if (!Load_Zyntrel_MdlFromMemory(reinterpret_cast<const unsigned char*>(modelText.data()), modelText.size(),
                                  "Models/square.mdl", h->mdl)) {
    std::free(h->mdl);
    std::free(h);
    return nullptr;
  }
  h->xpos = pos.x;
  h->ypos = pos.y;
  h->zpos = pos.z;
  h->weight = 1.0f;
  h->enabled = 1;
  human_being* last = baseHuman;
  while (last->next) last = last->next;
  last->next = h;
  return h;
}

Pixel ReadPixel(int x, int y) {
  unsigned char rgba[4] = {0, 0, 0, 0};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

Pixel Centre() { return ReadPixel(kSize / 2, kSize / 2); }

void SavePicture(const std::string& path) {
  std::vector<unsigned char> rgba(4 * kSize * kSize);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  std::vector<unsigned char> png = EncodeScreenshotPNG(rgba.data(), kSize, kSize, 0);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(png.data(), 1, png.size(), f);
  std::fclose(f);
}

}  // namespace ft
