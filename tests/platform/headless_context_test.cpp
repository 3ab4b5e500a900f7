// The headless GL context: an EGL compatibility-profile context on a surface of the asked
// size where fixed-function drawing and read-back work, the user's choice of GPU or
// software, and failures that name what was tried.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backends.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace {

// Sets ZYNTREL_GL for the life of the object and puts the old value back.
class GLChoiceVariable {
 public:
  explicit GLChoiceVariable(const char* value) {
    const char* old = std::getenv("ZYNTREL_GL");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    if (value)
      setenv("ZYNTREL_GL", value, 1);
    else
      unsetenv("ZYNTREL_GL");
  }
  ~GLChoiceVariable() {
    if (hadOld_)
      setenv("ZYNTREL_GL", old_.c_str(), 1);
    else
      unsetenv("ZYNTREL_GL");
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

bool CreateHeadless(int width, int height, std::string* error) {
  PlatformOptions options;
  options.backend = kPlatformHeadless;
  options.windowWidth = width;
  options.windowHeight = height;
  if (!Plat_Init(options)) return false;
  bool full = false;
  return Plat_CreateWindow("test", width, height, 16, false, &full, error);
}

TEST(HeadlessContext, FixedFunctionDrawingReadsBackAtTheScreenSize) {
  zt::HeadlessGL gl(40, 30);
  ASSERT_TRUE(gl.ok());
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ASSERT_NE(version, nullptr);
  std::fprintf(stderr, "headless GL: %s | %s\n", renderer ? renderer : "?", version);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 40);
  EXPECT_EQ(viewport[3], 30);

  // Immediate mode, the matrix stack and lighting-free colour: the left half red, the right
  // half green over a blue clear.
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 40, 0, 30, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_QUADS);
  glColor3f(1, 0, 0);
  glVertex2f(0, 0);
  glVertex2f(20, 0);
  glVertex2f(20, 20);
  glVertex2f(0, 20);
  glColor3f(0, 1, 0);
  glVertex2f(20, 0);
  glVertex2f(40, 0);
  glVertex2f(40, 20);
  glVertex2f(20, 20);
  glEnd();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  Plat_SwapBuffers();

  int w = 0, h = 0;
  const unsigned char* pixels = Plat_HeadlessPixels(&w, &h);
  ASSERT_NE(pixels, nullptr);
  ASSERT_EQ(w, 40);
  ASSERT_EQ(h, 30);
  auto at = [&](int x, int y) { return pixels + (static_cast<size_t>(y) * w + x) * 4; };
  EXPECT_EQ(at(5, 5)[0], 255);   // bottom left: red
  EXPECT_EQ(at(5, 5)[1], 0);
  EXPECT_EQ(at(30, 5)[1], 255);  // bottom right: green
  EXPECT_EQ(at(30, 5)[0], 0);
  EXPECT_EQ(at(5, 25)[2], 255);  // top: the clear colour
  EXPECT_EQ(at(5, 25)[0], 0);
  // RGBA with depth and stencil, as the engine asks of every context.
  GLint alpha = 0, depth = 0, stencil = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alpha);
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  EXPECT_GE(alpha, 8);
  EXPECT_GE(depth, 16);
  EXPECT_GE(stencil, 1);
}

TEST(HeadlessContext, SoftwareChoiceRendersAndIsSoftware) {
  GLChoiceVariable software("software");
  std::string error;
  ASSERT_TRUE(CreateHeadless(8, 8, &error)) << error;
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ASSERT_NE(renderer, nullptr);
  EXPECT_TRUE(std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
              std::strstr(renderer, "swrast"))
      << renderer;
  Plat_Shutdown();
}

TEST(HeadlessContext, FailuresNameWhatWasTried) {
  {
    GLChoiceVariable missing("gpu:99");
    std::string error;
    EXPECT_FALSE(CreateHeadless(8, 8, &error));
    EXPECT_NE(error.find("EGL device platform, GPU 99"), std::string::npos) << error;
    EXPECT_FALSE(Plat_HasWindow());
    Plat_Shutdown();
  }
  {
    GLChoiceVariable unknown("quantum");
    std::string error;
    EXPECT_FALSE(CreateHeadless(8, 8, &error));
    EXPECT_NE(error.find("ZYNTREL_GL=quantum"), std::string::npos) << error;
    Plat_Shutdown();
  }
  // A failed attempt leaves nothing behind: the next context comes up.
  GLChoiceVariable automatic(nullptr);
  std::string error;
  EXPECT_TRUE(CreateHeadless(8, 8, &error)) << error;
  Plat_Shutdown();
}

TEST(HeadlessContext, ChoiceValues) {
  struct Case {
    const char* text;
    bool valid;
    GLPath path;
    int index;
  };
  const Case cases[] = {{nullptr, true, kGLPathAuto, 0},   {"", true, kGLPathAuto, 0},
                        {"auto", true, kGLPathAuto, 0},    {"software", true, kGLPathSoftware, 0},
                        {"gpu", true, kGLPathGPU, 0},      {"gpu:2", true, kGLPathGPU, 2},
                        {"gpu:", false, kGLPathAuto, 0},   {"gpu:-1", false, kGLPathAuto, 0},
                        {"gpu:1x", false, kGLPathAuto, 0}, {"GPU", false, kGLPathAuto, 0},
                        {"gpu:99999999999999999999", false, kGLPathAuto, 0}};
  for (const Case& c : cases) {
    GLChoiceVariable variable(c.text);
    GLChoice choice;
    std::string error;
    EXPECT_EQ(ReadGLChoice(&choice, &error), c.valid) << (c.text ? c.text : "(unset)");
    if (c.valid) {
      EXPECT_EQ(choice.path, c.path) << c.text;
      EXPECT_EQ(choice.gpuIndex, c.index) << c.text;
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

}  // namespace
