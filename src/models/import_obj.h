// Wavefront OBJ with its MTL material files as level geometry: a fast in-memory parser into a
// reader-neutral form, and the reader the import dispatch calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "objects/vector_math.h"

struct ObjFace {
  int32_t v[3];   // 0-based vertex numbers (checked against the file's vertices later)
  int32_t vt[3];  // 0-based texture-coordinate numbers, -1 when the corner has none
  int32_t material;  // index into ObjFile::materialNames, -1 before any "usemtl"
};

struct ObjFile {
  std::vector<vector_type> positions;  // already divided by 660 and scaled
  std::vector<float> uvs;              // u, v per texture-coordinate pair, as written
  std::vector<ObjFace> faces;
  std::vector<std::string> materialNames;   // distinct "usemtl" names, first use first
  std::vector<std::string> materialFiles;   // every "mtllib" name in file order
  size_t badFaces = 0;                      // faces with fewer than three usable corners
};

struct ObjMaterial {
  std::string name;
  std::string texture;  // "map_Kd" file, "./" removed, relative to the OBJ's folder
};

// Parses OBJ text. Never fails: whatever cannot be read is left out.
void ParseOBJ(const char* data, size_t size, float scaleFactor, ObjFile* out);
// Parses MTL text, appending its materials.
void ParseMTL(const char* data, size_t size, std::vector<ObjMaterial>* out);

void ImportWavefrontOBJModel(const char* fileName, float scaleFactor);
// The same for a file's bytes already in memory (`fileName` names its folder and materials).
void ImportWavefrontOBJFromMemory(const char* data, size_t size, const char* fileName, float scaleFactor);
