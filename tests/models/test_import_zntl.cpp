// The engine's own model file as level geometry: positions and edges, materials with their
// settings as level materials, bones with four-character codes shared between imports, and
// files the loader refuses.
#include <gtest/gtest.h>

#include "../../tools/zntl_model_writer.h"
#include "import_test_helpers.h"
#include "models/import_dispatch.h"
#include "models/import_zntl.h"

namespace {

using it::ExpectNear3;

zmw::Model TwoBoneModel() {
  zmw::Model m;
  m.author = "somebody";  // never shown for level geometry
  m.bones = {{"hip", 0, 1}, {"knee", 2, 2}};
  m.vertices = {{0, 0, 0, 1}, {1, 0, 0, 0}, {0, 1, 0, 2}, {0, 0, 1, 2}};
  m.edges = {{0, 1}, {2, 3}};
  zmw::Material a;
  a.name = "skin";
  a.settings = {"smooth=1", "color=0.5,0.5,0.5,1"};
  a.triangles = {{0, 1, 2, {0, 1, 0}, {0, 0, 1}}};
  zmw::Material b;
  b.name = "cloth";
  b.triangles = {{1, 2, 3}, {0, 2, 3}};
  m.materials = {a, b};
  return m;
}

class ZntlImport : public it::ImportTest {};

TEST_F(ZntlImport, MeshMaterialsAndBonesJoinTheLevel) {
  Write("Models/legs.wtf", zmw::Write(TwoBoneModel()));
  const uint32_t materials = gNumMaterials;
  const uint32_t bones = gNumBones;
  ImportModelWithAutoDetect(Path("Models/legs.wtf").c_str(), 3.0f);
  EXPECT_TRUE(dialogs.texts().empty());

  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 4u);
  ExpectNear3(verts[1]->pos, 3, 0, 0);
  EXPECT_EQ(it::EdgeCount(), 2u);  // the file's edges only
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 3u);
  it::ExpectLevelConsistent();

  ASSERT_EQ(gNumMaterials, materials + 2);
  EXPECT_STREQ(gMaterials[materials].name, "skin");
  EXPECT_EQ(gMaterials[materials].shadeModel, 1);
  EXPECT_FLOAT_EQ(gMaterials[materials].red, 0.5f);
  EXPECT_STREQ(gMaterials[materials + 1].name, "cloth");
  int skin = 0;
  for (level_triangle* t : trigs) {
    if (t->meshworkMaterial == static_cast<int>(materials)) {
      skin++;
      EXPECT_EQ(t->smooth, 1);
      EXPECT_FLOAT_EQ(t->u[1], 1.0f);
      EXPECT_FLOAT_EQ(t->v[2], 1.0f);
    } else {
      EXPECT_EQ(t->meshworkMaterial, static_cast<int>(materials + 1));
      EXPECT_EQ(t->smooth, 0);
    }
  }
  EXPECT_EQ(skin, 1);

  ASSERT_EQ(gNumBones, bones + 2);
  zntlbone* hip = &gBones[bones];
  zntlbone* knee = &gBones[bones + 1];
  EXPECT_STREQ(hip->signature, "hip");
  EXPECT_EQ(knee->parent, hip);
  EXPECT_EQ(hip->parent, &gBones[bones - 1]);
  EXPECT_EQ(verts[0]->isBone, 1);
  EXPECT_EQ(verts[0]->theBone, hip);
  EXPECT_STREQ(verts[0]->signature, "None");  // hangs from the root
  EXPECT_EQ(verts[2]->isBone, 1);
  EXPECT_STREQ(verts[2]->signature, hip->fourchars);
  EXPECT_STREQ(verts[3]->bone1, knee->fourchars);
  EXPECT_STREQ(verts[1]->bone1, "None");
  EXPECT_EQ(verts[1]->isBone, 0);
}

TEST_F(ZntlImport, SecondImportSharesBoneCodesAndKeepsBonePointersValid) {
  Write("Models/legs.wtf", zmw::Write(TwoBoneModel()));
  ImportModelWithAutoDetect(Path("Models/legs.wtf").c_str(), 1.0f);
  const uint32_t bones = gNumBones;
  std::string firstHipCode = gBones[bones - 2].fourchars;
  ImportModelWithAutoDetect(Path("Models/legs.wtf").c_str(), 1.0f);
  ASSERT_EQ(gNumBones, bones + 2);
  EXPECT_EQ(firstHipCode, gBones[bones].fourchars);
  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 8u);
  // The first import's head vertex still points at its bone after the array grew.
  EXPECT_EQ(verts[0]->theBone, &gBones[bones - 2]);
  EXPECT_EQ(verts[0]->selected, 0);
  EXPECT_EQ(verts[4]->selected, 1);
  EXPECT_EQ(verts[4]->theBone, &gBones[bones]);
}

TEST_F(ZntlImport, RefusedFilesLeaveTheLevelUnchanged) {
  Write("Models/bad.wtf", "Zyntrel Mdl\n0\n#Author: x\n#Date: y\n#Notes: \n#PNG: 0\n\n#Bones:\n1\nb\n99,1\n");
  ImportModelWithAutoDetect(Path("Models/bad.wtf").c_str(), 1.0f);
  Write("Models/wrong.wtf", "Zyntrel Mdlx\n");
  Import_Zyntrel_Mdl(Path("Models/wrong.wtf").c_str(), 1.0f);
  Import_Zyntrel_Mdl(Path("Models/none.wtf").c_str(), 1.0f);
  EXPECT_TRUE(it::Vertices().empty());
  EXPECT_EQ(gNumMaterials, 1u);
  EXPECT_EQ(gNumBones, 1u);
  EXPECT_TRUE(dialogs.texts().empty());
}

}  // namespace
