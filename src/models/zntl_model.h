// The engine's own skinned model file ("Zyntrel Mdl"): loading it into a zntlmdl, releasing
// it, and the model's rest bounds and the collision faces of its world box.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "models/model_types.h"

// A zeroed model record (released by Dispose_Zyntrel_Mdl, or with free when never loaded).
zntlmdl* NewZyntrelMdl();

// What a model file is read for. An object's model reports the header's author, date and
// notes (once per file) and reads the animations; level geometry reports nothing and leaves
// the animation section unread, so a damaged one costs nothing.
enum ZntlModelUse { kZntlObjectModel, kZntlLevelGeometry };

// A material's "texture=" line as the loader met it: the material, the texture file named
// and the texture name the load gave (0 when it failed).
struct ModelTextureLine {
  uint32_t material;
  std::string file;
  unsigned int texture;
};

// The bytes of a model file: 1 when read; 0 when it cannot be opened or is too large (that
// one is reported with a "//" console line).
int ReadModelFile(const char* path, std::vector<unsigned char>* bytes);

// Reads the file at `path` into the fresh record `mdl` (whose parent the caller has set).
// Returns 1 when the model was read; 0 when the file cannot be opened, is not a model file or
// is malformed (reported with a "//" console line); on 0 nothing stays allocated in `mdl`.
int Load_Zyntrel_Mdl(const char* path, zntlmdl* mdl, ZntlModelUse use = kZntlObjectModel);
// The same from a file's bytes; `path` names the model (signature and directory).
// `textures`, when given, receives every texture line of the materials in file order.
int Load_Zyntrel_MdlFromMemory(const unsigned char* data, size_t size, const char* path, zntlmdl* mdl,
                               ZntlModelUse use = kZntlObjectModel,
                               std::vector<ModelTextureLine>* textures = nullptr);

// A copy of a model as the loader left it (its vertex chain in file order), in one
// allocation: the record, every array, and the vertex, edge, triangle and seam records, each
// chain's records in chain order. Links point inside the copy; the parent is null. Null when
// out of memory or when the model's vertex chain is not in file order.
zntlmdl* CopyZyntrelMdl(const zntlmdl* source);

// Releases everything the loader or the copy allocated, then the record itself.
void Dispose_Zyntrel_Mdl(zntlmdl* mdl);

// The 8 corners of the box from m to M in the engine's corner order.
void SetBoxCorners(vector_type* corners, vector_type m, vector_type M);

void RecalculateModelBounds(zntlmdl* mdl);
void ModelBoxToCollisionPlanes2(zntlmdl* mdl);
