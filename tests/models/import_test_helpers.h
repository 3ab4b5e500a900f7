// Shared fixtures of the level-import tests: a temporary game folder with a GL context, a
// clean level, small PNG files, byte builders for the binary formats, and level inspection.
#pragma once
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "models/materials.h"
#include "models/skeleton.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "support/test_support.h"
#include "world/level_mesh.h"

namespace it {

// A PNG of w x h RGB pixels of one colour.
inline std::string MakePNG(int w, int h, unsigned char r, unsigned char g, unsigned char b) {
  auto be32 = [](std::string& s, uint32_t v) {
    for (int k = 3; k >= 0; k--) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
  };
  auto chunk = [&](std::string& out, const char* type, const std::string& data) {
    be32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    be32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
  };
  std::string out("\x89PNG\r\n\x1a\n", 8);
  std::string ihdr;
  be32(ihdr, w);
  be32(ihdr, h);
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);
  chunk(out, "IHDR", ihdr);
  std::string raw;
  for (int y = 0; y < h; y++) {
    raw.push_back(0);
    for (int x = 0; x < w; x++) {
      raw.push_back(static_cast<char>(r));
      raw.push_back(static_cast<char>(g));
      raw.push_back(static_cast<char>(b));
    }
  }
  uLongf size = compressBound(raw.size());
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
  packed.resize(size);
  chunk(out, "IDAT", packed);
  chunk(out, "IEND", "");
  return out;
}

// Collects the texts sent through OutputToDialog while it lives.
class Dialogs {
 public:
  Dialogs() : saved_(toDialog) {
    texts().clear();
    toDialog = [](const char* text) { texts().push_back(text); };
  }
  ~Dialogs() { toDialog = saved_; }
  static std::vector<std::string>& texts() {
    static std::vector<std::string> t;
    return t;
  }

 private:
  OutputHook saved_;
};

// A temporary game folder (routePath), a GL context, an empty level with the default
// material and bone, and an empty texture cache; all put back afterwards.
class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(savedRoute_, routePath, sizeof savedRoute_);
    ZNK_CopyString(routePath, (dir.path() + "/").c_str(), sizeof routePath);
    FreeLevelGeometry();
    ShrinkToDefaultMaterialAndBone();
    FreeTextureCache();
    gXLocked = gYLocked = gZLocked = 0;
  }
  void TearDown() override {
    FreeLevelGeometry();
    ShrinkToDefaultMaterialAndBone();
    FreeTextureCache();
    std::memcpy(routePath, savedRoute_, sizeof savedRoute_);
  }
  std::string Path(const std::string& relative) const { return dir.path() + "/" + relative; }
  std::string Write(const std::string& relative, const std::string& text) const { return dir.Write(relative, text); }

  zt::HeadlessGL gl;
  zt::TempDir dir;
  zt::ConsoleCapture console;
  Dialogs dialogs;

 private:
  char savedRoute_[sizeof routePath];
};

inline std::vector<mesh_vert*> Vertices() {
  std::vector<mesh_vert*> out;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) out.push_back(v);
  return out;
}
inline std::vector<level_triangle*> Triangles() {
  std::vector<level_triangle*> out;
  for (level_triangle* t = baseLT.next; t; t = t->next) out.push_back(t);
  return out;
}
inline size_t EdgeCount() {
  size_t n = 0;
  for (mesh_edge* e = baseEdge.next; e; e = e->next) n++;
  return n;
}

// The import leaves the level marked for a rebuild, so every triangle has a holding node once
// a frame or a query has rebuilt it; the vertex list is numbered 0..n-1.
inline void ExpectLevelConsistent() {
  for (level_triangle* t : Triangles()) {
    if (!t->boundingBox.parent) {
      ASSERT_EQ(gLevelNeedsRebuild, 1) << "a triangle without holding node and no rebuild pending";
      break;
    }
  }
  UpdateLevelIfChanged();
  for (level_triangle* t : Triangles()) {
    ASSERT_NE(t->boundingBox.parent, nullptr);
    for (mesh_vert* v : t->vertexPtrs) ASSERT_NE(v, nullptr);
  }
  uint32_t i = 0;
  for (mesh_vert* v : Vertices()) EXPECT_EQ(v->index, i++);
}

inline void ExpectNear3(vector_type p, float x, float y, float z) {
  EXPECT_NEAR(p.x, x, 1e-5f);
  EXPECT_NEAR(p.y, y, 1e-5f);
  EXPECT_NEAR(p.z, z, 1e-5f);
}

// Byte builders.
struct Bytes {
  std::string s;
  bool big = true;
  Bytes& u8(uint8_t v) {
    s.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& u16(uint16_t v) {
    if (big) {
      u8(v >> 8);
      u8(v & 0xFF);
    } else {
      u8(v & 0xFF);
      u8(v >> 8);
    }
    return *this;
  }
  Bytes& u32(uint32_t v) {
    if (big) {
      u16(v >> 16);
      u16(v & 0xFFFF);
    } else {
      u16(v & 0xFFFF);
      u16(v >> 16);
    }
    return *this;
  }
  Bytes& f32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return u32(bits);
  }
  Bytes& str(const std::string& t) {
    s += t;
    return *this;
  }
  // A zero-terminated name padded to an even length.
  Bytes& name(const std::string& t) {
    s += t;
    s.push_back('\0');
    if ((t.size() + 1) % 2) s.push_back('\0');
    return *this;
  }
};

}  // namespace it
