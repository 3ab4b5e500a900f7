// The engine's own skinned model file ("Zyntrel Mdl"): loading it into a zntlmdl, releasing
// it, and the model's rest bounds and the collision faces of its world box.
#pragma once
#include <cstddef>

#include "models/model_types.h"

// A zeroed model record (released by Dispose_Zyntrel_Mdl, or with free when never loaded).
zntlmdl* NewZyntrelMdl();

// What a model file is read for. An object's model reports the header's author, date and
// notes (once per file) and reads the animations; level geometry reports nothing and leaves
// the animation section unread, so a damaged one costs nothing.
enum ZntlModelUse { kZntlObjectModel, kZntlLevelGeometry };

// Reads the file at `path` into the fresh record `mdl` (whose parent the caller has set).
// Returns 1 when the model was read; 0 when the file cannot be opened, is not a model file or
// is malformed (reported with a "//" console line); on 0 nothing stays allocated in `mdl`.
int Load_Zyntrel_Mdl(const char* path, zntlmdl* mdl, ZntlModelUse use = kZntlObjectModel);
// The same from a file's bytes; `path` names the model (signature and directory).
int Load_Zyntrel_MdlFromMemory(const unsigned char* data, size_t size, const char* path, zntlmdl* mdl,
                               ZntlModelUse use = kZntlObjectModel);

// Releases everything the loader allocated, then the record itself.
void Dispose_Zyntrel_Mdl(zntlmdl* mdl);

// The 8 corners of the box from m to M in the engine's corner order.
void SetBoxCorners(vector_type* corners, vector_type m, vector_type M);

void RecalculateModelBounds(zntlmdl* mdl);
void ModelBoxToCollisionPlanes2(zntlmdl* mdl);
