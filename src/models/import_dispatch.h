// The import dispatch: looks at a model file's first bytes (and, for OBJ, its name) and hands
// it to the reader of its format, which adds its geometry to the level.
#pragma once

void ImportModelWithAutoDetect(const char* fileName, float scaleFactor);
