// The appearance, light and camera commands: materials of the selected object, drawing
// flags, texture animation frames, texture loading, scene colours, light selection and
// terms, and the perspective and orthographic views.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "frame_scene.h"
#include "groups/groups.h"
#include "models/model_draw.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "render/frame.h"
#include "render/lights.h"
#include "render/projection.h"
#include "render/screenshot.h"
#include "render/textures.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "shell/window.h"

namespace {

char* P(const char* text) {
  static char buf[512];
  std::snprintf(buf, sizeof buf, "%s", text);
  return buf;
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.ok());
    std::memset(&gScriptVars, 0, sizeof gScriptVars);
    object = ft::AddObject(ft::SquareModelText(1.0f, "color=0.5,0.5,0.5,1\n"), {0, 0, -3});
    ASSERT_NE(object, nullptr);
    selHuman = object;
  }
  zntlmtrl* Mat() { return &object->mdl->materials[0]; }

  ft::Scene scene;
  human_being* object = nullptr;
};

TEST_F(CommandTest, ColTurnsATextureOffAndTexTurnsItOn) {
  Mat()->mapType = 1;
  Mat()->materialTexture = 7;
  znkinstr_col(P("1,0.1,0.2,0.3"), nullptr);
  EXPECT_FLOAT_EQ(Mat()->red, 0.1f);
  EXPECT_FLOAT_EQ(Mat()->green, 0.2f);
  EXPECT_FLOAT_EQ(Mat()->blue, 0.3f);
  EXPECT_EQ(Mat()->mapType, 0);

  znkinstr_tex(P("1,\"missing.png\""), nullptr);
  EXPECT_EQ(Mat()->mapType, 4);
  EXPECT_EQ(Mat()->materialTexture, 0u);  // not in the cache
}

TEST_F(CommandTest, MaterialNumbersAreCheckedAndDefaultFromRegisters) {
  znkinstr_col(P("0,1,0,0"), nullptr);  // below 1 means 1
  EXPECT_FLOAT_EQ(Mat()->red, 1.0f);
  EXPECT_FLOAT_EQ(Mat()->green, 0.0f);
  znkinstr_col(P("2,0,0,1"), nullptr);  // the model has one material
  EXPECT_FLOAT_EQ(Mat()->blue, 0.0f);

  *IntRegister(1) = 1;
  *FloatRegister(1) = 0.25;
  *FloatRegister(2) = 0.5;
  *FloatRegister(3) = 0.75;
  znkinstr_col(P(""), nullptr);
  EXPECT_FLOAT_EQ(Mat()->red, 0.25f);
  EXPECT_FLOAT_EQ(Mat()->blue, 0.75f);

  znkinstr_shininess(P(""), nullptr);
  EXPECT_FLOAT_EQ(Mat()->matShininess, 0.25f);
  *FloatRegister(4) = 1.0;
  znkinstr_emission(P(""), nullptr);
  EXPECT_FLOAT_EQ(Mat()->matEmission[1], 0.5f);
  EXPECT_FLOAT_EQ(Mat()->matEmission[3], 1.0f);

  selHuman = nullptr;  // nothing selected: nothing changes
  znkinstr_col(P("1,0,0,0"), nullptr);
  EXPECT_FLOAT_EQ(object->mdl->materials[0].red, 0.25f);
}

TEST_F(CommandTest, AlphaWireSmoothAndEmission) {
  znkinstr_alpha(P("9,0.5"), nullptr);  // above 8 means 1
  EXPECT_FLOAT_EQ(Mat()->alpha, 0.5f);
  EXPECT_EQ(Mat()->transparencyMode, 1);

  znkinstr_wire(P("1,2.5"), nullptr);
  EXPECT_FLOAT_EQ(Mat()->wireSize, 2.5f);
  EXPECT_EQ(gWireMesh, 0);  // an object is selected: its material, not the level

  znkinstr_smooth(P("1,true"), nullptr);
  EXPECT_EQ(Mat()->shadeModel, 1);
  znkinstr_smooth(P("1,yes"), nullptr);
  EXPECT_EQ(Mat()->shadeModel, 0);

  znkinstr_emission(P("1,0.1,0.2"), nullptr);  // the rest stay
  EXPECT_FLOAT_EQ(Mat()->matEmission[0], 0.1f);
  EXPECT_FLOAT_EQ(Mat()->matEmission[1], 0.2f);
  EXPECT_FLOAT_EQ(Mat()->matEmission[2], 0.0f);
  EXPECT_FLOAT_EQ(Mat()->matEmission[3], 1.0f);
}

