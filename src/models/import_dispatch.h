// The import dispatch: looks at a model file's first bytes (and, for OBJ, its name) and hands
// it to the reader of its format, which adds its geometry to the level.
#pragma once

// `gameName` is the file's name as the game gives it ("\" and any case allowed).
void ImportModelWithAutoDetect(const char* gameName, float scaleFactor);
