// Still textures and animations in a headless GL context: uploads with mipmaps and alpha,
// the cache's one-upload-per-name rule, and animation folders with their frame cap.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>

#include "render/png_writer.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace {

// Makes the temporary folder the game folder for the life of the object.
class GameFolder {
 public:
  GameFolder() {
    std::memcpy(saved_, routePath, sizeof saved_);
    ZNK_CopyString(routePath, (dir.path() + "/").c_str(), sizeof routePath);
  }
  ~GameFolder() { std::memcpy(routePath, saved_, sizeof saved_); }
  zt::TempDir dir;

 private:
  char saved_[sizeof routePath];
};

std::vector<unsigned char> LevelZero(GLuint texture, int* width, int* height) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
  std::vector<unsigned char> pixels(static_cast<size_t>(*width) * *height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

std::vector<uint16_t> Fill(int pixels, std::vector<uint16_t> value) {
  std::vector<uint16_t> out;
  for (int i = 0; i < pixels; i++) out.insert(out.end(), value.begin(), value.end());
  return out;
}

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.ok());
    InitTextureCache();
  }
  void TearDown() override {
    FreeTextureCache();
    FreeTextureAnimations();
  }
  zt::HeadlessGL gl;
  GameFolder game;
};

TEST_F(TextureTest, UploadKeepsAlphaWhenTheFileHasItAndBuildsMipmaps) {
  zt::WriteBytes(game.dir.path() + "/rgba.png", zt::SimplePNG(4, 4, Fill(16, {10, 200, 30, 77}), true));
  zt::WriteBytes(game.dir.path() + "/rgb.png", zt::SimplePNG(4, 4, Fill(16, {10, 200, 30}), false));
  unsigned int withAlpha = 0, without = 0;
  ASSERT_EQ(LoadTextureWithLibPNG((game.dir.path() + "/rgba.png").c_str(), &withAlpha), 1);
  ASSERT_EQ(LoadTextureWithLibPNG((game.dir.path() + "/rgb.png").c_str(), &without), 1);

  int w = 0, h = 0;
  std::vector<unsigned char> level0 = LevelZero(withAlpha, &w, &h);
  ASSERT_EQ(w, 4);
  EXPECT_EQ(level0[0], 10);
  EXPECT_EQ(level0[1], 200);
  EXPECT_EQ(level0[3], 77);
  GLint levelWidth = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &levelWidth);
  EXPECT_EQ(levelWidth, 1);  // 4, 2, 1: every mipmap level exists

  level0 = LevelZero(without, &w, &h);
  EXPECT_EQ(level0[3], 255);
  GLint alphaBits = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
  EXPECT_EQ(alphaBits, 0);
}

TEST_F(TextureTest, MissingFileCreatesNothingButSetsTheSwapFlag) {
  gSwapTextureV = 0;
  unsigned int texture = 12345;
  EXPECT_EQ(LoadTextureWithLibPNG((game.dir.path() + "/absent.png").c_str(), &texture), 0);
  EXPECT_EQ(texture, 12345u);
  EXPECT_EQ(gSwapTextureV, 1);
}

TEST_F(TextureTest, UndecodableFileSilentlyLeavesAnEmptyTexture) {
  game.dir.Write("broken.png", "\x89PNG\r\n\x1a\ngarbage follows");
  zt::ConsoleCapture console;
  unsigned int texture = 0;
  EXPECT_EQ(LoadTextureWithLibPNG((game.dir.path() + "/broken.png").c_str(), &texture), 1);
  EXPECT_NE(texture, 0u);
  int width = -1, height = -1;
  LevelZero(texture, &width, &height);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(console.text(), "");
}

// The one loader behind "loadtex", model "texture=" lines and the level readers' named
// textures: the cached texture on success, a load failure line (to the console, or appended
// to an echo text) for a missing file or an empty name.
TEST_F(TextureTest, LoadingAsLoadtexReportsOnlyMissingFiles) {
  zt::WriteBytes(game.dir.path() + "/skin.png", zt::SimplePNG(2, 2, Fill(4, {9, 8, 7}), false));
  game.dir.Write("broken.png", "not a picture");
  zt::ConsoleCapture console;
  unsigned int skin = LoadTextureAsLoadtex("skin.png");
  EXPECT_NE(skin, 0u);
  EXPECT_EQ(LoadTextureAsLoadtex("skin.png"), skin);
  EXPECT_EQ(GetTextureByName("skin.png"), skin);
  EXPECT_NE(LoadTextureAsLoadtex("broken.png"), 0u);
  EXPECT_EQ(console.text(), "");

  EXPECT_EQ(LoadTextureAsLoadtex("absent.png"), 0u);
  EXPECT_EQ(LoadTextureAsLoadtex(""), 0u);
  EXPECT_EQ(console.text(), "// Load failed: " + game.dir.path() + "/absent.png\n// Load failed: " + game.dir.path() + "/\n");

  char echo[1024] = "loadtex x";
  console.clear();
  EXPECT_EQ(LoadTextureAsLoadtex("absent.png", echo), 0u);
  EXPECT_EQ(console.text(), "");
  EXPECT_NE(std::strstr(echo, "// Load failed: "), nullptr) << echo;
}

