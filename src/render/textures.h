// The texture cache: PNG textures and texture animations.
#pragma once

void InitTextureCache();
