// The frame: clear colour, skipped frames, level culling and counting, fog, the lights in
// world coordinates, unlit objects, head-up-display objects, and the transparent level drawn
// over the objects.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "commands/commands.h"
#include "effects/particles.h"
#include "frame_scene.h"
#include "models/materials.h"
#include "objects/human.h"
#include "objects/player.h"
#include "render/frame.h"
#include "render/frustum.h"
#include "render/lights.h"
#include "script/engine_variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "world/level_mesh.h"

using ft::Centre;
using ft::Pixel;

namespace {

// Lit grey of the default level material facing light 0 head on: global ambient 0.2 and
// light ambient 0.4 on material ambient 0.2, plus diffuse 0.8.
constexpr int kLitGrey = 235;

void ExpectNear(Pixel p, int r, int g, int b, int tol = 8) {
  EXPECT_NEAR(p.r, r, tol);
  EXPECT_NEAR(p.g, g, tol);
  EXPECT_NEAR(p.b, b, tol);
}

char* P(const char* text) {
  static char buf[256];
  std::snprintf(buf, sizeof buf, "%s", text);
  return buf;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.ok()); }
  ft::Scene scene;
};

TEST_F(FrameTest, ClearsToTheBackgroundColourOfBackcol) {
  znkinstr_backcol(P("0.2,0.4,0.6"), nullptr);
  DrawGLScene();
  ExpectNear(Centre(), 51, 102, 153, 2);
  ExpectNear(ft::ReadPixel(0, 0), 51, 102, 153, 2);
}

TEST_F(FrameTest, PendingLevelSwitchDrawsNothingAndCountsNoFrame) {
  glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  backCol = {1.0f, 0.0f, 0.0f};
  levelChanged = 1;
  int frames = gNumFrames;
  EXPECT_EQ(DrawGLScene(), 1);
  EXPECT_EQ(gNumFrames, frames);
  ExpectNear(Centre(), 0, 255, 0, 1);

  levelChanged = 0;
  DrawGLScene();
  EXPECT_EQ(gNumFrames, frames + 1);
  ExpectNear(Centre(), 255, 0, 0, 1);
}

TEST_F(FrameTest, LevelInFrontIsLitAndCountedWhileTheOneBehindIsCulled) {
  ft::AddSquareFacingPlusZ(0, 0, -5, 4);   // ahead
  ft::AddSquareFacingMinusZ(0, 0, 5, 4);   // behind the camera
  ft::FinishLevel();
  DrawGLScene();
  Pixel c = Centre();
  ExpectNear(c, kLitGrey, kLitGrey, kLitGrey);
  EXPECT_EQ(gTrigsDrawn, 2);
  int drawnMarks = 0;
  for (level_triangle* t = baseLT.next; t; t = t->next) drawnMarks += TriangleDrawnThisFrame(t);
  EXPECT_EQ(drawnMarks, 2);

  // Turned round, the other square is seen and the first is culled.
  viewangle = 180.0f;
  DrawGLScene();
  ExpectNear(Centre(), kLitGrey / 4, kLitGrey / 4, kLitGrey / 4, 40);  // facing away from light 0
  EXPECT_EQ(gTrigsDrawn, 2);
  for (level_triangle* t = baseLT.next; t; t = t->next)
    EXPECT_EQ(TriangleDrawnThisFrame(t), t->vertexPtrs[0]->pos.z > 0 ? 1 : 0);
}

TEST_F(FrameTest, NothingVisibleCountsNothing) {
  ft::AddSquareFacingMinusZ(0, 0, 5, 2);
  ft::FinishLevel();
  backCol = {0.0f, 0.0f, 1.0f};
  DrawGLScene();
  EXPECT_EQ(gTrigsDrawn, 0);
  ExpectNear(Centre(), 0, 0, 255, 1);
}

