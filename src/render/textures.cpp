// The texture cache and texture animations: PNG decoding with libpng (every colour type
// and bit depth normalised to 8-bit RGB or RGBA), upload with mipmaps, lookup by name,
// numbered animation frames from a folder, and freeing it all at the world reset.
#include "render/textures.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands/echo.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"

textureFile baseTexture = {0, "", nullptr};
textureFile* texturePtr = &baseTexture;
animatedTexture gTextureAnimations[kNumTextureAnimations];
int gSwapTextureV = 0;

namespace {

// Larger images are refused before any pixel memory is allocated.
constexpr png_uint_32 kMaxImageSide = 8192;

// Where libpng reads from: a block of memory.
struct PNGSource {
  const unsigned char* data;
  size_t size;
  size_t offset;
};

// Everything the decoder allocates lives here, outside the setjmp frame, so a longjmp
// out of libpng never skips a destructor; the caller frees it.
struct PNGDecodeState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  unsigned char* pixels = nullptr;
  png_bytep* rows = nullptr;
  int width = 0, height = 0, channels = 0;
  bool hasAlpha = false;
  char message[128] = "";
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t length) {
  PNGSource* source = static_cast<PNGSource*>(png_get_io_ptr(png));
  if (length > source->size - source->offset) png_error(png, "file ends early");
  std::memcpy(out, source->data + source->offset, length);
  source->offset += length;
}

void OnPNGError(png_structp png, png_const_charp message) {
  PNGDecodeState* state = static_cast<PNGDecodeState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message ? message : "decoding error");
  png_longjmp(png, 1);
}

void OnPNGWarning(png_structp, png_const_charp) {}

// Only plain data in this frame: libpng's errors longjmp back to the setjmp below.
bool RunDecoder(PNGDecodeState* state, PNGSource* source) {
  state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, OnPNGError, OnPNGWarning);
  if (!state->png) return false;
  state->info = png_create_info_struct(state->png);
  if (!state->info) return false;
  if (setjmp(png_jmpbuf(state->png))) return false;

  png_set_user_limits(state->png, kMaxImageSide, kMaxImageSide);
  png_set_chunk_malloc_max(state->png, 8u << 20);
  png_set_read_fn(state->png, source, ReadFromSource);
  png_read_info(state->png, state->info);

  png_uint_32 width = png_get_image_width(state->png, state->info);
  png_uint_32 height = png_get_image_height(state->png, state->info);
  int colorType = png_get_color_type(state->png, state->info);
  int bitDepth = png_get_bit_depth(state->png, state->info);
  bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(state->png, state->info, PNG_INFO_tRNS);

  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(state->png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(state->png);
  if (png_get_valid(state->png, state->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(state->png);
  if (bitDepth == 16) png_set_strip_16(state->png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(state->png);
  png_set_interlace_handling(state->png);
  png_read_update_info(state->png, state->info);

  int channels = png_get_channels(state->png, state->info);
  if (png_get_bit_depth(state->png, state->info) != 8 || (channels != 3 && channels != 4) ||
      (channels == 4) != alpha) {
    std::snprintf(state->message, sizeof state->message, "unsupported sample layout");
    return false;
  }
  size_t rowBytes = png_get_rowbytes(state->png, state->info);
  if (rowBytes != static_cast<size_t>(width) * channels) {
    std::snprintf(state->message, sizeof state->message, "unexpected row size");
    return false;
  }
  state->pixels = static_cast<unsigned char*>(std::malloc(rowBytes * height));
  state->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!state->pixels || !state->rows) {
    std::snprintf(state->message, sizeof state->message, "out of memory");
    return false;
  }
  for (png_uint_32 y = 0; y < height; y++) state->rows[y] = state->pixels + rowBytes * y;
  png_read_image(state->png, state->rows);
  png_read_end(state->png, nullptr);

  state->width = static_cast<int>(width);
  state->height = static_cast<int>(height);
  state->channels = channels;
  state->hasAlpha = alpha;
  return true;
}

// Uploads an image into the bound texture with every mipmap level.
void UploadWithMipmaps(const PNGImage& image) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLenum format = image.channels == 4 ? GL_RGBA : GL_RGB;
  gluBuild2DMipmaps(GL_TEXTURE_2D, image.channels, image.width, image.height, format, GL_UNSIGNED_BYTE,
                    image.pixels.data());
}

void SetLinearFilters() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

// Decodes `path` and uploads it into the bound texture. A file that exists but cannot be
// decoded leaves the texture empty, silently: only a missing file counts as a load failure.
bool DecodeAndUpload(const char* path, PNGImage* image) {
  if (!DecodePNGFile(path, image, nullptr)) return false;
  UploadWithMipmaps(*image);
  return true;
}

// An alpha-less frame gets alpha = (red + green + blue) / 3, so dark pixels vanish.
void AlphaFromBrightness(PNGImage* image) {
  std::vector<unsigned char> rgba(static_cast<size_t>(image->width) * image->height * 4);
  const unsigned char* in = image->pixels.data();
  for (size_t i = 0, n = static_cast<size_t>(image->width) * image->height; i < n; i++) {
    rgba[4 * i] = in[3 * i];
    rgba[4 * i + 1] = in[3 * i + 1];
    rgba[4 * i + 2] = in[3 * i + 2];
    rgba[4 * i + 3] = static_cast<unsigned char>((in[3 * i] + in[3 * i + 1] + in[3 * i + 2]) / 3);
  }
  image->pixels.swap(rgba);
  image->channels = 4;
  image->hasAlpha = true;
}

void DeleteFrames(animatedTexture* animation) {
  int count = animation->numFrames;
  if (count > kMaxAnimationFrames) count = kMaxAnimationFrames;
  for (int i = 0; i < count; i++) {
    GLuint name = animation->textures[i];
    if (name != 0 && glIsTexture(name)) glDeleteTextures(1, &name);
    animation->textures[i] = 0;
  }
  animation->isAnim = 0;
}

}  // namespace

