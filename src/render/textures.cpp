// Texture cache.
#include "render/textures.h"

void InitTextureCache() {}
