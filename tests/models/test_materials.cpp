// Material setting lines, public-settings copy, the level material list and its defaults.
#include <gtest/gtest.h>

#include <cstring>

#include "models/materials.h"
#include "support/test_support.h"

namespace {

zntlmtrl Fresh() {
  zntlmtrl m = {};
  SetMaterialDefaults(&m);
  return m;
}

TEST(MaterialLines, EveryKeySetsItsFields) {
  zntlmtrl m = Fresh();
  InterpretShaderInstruction("smooth=1", &m);
  InterpretShaderInstruction("color=0.1,0.2,0.3,0.4", &m);
  InterpretShaderInstruction("ambient=1,2,3,4", &m);
  InterpretShaderInstruction("specular=5,6,7,8", &m);
  InterpretShaderInstruction("shininess=12.5", &m);
  InterpretShaderInstruction("emission=0.5,0.5,0.5,0", &m);
  InterpretShaderInstruction("blend=1", &m);
  InterpretShaderInstruction("wire=2.5", &m);
  InterpretShaderInstruction("depth=0", &m);
  EXPECT_EQ(m.shadeModel, 1);
  EXPECT_FLOAT_EQ(m.blue, 0.3f);
  EXPECT_FLOAT_EQ(m.alpha, 0.4f);
  EXPECT_FLOAT_EQ(m.matAmbient[3], 4.0f);
  EXPECT_FLOAT_EQ(m.matSpecular[0], 5.0f);
  EXPECT_FLOAT_EQ(m.matShininess, 12.5f);
  EXPECT_FLOAT_EQ(m.matEmission[3], 0.0f);
  EXPECT_EQ(m.transparencyMode, 1);
  EXPECT_FLOAT_EQ(m.wireSize, 2.5f);
  EXPECT_EQ(m.depthMask, 0);
}

TEST(MaterialLines, ShortValuesAndUnknownKeysChangeNothingElse) {
  zntlmtrl m = Fresh();
  InterpretShaderInstruction("color=0.5", &m);
  EXPECT_FLOAT_EQ(m.red, 0.5f);
  EXPECT_FLOAT_EQ(m.green, 1.0f);
  zntlmtrl before = m;
  InterpretShaderInstruction("Color=0,0,0,0", &m);  // keys are case-sensitive
  InterpretShaderInstruction("glow", &m);           // no "=": a key with an empty value
  InterpretShaderInstruction("", &m);
  EXPECT_EQ(std::memcmp(&before, &m, sizeof m), 0);
}

TEST(MaterialLines, TextureLines) {
  zntlmtrl m = Fresh();
  InterpretShaderInstruction("texture=", &m);
  EXPECT_EQ(m.mapType, 1);
  EXPECT_EQ(m.materialTexture, 0u);

  // A texture file that does not exist is a load failure: reported as "loadtex" reports
  // it, and the material stays untextured.
  zntlmtrl n = Fresh();
  zt::ConsoleCapture console;
  InterpretShaderInstruction("texture=Textures/no such skin.png", &n);
  EXPECT_EQ(n.mapType, 0);
  EXPECT_EQ(n.materialTexture, 0u);
  EXPECT_STREQ(n.fileName, "Textures/no such skin.png");
  EXPECT_EQ(console.text(), "// Load failed: Textures/no such skin.png\n");
}

TEST(MaterialCopy, PublicSettingsCopyKeepsTheTargetsArrays) {
  zntlmtrl src = Fresh(), dst = Fresh();
  uint32_t indices[3] = {0, 1, 2};
  float normals[3] = {0, 1, 0};
  dst.indices = indices;
  dst.faceNormals = normals;
  src.red = 0.25f;
  src.numTriangles = 4;
  std::strcpy(src.name, "Copied");
  CopyPublicMaterialSettings(&src, &dst);
  EXPECT_FLOAT_EQ(dst.red, 0.25f);
  EXPECT_STREQ(dst.name, "Copied");
  EXPECT_EQ(dst.indices, indices);
  EXPECT_EQ(dst.faceNormals, normals);
  EXPECT_EQ(dst.UVs, nullptr);
}

TEST(LevelMaterials, DefaultListLookupAndShrink) {
  InitDefaultMaterialAndBone();
  ASSERT_EQ(gNumMaterials, 1u);
  EXPECT_STREQ(gMaterials[0].name, "Default");
  EXPECT_FLOAT_EQ(gMaterials[0].matDiffuse[0], 0.8f);
  ASSERT_EQ(gNumBones, 1u);
  EXPECT_STREQ(gBones[0].signature, "None");
  EXPECT_STREQ(gBones[0].fourchars, "None");
  EXPECT_EQ(gCurBone, 0u);

  MeshEditorAddMaterial("Stone");
  MeshEditorAddMaterial("Wood");
  EXPECT_EQ(gCurMaterial, 2u);
  EXPECT_EQ(GetMaterialNumberByName("Stone"), 1u);
  EXPECT_EQ(GetMaterialNumberByName("Glass"), 2u);  // no such material: the current one
  ShrinkToDefaultMaterialAndBone();
  EXPECT_EQ(gNumMaterials, 1u);
  EXPECT_EQ(gCurMaterial, 0u);
}

}  // namespace
