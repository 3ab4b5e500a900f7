// Lightwave object files (IFF "FORM" ... "LWO2", and the older LWOB polygon layout) as level
// geometry: one level material per surface, texture coordinates from planar or cubic
// projection or from UV maps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "objects/vector_math.h"

// Per-polygon overrides of a UV map.
struct LWOVMAD {
  std::string signature;
  size_t numEntries = 0;
  std::vector<int> t;  // polygon number per entry
  std::vector<uint32_t> i;  // vertex number per entry
  std::vector<float> u, v;
};

// One UV map: its entries in file order (vertex number, u, v); `at` finds a vertex's entry
// (the last one written for it), so a map costs what its entries cost.
struct LWOVMAP {
  std::string signature;
  std::vector<uint32_t> i;
  std::vector<float> u, v;
  std::unordered_map<uint32_t, size_t> at;
  int index = 0;
  LWOVMAD vmad;

  bool has(uint32_t vertex, float* uOut, float* vOut) const {
    auto found = at.find(vertex);
    if (found == at.end()) return false;
    *uOut = u[found->second];
    *vOut = v[found->second];
    return true;
  }
};

struct LWOTAG {
  std::string str;
};

int LWOIsChunk(const char* id);

void ImportLightwaveModel(const char* fileName, float scaleFactor);
void ImportLightwaveFromMemory(const unsigned char* data, size_t size, const char* fileName, float scaleFactor);