TEST_F(CommandTest, EmissionFollowsTintColourAndGlobalAlpha) {
  zntlmtrl m = {};
  m.red = m.green = m.blue = m.alpha = 1.0f;
  tintColor = {0.5f, 0.5f, 0.5f};
  float e[4];
  MaterialEmission(&m, e);
  EXPECT_FLOAT_EQ(e[0], -0.5f);
  EXPECT_FLOAT_EQ(e[1], -0.5f);
  EXPECT_FLOAT_EQ(e[2], -0.5f);
  EXPECT_FLOAT_EQ(e[3], 0.0f);
  m.matEmission[0] = 0.75f;
  m.green = 0.25f;
  MaterialEmission(&m, e);
  EXPECT_FLOAT_EQ(e[0], 0.25f);
  EXPECT_FLOAT_EQ(e[1], -1.25f);
}

TEST_F(CommandTest, AmbientSetsTheMaterialOrTheSelectedLight) {
  znkinstr_ambient(P("1,0.1,0.2,0.3,0.4"), nullptr);
  EXPECT_FLOAT_EQ(Mat()->matAmbient[2], 0.3f);

  znkinstr_light(P("2"), nullptr);
  EXPECT_EQ(selectedLight, 1);
  znkinstr_ambient(P("0.6,0.7,0.8,1"), nullptr);
  znkinstr_specular(P("0.5,0.5,0.5,1"), nullptr);
  float a[4] = {}, s[4] = {};
  glGetLightfv(GL_LIGHT1, GL_AMBIENT, a);
  glGetLightfv(GL_LIGHT1, GL_SPECULAR, s);
  EXPECT_FLOAT_EQ(a[1], 0.7f);
  EXPECT_FLOAT_EQ(s[0], 0.5f);
  EXPECT_FLOAT_EQ(Mat()->matAmbient[2], 0.3f);  // the material kept its value

  selectionType = 2;  // a group: nothing
  znkinstr_diffuse(P("1,0,0,0,0"), nullptr);
  EXPECT_FLOAT_EQ(Mat()->matDiffuse[0], 0.8f);
}

TEST_F(CommandTest, LightNumbersWrapAndNoneKeepsTheLight) {
  znkinstr_light(P("9"), nullptr);
  EXPECT_EQ(selectedLight, 0);
  EXPECT_EQ(selectionType, 1);
  znkinstr_light(P("0"), nullptr);
  EXPECT_EQ(selectedLight, 7);
  znkinstr_light(P("-2147483648"), nullptr);
  EXPECT_GE(selectedLight, 0);
  EXPECT_LT(selectedLight, 8);
  znkinstr_light(P("3"), nullptr);
  ASSERT_GE(gAllEntities.numEntities, 8u);
  for (int i = 0; i < 8; i++) EXPECT_EQ(gAllEntities.entities[i].selected, i == 2 ? 1 : 0);

  znkinstr_light(P("none"), nullptr);
  EXPECT_EQ(selectionType, 0);
  EXPECT_EQ(selectedLight, 2);

  *IntRegister(1) = 5;
  znkinstr_light(P(""), nullptr);
  EXPECT_EQ(selectedLight, 4);
}