bool DecodePNGMemory(const unsigned char* data, size_t size, PNGImage* image, const char** error) {
  static char lastError[128];
  *image = PNGImage();
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
    if (error) *error = "not a PNG file";
    return false;
  }
  PNGSource source = {data, size, 0};
  PNGDecodeState state;
  bool ok = RunDecoder(&state, &source);
  if (ok) {
    image->width = state.width;
    image->height = state.height;
    image->channels = state.channels;
    image->hasAlpha = state.hasAlpha;
    image->pixels.assign(state.pixels, state.pixels + static_cast<size_t>(state.width) * state.height * state.channels);
  } else if (error) {
    std::snprintf(lastError, sizeof lastError, "%s", state.message[0] ? state.message : "decoding error");
    *error = lastError;
  }
  std::free(state.rows);
  std::free(state.pixels);
  png_destroy_read_struct(state.png ? &state.png : nullptr, state.info ? &state.info : nullptr, nullptr);
  return ok;
}

bool DecodePNGFile(const char* path, PNGImage* image, const char** error) {
  *image = PNGImage();
  FILE* file = OpenGameFile(path);
  if (!file) {
    if (error) *error = "cannot open the file";
    return false;
  }
  std::vector<unsigned char> data;
  unsigned char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) data.insert(data.end(), chunk, chunk + got);
  std::fclose(file);
  return DecodePNGMemory(data.data(), data.size(), image, error);
}

void InitTextureCache() {
  baseTexture.next = nullptr;
  baseTexture.theTexture = 0;
  baseTexture.fileName[0] = '\0';
  texturePtr = &baseTexture;
}

int LoadTextureWithLibPNG(const char* path, unsigned int* theTexture) {
  gSwapTextureV = 1;
  if (!ZNK_FileExists(path)) return 0;
  glEnable(GL_TEXTURE_2D);
  GLuint name = 0;
  glGenTextures(1, &name);
  *theTexture = name;
  glBindTexture(GL_TEXTURE_2D, name);
  SetLinearFilters();
  PNGImage image;
  DecodeAndUpload(path, &image);
  return 1;
}

// The name a texture is cached under: the file's path as found on disk, relative to the
// game folder, so every spelling of one file finds one entry.
namespace {
std::string TextureCacheName(const char* name) {
  std::string full = ResolveGamePath((std::string(routePath) + name).c_str());
  size_t skip = std::strlen(routePath);
  return full.compare(0, skip, routePath) == 0 ? full.substr(skip) : full;
}
}  // namespace

unsigned int GetTextureByName(const char* fileName) {
  std::string key = TextureCacheName(fileName);
  for (textureFile* entry = baseTexture.next; entry; entry = entry->next) {
    if (key == entry->fileName) return entry->theTexture;
  }
  return 0;
}

