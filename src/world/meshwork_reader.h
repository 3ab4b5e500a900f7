// Meshwork mesh files ("Mesh\t1\t1"): the text grammar read into a reader-neutral form (shared
// with the model precache) and the level reader that puts a file's mesh in front of the level.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "objects/vector_math.h"

constexpr int kMeshworkMaxMaterials = 8;

struct MeshworkVertex {
  long number;           // as written
  vector_type pos;       // divided by 660, times the import factor
  char bone1[5], bone2[5], bone3[5];  // empty when the line names none
  int weight;            // 100 when the line has none
  float u, v;
};

struct MeshworkMaterial {
  int smooth, mapType, reserved, mapAxis;
  float mapX, mapY, mapZ, mapX_Size, mapY_Size, mapZ_Size;
  int transparencyMode;
  uint32_t texture;
};

struct MeshworkTriangle {
  uint32_t corner[3];    // indices into MeshworkFile::vertices
  int material;
  float u[3], v[3];
  uint32_t theTexture;
  int numConnects;
  int transparent, smooth, invisible;
};

struct MeshworkFile {
  std::vector<MeshworkVertex> vertices;
  std::vector<uint32_t> edges;  // pairs of indices into vertices
  std::vector<MeshworkMaterial> materials;
  std::vector<MeshworkTriangle> triangles;
  bool znkTextures = false;     // the file has the engine's own "ZNK_TEXTURES" section
  bool uvFix = false;           // the file has a "UV_FIX" section after its texture files
};

// How a reader finds textures: the material texture of material m for the file at `path`
// (the level reader: path + m + ".png"), and a "FILES" texture by name.
struct MeshworkTextureHooks {
  uint32_t (*materialTexture)(const char* path, int m);
  uint32_t (*namedTexture)(const char* name);
};

// 1 when the file's first eight bytes are "Mesh\t1\t1".
int ConfirmMeshworkFileWithHeader(const char* fileName);

// Parses Meshwork text (its header included). Texture hooks may be null.
void ParseMeshwork(const char* data, size_t size, float modelImportFactor, const char* path,
                   const MeshworkTextureHooks* hooks, MeshworkFile* out);

void LoadTrianglesFromMeshworkModel(const char* fileName, float modelImportFactor, int clearAll);
// The same for a file's bytes already in memory (header already confirmed).
void LoadTrianglesFromMeshworkMemory(const char* data, size_t size, const char* fileName, float modelImportFactor,
                                     int clearAll);