TEST_F(CommandTest, LightOnAttenuationAndSpotlight) {
  znkinstr_light(P("4"), nullptr);
  znkinstr_lighton(P("true"), nullptr);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
  *BoolRegister(1) = 0;
  znkinstr_lighton(P(""), nullptr);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT3));

  znkinstr_attenuation(P("4,0.5"), nullptr);  // 4 mod 3: linear
  znkinstr_attenuation(P("2"), nullptr);      // no value: 1.0
  float linear = 0, quadratic = 0;
  glGetLightfv(GL_LIGHT3, GL_LINEAR_ATTENUATION, &linear);
  glGetLightfv(GL_LIGHT3, GL_QUADRATIC_ATTENUATION, &quadratic);
  EXPECT_FLOAT_EQ(linear, 0.5f);
  EXPECT_FLOAT_EQ(quadratic, 1.0f);

  znkinstr_spotlight(P("0,-1,0,45,2"), nullptr);  // cut-off fourth, exponent fifth
  float cutoff = 0, exponent = 0;
  glGetLightfv(GL_LIGHT3, GL_SPOT_CUTOFF, &cutoff);
  glGetLightfv(GL_LIGHT3, GL_SPOT_EXPONENT, &exponent);
  EXPECT_FLOAT_EQ(cutoff, 45.0f);
  EXPECT_FLOAT_EQ(exponent, 2.0f);
  EXPECT_FLOAT_EQ(LightSpotDirections[3][1], -1.0f);
}

TEST_F(CommandTest, HudAndLuxFlags) {
  znkinstr_lux(P("true"), nullptr);
  EXPECT_EQ(object->lux, 1);
  znkinstr_lux(P("false"), nullptr);
  EXPECT_EQ(object->lux, 0);
  *BoolRegister(1) = 1;
  znkinstr_hud(P(""), nullptr);
  EXPECT_EQ(object->HUD, 1);
}

TEST_F(CommandTest, SceneColoursFromTextAndRegisters) {
  znkinstr_rgb(P("0.1,0.2,0.3"), nullptr);
  EXPECT_FLOAT_EQ(baseCol1, 0.1f);
  EXPECT_FLOAT_EQ(baseCol3, 0.3f);
  *FloatRegister(1) = 0.9;
  *FloatRegister(2) = 0.8;
  *FloatRegister(3) = 0.7;
  znkinstr_backcol(P(""), nullptr);
  EXPECT_FLOAT_EQ(backCol.x, 0.9f);
  EXPECT_FLOAT_EQ(backCol.z, 0.7f);
  fogColor[3] = 0.25f;
  znkinstr_fogcol(P(""), nullptr);
  EXPECT_FLOAT_EQ(fogColor[1], 0.8f);
  EXPECT_FLOAT_EQ(fogColor[3], 0.25f);
}

TEST_F(CommandTest, AnimShowsTheFrameOfTheElapsedTime) {
  animatedTexture saved = gTextureAnimations[0];
  animatedTexture& anim = gTextureAnimations[0];
  anim = {};
  anim.isAnim = 1;
  anim.numFrames = 4;
  anim.sampleRate = 100;
  for (int i = 0; i < 4; i++) anim.textures[i] = 11 + i;
  uint32_t savedTime = gCurrentTime;

  gCurrentTime = 1000;
  znkinstr_anim(P("1,1,0"), nullptr);
  EXPECT_EQ(Mat()->animationStart, 1000);
  EXPECT_EQ(Mat()->materialTexture, 11u);
  EXPECT_EQ(Mat()->mapType, 4);
  gCurrentTime = 1250;
  znkinstr_anim(P("1,1,0"), nullptr);
  EXPECT_EQ(Mat()->materialTexture, 13u);
  gCurrentTime = 1420;  // wraps after four frames
  znkinstr_anim(P("1,1,0"), nullptr);
  EXPECT_EQ(Mat()->materialTexture, 11u);
  znkinstr_anim(P("1,1,1"), nullptr);  // restart: always the first frame
  EXPECT_EQ(Mat()->animationStart, 1420);
  EXPECT_EQ(Mat()->materialTexture, 11u);

  anim.sampleRate = 0;  // no rate: stays on the first frame instead of dividing by zero
  gCurrentTime = 2000;
  znkinstr_anim(P("1,1,0"), nullptr);
  EXPECT_EQ(Mat()->materialTexture, 11u);

  Mat()->materialTexture = 99;
  znkinstr_anim(P("1,2,0"), nullptr);   // empty slot
  znkinstr_anim(P("1,17,0"), nullptr);  // no such slot
  EXPECT_EQ(Mat()->materialTexture, 99u);

  gCurrentTime = savedTime;
  gTextureAnimations[0] = saved;
}

