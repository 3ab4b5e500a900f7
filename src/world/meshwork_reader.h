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

// Who reads a Meshwork file decides how its textures are found. The level reader takes a
// material's texture from the file's path + m + ".png" through the texture cache and loads
// "FILES" textures as the "loadtex" command does (a missing one is reported); the model
// precache tries path + m + ".png", then ".bmp", each as a texture of the model's own, and
// loads "FILES" textures into the cache without a report.
enum MeshworkReader { kMeshworkLevel, kMeshworkModel };

// 1 when the file's first eight bytes are "Mesh\t1\t1".
int ConfirmMeshworkFileWithHeader(const char* fileName);

// Parses Meshwork text (its header included), loading its textures as `reader` does.
void ParseMeshwork(const char* data, size_t size, float modelImportFactor, const char* path, MeshworkReader reader,
                   MeshworkFile* out);

void LoadTrianglesFromMeshworkModel(const char* fileName, float modelImportFactor, int clearAll);
// The same for a file's bytes already in memory (header already confirmed).
void LoadTrianglesFromMeshworkMemory(const char* data, size_t size, const char* fileName, float modelImportFactor,
                                     int clearAll);