TEST_F(FrameTest, FogTakesTheFogColourAndIsOffWithoutDoFog) {
  ft::AddSquareFacingPlusZ(0, 0, -5, 4);
  ft::FinishLevel();
  znkinstr_fogcol(P("1,0,0"), nullptr);
  EXPECT_FLOAT_EQ(fogColor[3], 0.0f);  // the fourth component is left alone
  DrawGLScene();
  ExpectNear(Centre(), kLitGrey, kLitGrey, kLitGrey);

  doFog = 1;
  gFogStart = 0.0f;
  gFogEnd = 2.0f;  // the square lies beyond the fog's end
  DrawGLScene();
  ExpectNear(Centre(), 255, 0, 0, 2);
  EXPECT_TRUE(glIsEnabled(GL_FOG));

  gFogEnd = 10.0f;  // half way: an even mix, taken on the next frame
  DrawGLScene();
  ExpectNear(Centre(), (255 + kLitGrey) / 2, kLitGrey / 2, kLitGrey / 2, 6);
}

TEST_F(FrameTest, LightOffLeavesOnlyTheGlobalAmbient) {
  ft::AddSquareFacingPlusZ(0, 0, -5, 4);
  ft::FinishLevel();
  znkinstr_light(P("1"), nullptr);
  znkinstr_lighton(P("false"), nullptr);
  DrawGLScene();
  Pixel off = Centre();
  ExpectNear(off, 10, 10, 10, 4);  // 0.2 global ambient x 0.2 material ambient
  znkinstr_lighton(P("true"), nullptr);
  DrawGLScene();
  ExpectNear(Centre(), kLitGrey, kLitGrey, kLitGrey);
}

TEST_F(FrameTest, LightDirectionsAreWorldCoordinatesFollowingTheCamera) {
  // Light 0 shines along -z in the world. A square behind the camera facing +z is reached
  // only if the light turns with the camera; it must not.
  ft::AddSquareFacingMinusZ(0, 0, 5, 4);
  ft::FinishLevel();
  viewangle = 180.0f;
  DrawGLScene();
  Pixel unlit = Centre();
  EXPECT_LT(unlit.r, 60);

  LightPositions[0][2] = -1.0f;  // now shining along +z
  DrawGLScene();
  ExpectNear(Centre(), kLitGrey, kLitGrey, kLitGrey);
}

TEST_F(FrameTest, LightColoursFromTheLightSelection) {
  ft::AddSquareFacingPlusZ(0, 0, -5, 4);
  ft::FinishLevel();
  znkinstr_light(P("1"), nullptr);
  znkinstr_diffuse(P("1,0,0,1"), nullptr);  // a light is selected: the light's diffuse
  znkinstr_ambient(P("0,0,0,1"), nullptr);
  DrawGLScene();
  Pixel c = Centre();
  EXPECT_NEAR(c.r, 214, 8);  // 0.04 global ambient + 0.8 diffuse
  EXPECT_NEAR(c.g, 10, 6);
  EXPECT_NEAR(c.b, 10, 6);
}

TEST_F(FrameTest, LuxObjectIsDrawnUnlitInItsMaterialColour) {
  std::string model = ft::SquareModelText(2.0f, "color=1,0,0,1\n");
  human_being* object = ft::AddObject(model, {0, 0, -4});
  ASSERT_NE(object, nullptr);
  znkinstr_light(P("1"), nullptr);
  znkinstr_lighton(P("false"), nullptr);
  DrawGLScene();
  Pixel lit = Centre();
  EXPECT_LT(lit.r, 30);  // lights off: nearly black
  EXPECT_EQ(gTrigsDrawn, 2);

  object->lux = 1;
  DrawGLScene();
  ExpectNear(Centre(), 255, 0, 0, 2);
  EXPECT_EQ(object->marked, 0);
}