TEST_F(CommandTest, LoadtexLoadsOnceAndReportsAMissingFile) {
  zt::TempDir dir;
  std::vector<unsigned char> rgba(4 * 2 * 2, 200);
  std::vector<unsigned char> png = EncodeScreenshotPNG(rgba.data(), 2, 2, 0);
  dir.Write("tex/a.png", std::string(png.begin(), png.end()));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  routePath[0] = '\0';
  InitTextureCache();

  znkinstr_loadtex(P("\"tex/a.png\""), nullptr);
  znkinstr_loadtex(P("tex/a.png"), nullptr);
  int entries = 0;
  for (textureFile* t = baseTexture.next; t; t = t->next) entries++;
  EXPECT_EQ(entries, 1);
  unsigned int name = GetTextureByName("tex/a.png");
  EXPECT_NE(name, 0u);

  znkinstr_tex(P("1,\"tex/a.png\""), nullptr);
  EXPECT_EQ(Mat()->materialTexture, name);
  EXPECT_EQ(Mat()->mapType, 4);

  {
    zt::ConsoleCapture console;
    znkinstr_loadtex(P("\"tex/b.png\""), nullptr);
    EXPECT_EQ(console.text(), "// Load failed: tex/b.png\n");
  }
  char echo[1024] = "loadtex";
  znkinstr_loadtex(P("\"tex/b.png\""), echo);
  EXPECT_STREQ(echo, "loadtex// Load failed: tex/b.png");

  FreeTextureCache();
  ASSERT_EQ(chdir(cwd), 0);
}

TEST_F(CommandTest, FovRebuildsThePerspectiveFromAFloatRegister) {
  *FloatRegister(1) = 60.0;
  *FloatRegister(3) = 120.0;
  gIsometricView = 1;
  znkinstr_fov(P(""), nullptr);
  EXPECT_FLOAT_EQ(gFOV, 60.0f);
  EXPECT_NEAR(Matrix_3D[5], 1.0f / std::tan(30.0 * M_PI / 180.0), 1e-4);
  EXPECT_NEAR(Matrix_3D[0], Matrix_3D[5], 1e-4);  // square screen
  EXPECT_EQ(gIsometricView, 0);
  float p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  EXPECT_FLOAT_EQ(p[5], Matrix_3D[5]);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);

  znkinstr_fov(P("3"), nullptr);
  EXPECT_FLOAT_EQ(gFOV, 120.0f);
  *FloatRegister(1) = 0.0;  // no projection of 0 degrees: the old one stays
  znkinstr_fov(P("-4"), nullptr);
  EXPECT_FLOAT_EQ(gFOV, 120.0f);
  EXPECT_TRUE(std::isfinite(Matrix_3D[5]));
}

TEST_F(CommandTest, OrthoSetsTheBoxAndAnEmptyTextKeepsIt) {
  znkinstr_ortho(P("-4,4,-2,2"), nullptr);
  EXPECT_EQ(gIsometricView, 1);
  EXPECT_FLOAT_EQ(gIsoSizes[1], 4.0f);
  EXPECT_FLOAT_EQ(Matrix_3D[0], 0.25f);
  EXPECT_FLOAT_EQ(Matrix_3D[5], 0.5f);
  EXPECT_FLOAT_EQ(Matrix_3D[10], -0.001f);

  *FloatRegister(1) = 100.0;  // not read: the empty text keeps the box
  znkinstr_ortho(P(""), nullptr);
  EXPECT_FLOAT_EQ(gIsoSizes[0], -4.0f);
  EXPECT_FLOAT_EQ(Matrix_3D[0], 0.25f);

  znkinstr_ortho(P("1,1,0,2"), nullptr);  // no width: kept as it was
  EXPECT_FLOAT_EQ(gIsoSizes[0], -4.0f);
  EXPECT_FLOAT_EQ(Matrix_3D[0], 0.25f);

  // The orthographic view draws: a level square far away keeps its size on screen.
  znkinstr_ortho(P("-1,1,-1,1"), nullptr);
  object->xpos = 100.0f;  // out of the picture
  ft::AddSquareFacingPlusZ(0, 0, -500, 1);
  ft::FinishLevel();
  DrawGLScene();
  EXPECT_GT(ft::ReadPixel(32, 32).r, 200);
  EXPECT_LT(ft::ReadPixel(4, 4).r, 5);
}

}  // namespace