textureFile* AddTextureToCache(const char* name) {
  if (!name[0]) return nullptr;  // the game folder itself is no texture file
  char fullPath[2048];
  std::snprintf(fullPath, sizeof fullPath, "%s%s", routePath, name);
  if (!ZNK_FileExists(fullPath)) return nullptr;
  std::string key = TextureCacheName(name);
  textureFile* last = &baseTexture;
  for (textureFile* entry = baseTexture.next; entry; entry = entry->next) {
    if (key == entry->fileName) return entry;
    last = entry;
  }
  textureFile* entry = new textureFile();
  entry->theTexture = 0;
  entry->next = nullptr;
  ZNK_CopyString(entry->fileName, key.c_str(), sizeof entry->fileName);
  unsigned int texture = 0;
  LoadTextureWithLibPNG(fullPath, &texture);
  entry->theTexture = texture;
  last->next = entry;
  texturePtr = entry;
  return entry;
}

unsigned int LoadTextureAsLoadtex(const char* name, char* echo) {
  textureFile* entry = AddTextureToCache(name);
  if (entry) return entry->theTexture;
  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, name);
  if (echo)
    AppendEcho(echo, "// Load failed: %s", path);
  else
    OutputToConsoleF("// Load failed: %s\n", path);
  return 0;
}

int LoadAnimationFromFolder(const char* path, animatedTexture* theAnimation) {
  if (theAnimation->isAnim) DeleteFrames(theAnimation);
  long declaredFrames = 1;
  long rate = 100;
  char baseName[1024] = "";

  char infoPath[2048];
  std::snprintf(infoPath, sizeof infoPath, "%s%cinfo.txt", path, kDirectoryDevider);
  FILE* info = OpenGameFile(infoPath);
  if (info) {
    long count = 0, perFrame = 0;
    if (std::fscanf(info, "%ld\n", &count) == 1) {
      declaredFrames = count;
      if (std::fscanf(info, "%ld\n", &perFrame) == 1) rate = perFrame;
    }
    char line[1024];
    Read1Line(info, line);
    ZNK_CopyString(baseName, line, sizeof baseName);
    std::fclose(info);
  }
  // A frame count below 1 or a rate below 1 would make every user of the animation
  // divide by zero; they fall back to one frame and 100 ms.
  if (declaredFrames < 1) declaredFrames = 1;
  if (rate < 1 || rate > INT32_MAX) rate = 100;
  theAnimation->sampleRate = static_cast<int32_t>(rate);
  theAnimation->duration = static_cast<uint32_t>(rate) * static_cast<uint32_t>(declaredFrames);
  theAnimation->numFrames = declaredFrames > kMaxAnimationFrames ? kMaxAnimationFrames : static_cast<int>(declaredFrames);

  glEnable(GL_TEXTURE_2D);
  for (int i = 1; i <= theAnimation->numFrames; i++) {
    char framePath[4096];
    if (i < 10)
      std::snprintf(framePath, sizeof framePath, "%s%c%s 0%d.png", path, kDirectoryDevider, baseName, i);
    else
      std::snprintf(framePath, sizeof framePath, "%s%c%s %d.png", path, kDirectoryDevider, baseName, i);
    GLuint name = 0;
    glGenTextures(1, &name);
    theAnimation->textures[i - 1] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    if (!ZNK_FileExists(framePath)) continue;
    PNGImage image;
    if (!DecodePNGFile(framePath, &image, nullptr)) {
      SetLinearFilters();  // an undecodable frame stays an empty texture
      continue;
    }
    // Frames with their own alpha keep linear filters; frames given alpha from their
    // brightness keep GL's default (mipmapped) filters.
    if (image.hasAlpha)
      SetLinearFilters();
    else
      AlphaFromBrightness(&image);
    UploadWithMipmaps(image);
  }
  theAnimation->isAnim = 1;
  return 1;
}

void FreeTextureCache() {
  textureFile* entry = baseTexture.next;
  while (entry) {
    textureFile* next = entry->next;
    GLuint name = entry->theTexture;
    if (name != 0) glDeleteTextures(1, &name);
    delete entry;
    entry = next;
  }
  InitTextureCache();
}

void FreeTextureAnimations() {
  for (animatedTexture& animation : gTextureAnimations) {
    if (animation.isAnim) DeleteFrames(&animation);
    animation = animatedTexture();
  }
}