TEST_F(FrameTest, ObjectOutsideTheFrustumIsNeitherDrawnNorCounted) {
  std::string model = ft::SquareModelText(2.0f, "color=1,1,1,1\n");
  human_being* object = ft::AddObject(model, {0, 0, 6});
  ASSERT_NE(object, nullptr);
  object->lux = 1;
  DrawGLScene();
  EXPECT_EQ(gTrigsDrawn, 0);
  ExpectNear(Centre(), 0, 0, 0, 1);
  object->zpos = -6;
  DrawGLScene();
  EXPECT_EQ(gTrigsDrawn, 2);
  ExpectNear(Centre(), 255, 255, 255, 1);
}

TEST_F(FrameTest, HUDObjectStaysOnScreenAndInFrontWhenTheCameraTurns) {
  std::string model = ft::SquareModelText(0.5f, "color=0,1,0,1\n");
  human_being* hud = ft::AddObject(model, {0, 0, -2});  // eye coordinates
  ASSERT_NE(hud, nullptr);
  hud->lux = 1;
  znkinstr_hud(P("true"), nullptr);  // nothing selected: no change
  EXPECT_EQ(hud->HUD, 0);
  selHuman = hud;
  znkinstr_hud(P("true"), nullptr);
  EXPECT_EQ(hud->HUD, 1);

  // Level geometry nearer than the object, in world coordinates straight ahead.
  ft::AddSquareFacingPlusZ(0, 0, -1, 1);
  ft::FinishLevel();
  DrawGLScene();
  ExpectNear(Centre(), 0, 255, 0, 1);

  viewangle = 90.0f;
  updownangle = 30.0f;
  playerPos = {20.0f, 3.0f, -7.0f};
  DrawGLScene();
  ExpectNear(Centre(), 0, 255, 0, 1);
}

TEST_F(FrameTest, TransparentLevelIsBlendedOverTheObjectsBehindIt) {
  MeshEditorAddMaterial("glass");
  zntlmtrl* glass = &gMaterials[1];
  glass->transparencyMode = 1;
  glass->matDiffuse[3] = 0.5f;
  ft::AddSquareFacingPlusZ(0, 0, -3, 4, 1);
  ft::FinishLevel();
  std::string model = ft::SquareModelText(4.0f, "color=1,0,0,1\n");
  human_being* object = ft::AddObject(model, {0, 0, -6});
  ASSERT_NE(object, nullptr);
  object->lux = 1;
  DrawGLScene();
  // Half the lit glass over the red object: red stays high, green and blue half the grey.
  Pixel c = Centre();
  EXPECT_NEAR(c.r, (255 + kLitGrey) / 2, 10);
  EXPECT_NEAR(c.g, kLitGrey / 2, 10);
  EXPECT_NEAR(c.b, kLitGrey / 2, 10);
  ft::SavePicture(std::string(ZYNTREL_SOURCE_DIR) + "/build/frame_transparent.png");

  // Diffuse alpha 0 hides a blended level material.
  glass->matDiffuse[3] = 0.0f;
  DrawGLScene();
  ExpectNear(Centre(), 255, 0, 0, 1);
}

TEST_F(FrameTest, WireCommandWithoutObjectDrawsTheLevelAsLines) {
  ft::AddSquareFacingPlusZ(0, 0, -5, 8);
  ft::FinishLevel();
  znkinstr_wire(P("true"), nullptr);
  EXPECT_EQ(gWireMesh, 1);
  DrawGLScene();
  // The interior of a big square is empty; its outline crosses the picture's edges.
  EXPECT_LT(ft::ReadPixel(20, 40).r, 5);
  znkinstr_wire(P("false"), nullptr);
  EXPECT_EQ(gWireMesh, 0);
  DrawGLScene();
  EXPECT_GT(ft::ReadPixel(20, 40).r, 200);
}

TEST_F(FrameTest, TintDarkensThroughTheEmission) {
  ft::AddSquareFacingPlusZ(0, 0, -5, 4);
  ft::FinishLevel();
  tintColor = {0.5f, 1.0f, 1.0f};
  DrawGLScene();
  Pixel c = Centre();
  EXPECT_NEAR(c.r, kLitGrey - 128, 8);
  EXPECT_NEAR(c.g, kLitGrey, 8);
}

