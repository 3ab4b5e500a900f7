// Lightwave object files (IFF "FORM" ... "LWO2", and the older LWOB polygon layout) as level
// geometry: one level material per surface, texture coordinates from planar or cubic
// projection or from UV maps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
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

// One UV map: values per vertex number (b = 1 where the map has one).
struct LWOVMAP {
  std::string signature;
  std::vector<uint32_t> i;
  std::vector<float> u, v;
  std::vector<int> b;
  int index = 0;
  LWOVMAD vmad;
};

struct LWOTAG {
  std::string str;
};

int LWOIsChunk(const char* id);

void ImportLightwaveModel(const char* fileName, float scaleFactor);
void ImportLightwaveFromMemory(const unsigned char* data, size_t size, const char* fileName, float scaleFactor);
