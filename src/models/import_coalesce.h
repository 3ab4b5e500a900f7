// Coalesce text model files ("Coalesce" first line) as level geometry.
#pragma once
#include <cstddef>

#include "models/import_common.h"

// Parses the text into `mesh` (vertex numbers as in the file; each triangle's meshworkMaterial
// holds its texture number). Returns 0 when the first line is not "Coalesce".
int ParseCoalesce(const char* data, size_t size, float scaleFactor, ImportMesh* mesh);

void ImportCoalesceModel(const char* fileName, float scaleFactor);
void ImportCoalesceFromMemory(const char* data, size_t size, const char* fileName, float scaleFactor);
