// Probes the pixels of a PNG picture for the end-to-end checks: sizes, single pixels, region
// means, counts of pixels near a colour and the box of pixels that stand out from a
// background. Coordinates run right and down from the picture's top-left corner as viewed;
// a box is X0 Y0 X1 Y1 with the ends exclusive, clipped to the picture.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;  // top row first
  const unsigned char* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

bool ReadPicture(const char* path, Picture* picture) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) {
    std::fprintf(stderr, "png_probe: cannot read %s: %s\n", path, image.message);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  picture->width = static_cast<int>(image.width);
  picture->height = static_cast<int>(image.height);
  picture->rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture->rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "png_probe: cannot decode %s: %s\n", path, image.message);
    return false;
  }
  return true;
}

bool ParseInt(const char* text, int* value) {
  char* end = nullptr;
  long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < -1000000 || parsed > 1000000) return false;
  *value = static_cast<int>(parsed);
  return true;
}

bool ParseInts(char** args, int count, int* values) {
  for (int i = 0; i < count; i++)
    if (!ParseInt(args[i], &values[i])) {
      std::fprintf(stderr, "png_probe: not a number: %s\n", args[i]);
      return false;
    }
  return true;
}

struct Box {
  int x0, y0, x1, y1;
};

Box ClipBox(const Picture& picture, const int* v) {
  Box box{std::max(0, v[0]), std::max(0, v[1]), std::min(picture.width, v[2]), std::min(picture.height, v[3])};
  if (box.x1 < box.x0) box.x1 = box.x0;
  if (box.y1 < box.y0) box.y1 = box.y0;
  return box;
}

// True when every colour channel lies within `tolerance` of the wanted colour.
bool Near(const unsigned char* pixel, const int* colour, int tolerance) {
  for (int c = 0; c < 3; c++)
    if (std::abs(pixel[c] - colour[c]) > tolerance) return false;
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: png_probe FILE size\n"
               "       png_probe FILE pixel X Y\n"
               "       png_probe FILE mean X0 Y0 X1 Y1\n"
               "       png_probe FILE count X0 Y0 X1 Y1 R G B TOL\n"
               "       png_probe FILE bbox X0 Y0 X1 Y1 R G B TOL\n"
               "       png_probe FILE expect X Y R G B TOL\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  Picture picture;
  if (!ReadPicture(argv[1], &picture)) return 2;
  const std::string verb = argv[2];
  char** args = argv + 3;
  const int count = argc - 3;
  int v[8];

  if (verb == "size" && count == 0) {
    std::printf("%d %d\n", picture.width, picture.height);
    return 0;
  }
  if ((verb == "pixel" && count == 2) || (verb == "expect" && count == 6)) {
    if (!ParseInts(args, count, v)) return 2;
    if (v[0] < 0 || v[1] < 0 || v[0] >= picture.width || v[1] >= picture.height) {
      std::fprintf(stderr, "png_probe: pixel %d,%d outside the %dx%d picture\n", v[0], v[1], picture.width,
                   picture.height);
      return 2;
    }
    const unsigned char* p = picture.At(v[0], v[1]);
    if (verb == "pixel" || !Near(p, v + 2, v[5])) {
      std::printf("%d %d %d %d\n", p[0], p[1], p[2], p[3]);
      return verb == "pixel" ? 0 : 1;
    }
    return 0;
  }
  if (verb == "mean" && count == 4) {
    if (!ParseInts(args, count, v)) return 2;
    const Box box = ClipBox(picture, v);
    double sum[3] = {0, 0, 0};
    long pixels = 0;
    for (int y = box.y0; y < box.y1; y++)
      for (int x = box.x0; x < box.x1; x++, pixels++)
        for (int c = 0; c < 3; c++) sum[c] += picture.At(x, y)[c];
    if (pixels == 0) {
      std::fprintf(stderr, "png_probe: empty box\n");
      return 2;
    }
    std::printf("%ld %ld %ld\n", std::lround(sum[0] / pixels), std::lround(sum[1] / pixels),
                std::lround(sum[2] / pixels));
    return 0;
  }
  if ((verb == "count" || verb == "bbox") && count == 8) {
    if (!ParseInts(args, count, v)) return 2;
    const Box box = ClipBox(picture, v);
    long near = 0;
    Box found{picture.width, picture.height, -1, -1};
    for (int y = box.y0; y < box.y1; y++)
      for (int x = box.x0; x < box.x1; x++) {
        if (Near(picture.At(x, y), v + 4, v[7])) {
          near++;
        } else {
          found.x0 = std::min(found.x0, x);
          found.y0 = std::min(found.y0, y);
          found.x1 = std::max(found.x1, x + 1);
          found.y1 = std::max(found.y1, y + 1);
        }
      }
    if (verb == "count")
      std::printf("%ld\n", near);
    else if (found.x1 < 0)
      std::printf("none\n");
    else
      std::printf("%d %d %d %d\n", found.x0, found.y0, found.x1, found.y1);
    return 0;
  }
  return Usage();
}
