// The texture cache: PNG files decoded with libpng and uploaded as mipmapped GL textures,
// found again by name, and the 16 texture-animation slots loaded from frame folders.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One cached still texture; the list starts at the `next` of the head `baseTexture`.
struct textureFile {
  uint32_t theTexture;
  char fileName[1024];  // path relative to the game folder
  textureFile* next;
};

extern textureFile baseTexture;
extern textureFile* texturePtr;

constexpr int kMaxAnimationFrames = 32;
constexpr int kNumTextureAnimations = 16;

struct animatedTexture {
  uint32_t textures[kMaxAnimationFrames];  // GL names of the frames, frame 1 first
  int32_t sampleRate;                      // milliseconds per frame
  uint32_t duration;                       // sampleRate * the frame count as declared
  int numFrames;                           // 1 to 32
  int isAnim;                              // 1 once frames are loaded
};

extern animatedTexture gTextureAnimations[kNumTextureAnimations];

// Set by every texture load; Meshwork readers then flip texture v to 1 - v.
extern int gSwapTextureV;

// A decoded image: 8-bit samples, RGB (3 channels) or RGBA (4), top row first.
struct PNGImage {
  int width = 0;
  int height = 0;
  int channels = 0;
  bool hasAlpha = false;
  std::vector<unsigned char> pixels;
};

// Decodes any PNG colour type and bit depth into 8-bit RGB or RGBA. On a malformed or
// oversized file returns false and leaves the reason in `error` (if given).
bool DecodePNGMemory(const unsigned char* data, size_t size, PNGImage* image, const char** error);
bool DecodePNGFile(const char* path, PNGImage* image, const char** error);

void InitTextureCache();

// Creates one texture from a PNG file into *theTexture: 0 when no file exists there (no
// name created), else 1, also when the file cannot be decoded (an empty texture, silently).
int LoadTextureWithLibPNG(const char* path, unsigned int* theTexture);

// The texture of the cache entry of the file that `fileName` names (in any spelling the
// game paths resolve), or 0.
unsigned int GetTextureByName(const char* fileName);

// Adds the texture at routePath + `name` to the cache unless an entry for that file exists;
// entries are named by the file's path as found on disk.
// Returns the entry, or null when no file exists there (the caller reports the failure).
textureFile* AddTextureToCache(const char* name);

// Loads the texture routePath + `name` into the cache the way the "loadtex" command does and
// returns its GL name. When no file exists there it writes "// Load failed: " and the path,
// appended to the echo text when one is given, else as a console line, and returns 0. Every
// texture named by a script or a model or level file is loaded through here.
unsigned int LoadTextureAsLoadtex(const char* name, char* echo = nullptr);

// Loads the frames of the folder `path` (no trailing separator) into the slot; always 1.
int LoadAnimationFromFolder(const char* path, animatedTexture* theAnimation);

// The world reset: deletes every cached texture and empties the cache; and the frames of
// every animation slot.
void FreeTextureCache();
void FreeTextureAnimations();