TEST_F(FrameTest, FrameLeavesTheCameraAnd3DProjectionCurrent) {
  playerPos = {1.0f, 2.0f, 3.0f};
  DrawGLScene();
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_NEAR(m[12], -1.0f, 1e-5);
  EXPECT_NEAR(m[13], -3.0f, 1e-5);
  EXPECT_NEAR(m[14], -3.0f, 1e-5);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(Frustum, BoxTouchingAPlaneIsKeptAndOneWhollyOutsideIsCulled) {
  // Model-view and projection identity: the planes of the cube -1..1.
  float I[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  PlanesFromMatrices(I, I);
  auto box = [](float x0, float x1) {
    static vector_type c[8];
    for (int k = 0; k < 8; k++) c[k] = {(k & 1) ? x1 : x0, (k & 2) ? 0.5f : -0.5f, (k & 4) ? 0.5f : -0.5f};
    return c;
  };
  EXPECT_EQ(CheckBoxWithPlanes(box(1.0f, 2.0f)), 0);   // one face on the right plane
  EXPECT_EQ(CheckBoxWithPlanes(box(1.01f, 2.0f)), 1);  // just outside
  EXPECT_EQ(CheckBoxWithPlanes(box(-5.0f, 5.0f)), 0);  // encloses the frustum
  EXPECT_EQ(CheckBoxWithPlanes(box(-2.0f, -1.5f)), 1);
}

}  // namespace

namespace {

class ParticlePassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.ok());
    system.lux = 1;
    system.size = 1.0f;
    system.fadeOutTime = 2000;
    particle.pos = {0.0f, 0.0f, -3.0f};
    particle.size = 1.0f;
    particle.parent = &system;
    system.baseParticle.next = &particle;
    baseParticleSystem.next = &system;
  }
  void TearDown() override { baseParticleSystem.next = nullptr; }

  ft::Scene scene;
  particle_system system{};
  ::particle particle{};
};

TEST_F(ParticlePassTest, SelfLitParticleFacesTheCameraWhereverItLooks) {
  DrawGLScene();
  ExpectNear(Centre(), 255, 255, 255, 1);
  EXPECT_LT(ft::ReadPixel(2, 2).r, 2);  // a square of side 1 at distance 3

  particle.pos = {3.0f, 0.0f, 0.0f};
  viewangle = 90.0f;  // looking along +x
  DrawGLScene();
  ExpectNear(Centre(), 255, 255, 255, 1);
}

TEST_F(ParticlePassTest, FadingParticleTakesTheRestOfItsLifeAsAlpha) {
  uint32_t saved = gCurrentTime;
  gCurrentTime = 10000;
  particle.fading = 1;
  particle.spawnTime = 9000;
  particle.lifeSpan = 2000;  // one second left of a two-second fade-out: alpha 0.5
  DrawGLScene();
  ExpectNear(Centre(), 128, 128, 128, 3);

  particle.lifeSpan = 9000;  // far from its end: alpha above 1 is clamped
  DrawGLScene();
  ExpectNear(Centre(), 255, 255, 255, 1);
  gCurrentTime = saved;
}

TEST_F(ParticlePassTest, ParticlesOnAPlaneUseTheSystemRotation) {
  system.particlesOnPlane = 1;
  system.particleRotation = {0.0f, 90.0f, 0.0f};  // the y-z plane: edge-on to the camera
  DrawGLScene();
  EXPECT_LT(ft::ReadPixel(20, 32).r, 2);
  system.particleRotation = {0.0f, 0.0f, 0.0f};  // the x-y plane: facing the camera
  DrawGLScene();
  ExpectNear(ft::ReadPixel(28, 32), 255, 255, 255, 1);
}

}  // namespace
