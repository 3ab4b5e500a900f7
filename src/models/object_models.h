// Object models: every object gets its own copy of the model in its model file, in one
// allocation. The file is read at every make; when its bytes are those read from that path
// the time before, the model parsed then is copied instead of parsing the text again.
#pragma once

#include "models/model_types.h"

// The model of the file at `path` for a new object (its parent is left null), or null when
// the file cannot be read or is no model file (reported as the loader reports it).
zntlmdl* LoadObjectModel(const char* path);

// Forgets every model kept for copying (the full world reset).
void FlushObjectModels();
