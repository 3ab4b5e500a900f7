// Screenshots: one frame (or jittered passes averaged in the accumulation buffer) read back
// and written as a PNG: signature, IHDR, one zlib-compressed IDAT and IEND, each with its CRC.
#include "render/screenshot.h"

#include <GL/gl.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>

#include "render/frame.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "shell/window.h"

uint32_t crc_table[256];
int crc_table_computed = 0;

namespace {

struct JitterPoint {
  float x, y;
};

const JitterPoint kJitter2[] = {{-0.3f, -0.3f}, {0.3f, 0.3f}};
const JitterPoint kJitter4[] = {{0.375f, 0.25f}, {0.125f, 0.75f}, {0.875f, 0.25f}, {0.625f, 0.75f}};
const JitterPoint kJitter8[] = {{-0.334818f, 0.435331f}, {0.286438f, -0.393495f}, {0.459462f, 0.141540f},
                                {-0.414498f, -0.192829f}, {-0.183790f, 0.082102f}, {-0.079263f, -0.317383f},
                                {0.102254f, 0.299133f},   {0.164216f, -0.054399f}};
const JitterPoint kJitter15[] = {{0.285561f, 0.188437f},   {0.248425f, -0.065688f}, {-0.136149f, 0.275019f},
                                 {0.138721f, -0.215197f},  {0.384120f, -0.470965f}, {-0.454968f, 0.409168f},
                                 {0.179271f, 0.458500f},   {-0.307049f, 0.134088f}, {-0.364927f, -0.331196f},
                                 {0.105354f, -0.364927f},  {-0.154180f, -0.010099f}, {-0.370135f, 0.021794f},
                                 {0.451636f, -0.116425f},  {-0.370610f, -0.300013f}, {0.0f, 0.387504f}};
const JitterPoint kJitter16[] = {{0.375f, 0.4375f}, {0.625f, 0.0625f}, {0.875f, 0.1875f}, {0.125f, 0.0625f},
                                 {0.375f, 0.6875f}, {0.875f, 0.4375f}, {0.625f, 0.5625f}, {0.375f, 0.9375f},
                                 {0.625f, 0.3125f}, {0.125f, 0.5625f}, {0.125f, 0.8125f}, {0.375f, 0.1875f},
                                 {0.875f, 0.9375f}, {0.875f, 0.6875f}, {0.125f, 0.3125f}, {0.625f, 0.8125f}};

// The jitter table for a pass count: the largest table not above it (none below 2).
const JitterPoint* JitterTable(int passes, int* count) {
  if (passes >= 16) { *count = 16; return kJitter16; }
  if (passes >= 15) { *count = 15; return kJitter15; }
  if (passes >= 8) { *count = 8; return kJitter8; }
  if (passes >= 4) { *count = 4; return kJitter4; }
  if (passes >= 2) { *count = 2; return kJitter2; }
  *count = 0;
  return nullptr;
}

void PutBigEndian(std::vector<unsigned char>* out, uint32_t value) {
  out->push_back(static_cast<unsigned char>(value >> 24));
  out->push_back(static_cast<unsigned char>(value >> 16));
  out->push_back(static_cast<unsigned char>(value >> 8));
  out->push_back(static_cast<unsigned char>(value));
}

// Appends length, type, data and the CRC of type plus data.
void PutChunk(std::vector<unsigned char>* out, const char type[4], const unsigned char* data, size_t length) {
  PutBigEndian(out, static_cast<uint32_t>(length));
  size_t typeStart = out->size();
  out->insert(out->end(), type, type + 4);
  if (length) out->insert(out->end(), data, data + length);
  PutBigEndian(out, crc(out->data() + typeStart, static_cast<int>(length + 4)));
}

// The buffer GL draws into (and where the accumulation returns its sum): the back buffer
// of a double-buffered context, the only buffer of a single-buffered one (OSMesa). A frame
// the frame drawer has presented is read from the front buffer.
GLenum DrawingBuffer() {
  GLboolean doubleBuffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  return doubleBuffered ? GL_BACK : GL_FRONT;
}

void DrawJitteredPasses(int passes) {
  int count = 0;
  const JitterPoint* jitter = JitterTable(passes, &count);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  double aspect = viewport[3] > 0 ? static_cast<double>(viewport[2]) / viewport[3] : 1.0;
  glReadBuffer(GL_FRONT);
  glClear(GL_ACCUM_BUFFER_BIT);
  for (int i = 0; i < count; i++) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    accPerspective(gFOV, aspect, 0.05, 1000.0, jitter[i].x, jitter[i].y, 0.0, 0.0, 1.0);
    DrawGLScene();
    glAccum(GL_ACCUM, 1.0f / count);
  }
  glAccum(GL_RETURN, 1.0f);
  glFlush();
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(Matrix_3D);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace

void make_crc_table() {
  for (uint32_t n = 0; n < 256; n++) {
    uint32_t c = n;
    for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    crc_table[n] = c;
  }
  crc_table_computed = 1;
}

uint32_t update_crc(uint32_t crcValue, const unsigned char* buf, int len) {
  if (!crc_table_computed) make_crc_table();
  for (int n = 0; n < len; n++) crcValue = crc_table[(crcValue ^ buf[n]) & 0xFF] ^ (crcValue >> 8);
  return crcValue;
}

uint32_t crc(const unsigned char* buf, int len) { return update_crc(0xFFFFFFFFu, buf, len) ^ 0xFFFFFFFFu; }

void accFrustum(double left, double right, double bottom, double top, double near2, double far2, double pixdx,
                double pixdy, double eyedx, double eyedy, double focus) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  double xwsize = right - left;
  double ywsize = top - bottom;
  double vw = viewport[2] > 0 ? viewport[2] : 1;
  double vh = viewport[3] > 0 ? viewport[3] : 1;
  double dx = -(pixdx * xwsize / vw + eyedx * near2 / focus);
  double dy = -(pixdy * ywsize / vh + eyedy * near2 / focus);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(left + dx, right + dx, bottom + dy, top + dy, near2, far2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(static_cast<float>(-eyedx), static_cast<float>(-eyedy), 0.0f);
}

void accPerspective(double fovy, double aspect, double near2, double far2, double pixdx, double pixdy,
                    double eyedx, double eyedy, double focus) {
  double half = fovy * 3.14159265358979323846 / 180.0 / 2.0;
  double top = near2 / (std::cos(half) / std::sin(half));
  double bottom = -top;
  double right = top * aspect;
  double left = -right;
  accFrustum(left, right, bottom, top, near2, far2, pixdx, pixdy, eyedx, eyedy, focus);
}

std::vector<unsigned char> EncodeScreenshotPNG(const unsigned char* rgbaBottomUp, int width, int height,
                                               int alphaChannel) {
  const int channels = alphaChannel ? 4 : 3;
  const size_t rowBytes = 1 + static_cast<size_t>(channels) * width;
  std::vector<unsigned char> raw(rowBytes * height);
  for (int row = 0; row < height; row++) {
    const unsigned char* source = rgbaBottomUp + static_cast<size_t>(height - 1 - row) * width * 4;
    unsigned char* out = raw.data() + rowBytes * row;
    *out++ = 0;
    for (int x = 0; x < width; x++) {
      for (int c = 0; c < channels; c++) *out++ = source[4 * x + c];
    }
  }

  std::vector<unsigned char> file = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<unsigned char> header;
  PutBigEndian(&header, static_cast<uint32_t>(width));
  PutBigEndian(&header, static_cast<uint32_t>(height));
  header.push_back(8);
  header.push_back(alphaChannel ? 6 : 2);
  header.push_back(0);
  header.push_back(0);
  header.push_back(0);
  PutChunk(&file, "IHDR", header.data(), header.size());

  // Twice the raw size, but never less than zlib's bound (tiny images need more).
  uLongf compressedSize = raw.size() * 2;
  if (compressedSize < compressBound(raw.size())) compressedSize = compressBound(raw.size());
  std::vector<unsigned char> compressed(compressedSize);
  if (compress(compressed.data(), &compressedSize, raw.data(), raw.size()) != Z_OK) return {};
  PutChunk(&file, "IDAT", compressed.data(), compressedSize);
  PutChunk(&file, "IEND", nullptr, 0);
  return file;
}

int SaveScreenshotToPNG(const char* fullPath, int alphaChannel, int supersamplingAA, int numFSAA) {
  int width = screenRect.right - screenRect.left;
  int height = screenRect.bottom - screenRect.top;
  if (width <= 0 || height <= 0) {
    OutputToConsoleF("// Cannot save a screenshot of an empty screen.\n");
    return 0;
  }
  if (supersamplingAA && numFSAA < 2) numFSAA = 16;

  GLint accumBits = 0;
  glGetIntegerv(GL_ACCUM_RED_BITS, &accumBits);
  bool jittered = numFSAA >= 2 && accumBits > 0;
  if (numFSAA >= 2 && accumBits == 0)
    OutputToConsoleF("// No accumulation buffer: the screenshot is taken without antialiasing.\n");

  GLint savedReadBuffer = GL_BACK;
  glGetIntegerv(GL_READ_BUFFER, &savedReadBuffer);
  if (jittered) {
    DrawJitteredPasses(numFSAA);
    glReadBuffer(DrawingBuffer());
  } else {
    DrawGLScene();
    glReadBuffer(GL_FRONT);
  }

  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glReadBuffer(static_cast<GLenum>(savedReadBuffer));

  std::vector<unsigned char> file = EncodeScreenshotPNG(pixels.data(), width, height, alphaChannel);
  FILE* out = file.empty() ? nullptr : OpenGameFileForWriting(fullPath, "wb");
  if (!out) {
    OutputToConsoleF("// Could not write the screenshot %s\n", fullPath);
    return 0;
  }
  bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  written = std::fclose(out) == 0 && written;
  if (!written) {
    OutputToConsoleF("// Could not write the screenshot %s\n", fullPath);
    return 0;
  }
  return 1;
}