TEST_F(TextureTest, CacheUploadsAFileOnceAndFindsItUnderAnySpellingOfItsName) {
  zt::WriteBytes(game.dir.path() + "/wall.png", zt::SimplePNG(2, 2, Fill(4, {1, 2, 3}), false));
  zt::WriteBytes(game.dir.path() + "/floor.png", zt::SimplePNG(2, 2, Fill(4, {4, 5, 6}), false));
  textureFile* first = AddTextureToCache("wall.png");
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->fileName, "wall.png");
  EXPECT_EQ(AddTextureToCache("wall.png"), first);
  EXPECT_EQ(AddTextureToCache("WALL.PNG"), first);  // one file, one entry, named as on disk
  textureFile* second = AddTextureToCache("floor.png");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->theTexture, first->theTexture);

  int entries = 0;
  for (textureFile* e = baseTexture.next; e; e = e->next) entries++;
  EXPECT_EQ(entries, 2);
  EXPECT_EQ(GetTextureByName("wall.png"), first->theTexture);
  EXPECT_EQ(GetTextureByName(".\\WALL.png"), first->theTexture);
  EXPECT_EQ(GetTextureByName("wall.pn"), 0u);
  EXPECT_EQ(GetTextureByName("never.png"), 0u);

  EXPECT_EQ(AddTextureToCache("missing.png"), nullptr);
  GLuint name = first->theTexture;
  FreeTextureCache();
  EXPECT_EQ(baseTexture.next, nullptr);
  EXPECT_EQ(GetTextureByName("wall.png"), 0u);
  EXPECT_FALSE(glIsTexture(name));
}

// Writes "info.txt" and frames 1..count (opaque frames of the given colour).
void WriteAnimation(const zt::TempDir& dir, const std::string& folder, const std::string& info, const std::string& base,
                    int count, std::vector<uint16_t> rgb) {
  if (!info.empty()) dir.Write(folder + "/info.txt", info);
  for (int i = 1; i <= count; i++) {
    char name[256];
    std::snprintf(name, sizeof name, i < 10 ? "%s/%s 0%d.png" : "%s/%s %d.png", folder.c_str(), base.c_str(), i);
    dir.Write(name, "");
    zt::WriteBytes(dir.path() + "/" + name, zt::SimplePNG(2, 1, Fill(2, rgb), false));
  }
}

TEST_F(TextureTest, AnimationFolderIsCappedAt32FramesAndKeepsTheDeclaredDuration) {
  WriteAnimation(game.dir, "fire", "33\n50\nfire\n", "fire", 33, {30, 60, 90});
  animatedTexture animation = {};
  EXPECT_EQ(LoadAnimationFromFolder((game.dir.path() + "/fire").c_str(), &animation), 1);
  EXPECT_EQ(animation.isAnim, 1);
  EXPECT_EQ(animation.numFrames, 32);
  EXPECT_EQ(animation.sampleRate, 50);
  EXPECT_EQ(animation.duration, 33u * 50u);
  for (int i = 0; i < 32; i++) {
    ASSERT_NE(animation.textures[i], 0u) << i;
    int w = 0, h = 0;
    std::vector<unsigned char> pixels = LevelZero(animation.textures[i], &w, &h);
    ASSERT_EQ(w, 2) << "frame " << i + 1 << " was not loaded";
    EXPECT_EQ(pixels[3], 60);  // alpha from brightness: (30 + 60 + 90) / 3
  }

  // Loading again frees the previous frames.
  GLuint old = animation.textures[5];
  LoadAnimationFromFolder((game.dir.path() + "/fire").c_str(), &animation);
  EXPECT_FALSE(glIsTexture(old));
  GLuint mine[32];
  std::memcpy(mine, animation.textures, sizeof mine);
  glDeleteTextures(32, mine);
}

TEST_F(TextureTest, FramesWithAlphaKeepItAndBlackOpaqueFramesVanish) {
  game.dir.Write("mixed/info.txt", "2\n40\nspark\n");
  zt::WriteBytes(game.dir.path() + "/mixed/spark 01.png", zt::SimplePNG(1, 1, {0, 0, 0}, false));
  zt::WriteBytes(game.dir.path() + "/mixed/spark 02.png", zt::SimplePNG(1, 1, {0, 0, 0, 200}, true));
  animatedTexture animation = {};
  LoadAnimationFromFolder((game.dir.path() + "/mixed").c_str(), &animation);
  int w = 0, h = 0;
  EXPECT_EQ(LevelZero(animation.textures[0], &w, &h)[3], 0);
  EXPECT_EQ(LevelZero(animation.textures[1], &w, &h)[3], 200);
  glDeleteTextures(2, animation.textures);
}

TEST_F(TextureTest, FolderWithoutDescriptionOrWithNonsenseCountsStillLoads) {
  WriteAnimation(game.dir, "plain", "", "", 1, {255, 255, 255});
  animatedTexture animation = {};
  LoadAnimationFromFolder((game.dir.path() + "/plain").c_str(), &animation);
  EXPECT_EQ(animation.numFrames, 1);
  EXPECT_EQ(animation.sampleRate, 100);
  EXPECT_EQ(animation.duration, 100u);
  int w = 0, h = 0;
  EXPECT_EQ(LevelZero(animation.textures[0], &w, &h)[3], 255);  // the file " 01.png"

  // A count below 1 and a rate of 0 would divide by zero in every user of the animation.
  game.dir.Write("odd/info.txt", "-4\n0\nx\n");
  LoadAnimationFromFolder((game.dir.path() + "/odd").c_str(), &animation);
  EXPECT_EQ(animation.numFrames, 1);
  EXPECT_EQ(animation.sampleRate, 100);
  EXPECT_EQ(animation.isAnim, 1);
  glDeleteTextures(1, animation.textures);
}

}  // namespace
