// The append step every level-geometry reader ends with, and the folder, texture and file
// helpers the readers share.
#include "models/import_common.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include <sys/stat.h>

#include "models/materials.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "world/level_mesh.h"

ImportTriangle DefaultImportTriangle(uint32_t a, uint32_t b, uint32_t c) {
  ImportTriangle t{};
  t.corner[0] = a;
  t.corner[1] = b;
  t.corner[2] = c;
  t.smooth = gDefaultSmooth;
  t.transparent = gDefaultTransparent;
  t.invisible = gDefaultInvisible;
  return t;
}

size_t AppendImportToLevelNoRebuild(const ImportMesh& mesh, std::vector<mesh_vert*>* newVertices) {
  const size_t n = mesh.positions.size();
  SyncLevelTriangleList();

  mesh_vert* lastOld = &baseMeshVert;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    v->selected = 0;
    lastOld = v;
  }

  // The level's vertices are numbered 0..n-1 in list order: the existing ones now, and each
  // new one, made after them, takes the next number as it is made (the new ones are not walked
  // again).
  NumberLevelVertices();
  std::vector<mesh_vert*> verts(n);
  mesh_vert* tail = lastOld;
  for (size_t i = 0; i < n; i++) {
    mesh_vert* v = NewEmptyMeshVert(FinitePosition(mesh.positions[i]));
    v->selected = 1;
    verts[i] = v;
    tail->next = v;
    tail = v;
  }
  tail->next = nullptr;
  meshVertPtr = tail;

  level_triangle* lastT = &baseLT;
  while (lastT->next) lastT = lastT->next;
  mesh_edge* lastE = &baseEdge;
  while (lastE->next) lastE = lastE->next;

  size_t added = 0;
  for (const ImportTriangle& it : mesh.triangles) {
    if (it.corner[0] >= n || it.corner[1] >= n || it.corner[2] >= n) continue;
    level_triangle* t = NewLevelTriangle();
    for (int k = 0; k < 3; k++) {
      t->vertexPtrs[k] = verts[it.corner[k]];
      t->u[k] = it.u[k];
      t->v[k] = it.v[k];
    }
    t->normal = GetNormalOfTrig(t->vertexPtrs[0]->pos, t->vertexPtrs[1]->pos, t->vertexPtrs[2]->pos);
    t->theTexture = it.theTexture;
    t->meshworkMaterial = it.meshworkMaterial;
    t->numConnects = it.numConnects;
    t->visible = 1;
    t->invisible = it.invisible;
    t->transparent = it.transparent;
    t->smooth = it.smooth;
    t->thePlane = nullptr;
    t->shadowPolys = nullptr;
    lastT->next = t;
    lastT = t;
    added++;
    if (mesh.triangleEdges) {
      mesh_edge* e1 = NewMeshEdge(t->vertexPtrs[0], t->vertexPtrs[1]);
      mesh_edge* e2 = NewMeshEdge(t->vertexPtrs[1], t->vertexPtrs[2]);
      mesh_edge* e3 = NewMeshEdge(t->vertexPtrs[0], t->vertexPtrs[2]);
      lastE->next = e1;
      e1->next = e2;
      e2->next = e3;
      lastE = e3;
    }
  }
  for (const ImportEdge& ie : mesh.edges) {
    if (ie.a >= n || ie.b >= n) continue;
    mesh_edge* e = NewMeshEdge(verts[ie.a], verts[ie.b]);
    lastE->next = e;
    lastE = e;
  }
  lastT->next = nullptr;
  lastE->next = nullptr;
  trigPtr = lastT;
  edgePtr = lastE;
  if (newVertices) *newVertices = std::move(verts);
  return added;
}

size_t AppendImportToLevel(const ImportMesh& mesh) {
  size_t added = AppendImportToLevelNoRebuild(mesh);
  MarkLevelChanged();
  return added;
}

vector_type FinitePosition(vector_type p) {
  if (!std::isfinite(p.x)) p.x = 0.0f;
  if (!std::isfinite(p.y)) p.y = 0.0f;
  if (!std::isfinite(p.z)) p.z = 0.0f;
  return p;
}

int ImportPathInGameFolder(const char* path) {
  size_t length = std::strlen(routePath);
  if (std::strncmp(path, routePath, length) == 0) return 1;
  OutputToDialog("The model file has to be in the Zyntrel folder or sub-folders of the Zyntrel folder.");
  return 0;
}

uint32_t ImportTextureFromPath(const char* fullPath) {
  size_t length = std::strlen(routePath);
  const char* relative = fullPath;
  if (std::strncmp(fullPath, routePath, length) == 0) relative = fullPath + length;
  return LoadTextureAsLoadtex(relative);
}

int LevelMaterialForTexture(const char* name, uint32_t texture, const char* textureFile) {
  if (texture == 0) return 0;
  for (uint32_t i = 0; i < gNumMaterials; i++) {
    if (gMaterials[i].materialTexture == texture && std::strcmp(gMaterials[i].name, name) == 0)
      return static_cast<int>(i);
  }
  uint32_t before = gNumMaterials;
  MeshEditorAddMaterial(name);
  if (gNumMaterials == before) return 0;
  zntlmtrl* m = &gMaterials[gNumMaterials - 1];
  ZNK_CopyString(m->fileName, textureFile, sizeof m->fileName);
  m->materialTexture = texture;
  m->mapType = 1;
  return static_cast<int>(gNumMaterials - 1);
}

bool ReadWholeImportFile(const char* path, std::vector<unsigned char>* data, size_t limit, bool* tooLarge) {
  data->clear();
  if (tooLarge) *tooLarge = false;
  FILE* file = OpenGameFile(path);
  if (!file) return false;
  // A regular file's size is known: room for all of it at once, instead of growing the buffer
  // chunk by chunk (the read below still stops at the limit and at the true end).
  struct stat info;
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      static_cast<unsigned long long>(info.st_size) <= limit)
    data->reserve(static_cast<size_t>(info.st_size));
  bool ok = true;
  unsigned char chunk[65536];
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file);
    if (got == 0) break;
    if (data->size() + got > limit) {
      ok = false;
      if (tooLarge) *tooLarge = true;
      break;
    }
    data->insert(data->end(), chunk, chunk + got);
  }
  std::fclose(file);
  if (!ok) data->clear();
  return ok;
}

std::string FolderOfPath(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (!slash) return std::string();
  return std::string(path, static_cast<size_t>(slash - path) + 1);
}
