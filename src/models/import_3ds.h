// 3D Studio (3DS) chunk files as level geometry.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "models/import_common.h"

// One object of the file, and the materials it names.
struct Import3DSObject {
  ImportMesh mesh;
  std::vector<std::string> faceMaterial;  // per triangle: its material name, or empty
};
struct Import3DSMaterial {
  std::string name;
  std::string textureFile;  // the 0xA300 map name, as written
};
struct Import3DSFile {
  std::vector<Import3DSObject> objects;
  std::vector<Import3DSMaterial> materials;
};

// Parses the chunks; returns 0 when the first chunk is not the main chunk 0x4D4D. A chunk that
// lies about its length is read only as far as the file and its parent chunk go.
int Parse3DS(const unsigned char* data, size_t size, float scaleFactor, Import3DSFile* out);

void ImportMeshFrom3DS(const char* fileName, float scaleFactor);
void ImportMeshFrom3DSMemory(const unsigned char* data, size_t size, const char* fileName, float scaleFactor);
