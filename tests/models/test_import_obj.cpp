// Wavefront OBJ import: the corner forms and relative numbers real exporters write, the
// material libraries and their textures, the append rule and malformed files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "commands/commands.h"
#include "import_test_helpers.h"
#include "models/import_dispatch.h"
#include "models/import_obj.h"
#include "script/variables.h"

namespace {

using it::ExpectNear3;

ObjFile Parse(const std::string& text, float scale = 660.0f) {
  ObjFile obj;
  ParseOBJ(text.data(), text.size(), scale, &obj);
  return obj;
}

TEST(ObjParse, CornerFormsAndRelativeNumbers) {
  ObjFile obj = Parse(
      "# exported\r\n"
      "\n"
      "v 0 0 0\r\n"
      "v 1 0 0\n"
      "v 0 1 0\n"
      "v 1 1 0\n"
      "vt 0.25 0.75\n"
      "vt 1 0\n"
      "vn 0 0 1\n"
      "f 1 2 3\n"
      "f 1/1 2/2 3/1\n"
      "f 2/2/1 4/1/1 3/2/1\n"
      "f 1//1 2//1 4//1\n"
      "f -4/-2 -3/-1 -1/-2\n"
      "  # indented comment\n"
      "f 1 2 3 4\n");
  ASSERT_EQ(obj.positions.size(), 4u);
  ASSERT_EQ(obj.faces.size(), 6u);
  EXPECT_EQ(obj.faces[0].v[2], 2);
  EXPECT_EQ(obj.faces[0].vt[0], -1);
  EXPECT_EQ(obj.faces[1].vt[1], 1);
  EXPECT_EQ(obj.faces[2].v[1], 3);
  EXPECT_EQ(obj.faces[2].vt[1], 0);
  EXPECT_EQ(obj.faces[3].v[2], 3);
  EXPECT_EQ(obj.faces[3].vt[2], -1);
  // Relative numbers count back from the last vertex and pair read so far.
  EXPECT_EQ(obj.faces[4].v[0], 0);
  EXPECT_EQ(obj.faces[4].v[2], 3);
  EXPECT_EQ(obj.faces[4].vt[0], 0);
  EXPECT_EQ(obj.faces[4].vt[1], 1);
  // More than three corners: the first three.
  EXPECT_EQ(obj.faces[5].v[2], 2);
}

// A line ends at CR or LF: files from old Macs end every line in CR alone, and one file may mix
// the three endings; the last line needs no end at all.
TEST(ObjParse, LinesEndAtCrOrLfOrBoth) {
  ObjFile obj = Parse("v 1 0 0\rv 2 0 0\rv 3 0 0\nv 4 0 0\r\nv 5 0 0\n\rv 6 0 0\rf 1 2 3\rf 4 5 6", 1.0f);
  ASSERT_EQ(obj.positions.size(), 6u);
  for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(obj.positions[k].x, (k + 1) / 660.0f) << k;
  ASSERT_EQ(obj.faces.size(), 2u);
  EXPECT_EQ(obj.faces[1].v[0], 3);
  EXPECT_EQ(obj.faces[1].v[2], 5);
}

TEST(ObjParse, NumbersScaleAndOddForms) {
  ObjFile obj = Parse("v 660 -1.32e3 +.5\nv\t1e-3\t2E2   3\nvt .5\n", 1.0f);
  ASSERT_EQ(obj.positions.size(), 2u);
  ExpectNear3(obj.positions[0], 1.0f, -2.0f, 0.5f / 660.0f);
  ExpectNear3(obj.positions[1], 1e-3f / 660.0f, 200.0f / 660.0f, 3.0f / 660.0f);
  ASSERT_EQ(obj.uvs.size(), 2u);
  EXPECT_FLOAT_EQ(obj.uvs[0], 0.5f);
  EXPECT_FLOAT_EQ(obj.uvs[1], 0.0f);
}

TEST(ObjParse, HugeExponentsAndDigitRunsSaturate) {
  std::string many(400, '9');
  ObjFile obj = Parse("v 1e9999 1e-9999 " + many + "e300\nv 0e9999 " + many + "." + many + " -" + many + "\n", 1.0f);
  ASSERT_EQ(obj.positions.size(), 2u);
  EXPECT_TRUE(std::isinf(obj.positions[0].x));
  EXPECT_EQ(obj.positions[0].y, 0.0f);
  EXPECT_TRUE(std::isinf(obj.positions[0].z));
  EXPECT_EQ(obj.positions[1].x, 0.0f);
  EXPECT_TRUE(std::isinf(obj.positions[1].y));
}

TEST(ObjParse, BrokenFacesAreCountedNotKept) {
  ObjFile obj = Parse("v 0 0 0\nv 1 0 0\nf 1 2\nf\nf a b c\nf 0 1 2\nf -9 1 2\n");
  EXPECT_EQ(obj.faces.size(), 0u);
  EXPECT_EQ(obj.badFaces, 5u);
}

TEST(ObjParse, MaterialNamesAndLibraries) {
  ObjFile obj = Parse("mtllib a.mtl\nmtllib b.mtl c.mtl\nv 0 0 0\nusemtl stone wall\nf 1 1 1\nusemtl x\nf 1 1 1\nusemtl stone wall\nf 1 1 1\n");
  ASSERT_EQ(obj.materialFiles.size(), 2u);
  EXPECT_EQ(obj.materialFiles[1], "b.mtl c.mtl");
  ASSERT_EQ(obj.materialNames.size(), 2u);
  EXPECT_EQ(obj.materialNames[0], "stone wall");
  EXPECT_EQ(obj.faces[0].material, 0);
  EXPECT_EQ(obj.faces[1].material, 1);
  EXPECT_EQ(obj.faces[2].material, 0);
}

TEST(MtlParse, TextureNamesNormalised) {
  std::vector<ObjMaterial> mats;
  std::string text =
      "map_Kd orphan.png\n"
      "newmtl a\nKd 1 1 1\nmap_Kd ./tex/a.png\r\n"
      "newmtl b\nmap_Kd tex/a.png  \n"
      "newmtl c\nmap_Kd -s 1 1 1 -o 0 0 0 tex\\c.png\n";
  ParseMTL(text.data(), text.size(), &mats);
  ASSERT_EQ(mats.size(), 3u);
  EXPECT_EQ(mats[0].texture, "tex/a.png");
  EXPECT_EQ(mats[1].texture, "tex/a.png");
  EXPECT_EQ(mats[2].texture, "tex/c.png");
}

class ObjImport : public it::ImportTest {};

const char* kQuadObj =
    "mtllib other.mtl\n"
    "v 0 0 0\nv 660 0 0\nv 660 0 660\nv 0 0 660\n"
    "vt 0 0\nvt 1 0\nvt 1 0.25\n"
    "usemtl floor\n"
    "f 1/1 2/2 3/3\n"
    "usemtl none\n"
    "f 1 3 4\n";

TEST_F(ObjImport, AppendsTexturedTrianglesAndSelectsOnlyThem) {
  ASSERT_TRUE(gl.ok());
  // An older vertex in the level is deselected and keeps its place at the front.
  mesh_vert* old = NewEmptyMeshVert({5, 5, 5});
  old->selected = 1;
  baseMeshVert.next = old;

  Write("lvl/other.mtl", "newmtl floor\nmap_Kd ./tex/floor.png\n");
  Write("lvl/tex/floor.png", it::MakePNG(4, 4, 200, 100, 50));
  ImportModelWithAutoDetect(Path("lvl/room.obj").c_str(), 1.0f);  // missing: dialog only
  ASSERT_EQ(dialogs.texts().size(), 1u);
  EXPECT_EQ(dialogs.texts()[0], "An error occured while attempting to open the file.");
  Write("lvl/room.obj", kQuadObj);
  ImportModelWithAutoDetect(Path("lvl/room.obj").c_str(), 2.0f);

  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 5u);
  EXPECT_EQ(verts[0], old);
  EXPECT_EQ(old->selected, 0);
  for (size_t i = 1; i < verts.size(); i++) EXPECT_EQ(verts[i]->selected, 1);
  ExpectNear3(verts[2]->pos, 2.0f, 0.0f, 0.0f);  // 660 / 660 x 2

  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  it::ExpectLevelConsistent();
  EXPECT_EQ(it::EdgeCount(), 6u);
  level_triangle* floor = trigs[0]->vertexPtrs[1] == verts[2] ? trigs[0] : trigs[1];
  level_triangle* plain = floor == trigs[0] ? trigs[1] : trigs[0];
  EXPECT_NE(floor->theTexture, 0u);
  EXPECT_EQ(floor->theTexture, GetTextureByName("lvl/tex/floor.png"));
  EXPECT_FLOAT_EQ(floor->u[2], 1.0f);
  EXPECT_FLOAT_EQ(floor->v[2], 0.75f);  // v is flipped
  EXPECT_FLOAT_EQ(floor->v[0], 1.0f);
  // The textured material draws with its texture; the other stays on the default material.
  ASSERT_GT(floor->meshworkMaterial, 0);
  EXPECT_EQ(gMaterials[floor->meshworkMaterial].materialTexture, floor->theTexture);
  EXPECT_STREQ(gMaterials[floor->meshworkMaterial].fileName, "lvl/tex/floor.png");
  EXPECT_EQ(plain->theTexture, 0u);
  EXPECT_EQ(plain->meshworkMaterial, 0);
  EXPECT_EQ(plain->visible, 1);
  EXPECT_NEAR(floor->normal.y, -1.0f, 1e-5f);  // (1,0,0) x (1,0,1): winding from the file

  // A second import of the same file reuses the texture and the level material.
  uint32_t materials = gNumMaterials;
  ImportModelWithAutoDetect(Path("lvl/room.obj").c_str(), 1.0f);
  EXPECT_EQ(gNumMaterials, materials);
  EXPECT_EQ(it::Triangles().size(), 4u);
  EXPECT_EQ(it::Vertices().size(), 9u);
  EXPECT_EQ(it::Vertices()[1]->selected, 0);
  it::ExpectLevelConsistent();
}

TEST_F(ObjImport, DefaultMaterialFileIsTheObjsOwnName) {
  Write("a/b.mtl", "newmtl m\nmap_Kd t.png\n");
  Write("a/t.png", it::MakePNG(2, 2, 1, 2, 3));
  Write("a/b.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl m\nf 1 2 3\n");
  ImportModelWithAutoDetect(Path("a/b.obj").c_str(), 1.0f);
  ASSERT_EQ(it::Triangles().size(), 1u);
  EXPECT_EQ(it::Triangles()[0]->theTexture, GetTextureByName("a/t.png"));
  EXPECT_NE(it::Triangles()[0]->theTexture, 0u);
}

TEST_F(ObjImport, SeveralLibrariesAndAMissingTexture) {
  Write("m/one.mtl", "newmtl first\nmap_Kd one.png\n");
  Write("m/two.mtl", "newmtl second\nmap_Kd missing.png\n");
  Write("m/one.png", it::MakePNG(2, 2, 9, 9, 9));
  Write("m/x.obj", "mtllib one.mtl two.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl second\nf 1 2 3\nusemtl first\nf 1 2 3\n");
  ImportModelWithAutoDetect(Path("m/x.obj").c_str(), 1.0f);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  uint32_t textures = trigs[0]->theTexture + trigs[1]->theTexture;
  EXPECT_EQ(textures, GetTextureByName("m/one.png"));
  EXPECT_NE(console.text().find("// Load failed: "), std::string::npos);
}

TEST_F(ObjImport, FacesNamingMissingVerticesAreLeftOutAndReported) {
  Write("bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 99\nf 1/5 2/6 3/7\n");
  ImportModelWithAutoDetect(Path("bad.obj").c_str(), 1.0f);
  EXPECT_EQ(it::Triangles().size(), 2u);  // a missing pair reads as (0, 0)
  EXPECT_FLOAT_EQ(it::Triangles()[1]->v[0], 1.0f);
  EXPECT_NE(console.text().find("//"), std::string::npos);
  it::ExpectLevelConsistent();
}

TEST_F(ObjImport, FileOutsideTheGameFolderIsRefused) {
  std::string file = Write("x.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  ZNK_CopyString(routePath, "/no/such/game/", sizeof routePath);
  ImportWavefrontOBJModel(file.c_str(), 1.0f);
  EXPECT_TRUE(it::Triangles().empty());
  ASSERT_EQ(dialogs.texts().size(), 1u);
  EXPECT_EQ(dialogs.texts()[0],
            "The model file has to be in the Zyntrel folder or sub-folders of the Zyntrel folder.");
}

TEST_F(ObjImport, EmptyAndBinaryFilesLeaveTheLevelAsItWas) {
  Write("e.obj", "");
  ImportModelWithAutoDetect(Path("e.obj").c_str(), 1.0f);
  std::string junk;
  for (int i = 0; i < 4096; i++) junk.push_back(static_cast<char>((i * 7919) & 0xFF));
  junk[0] = 'v';
  junk[1] = ' ';
  Write("j.obj", junk);
  ImportModelWithAutoDetect(Path("j.obj").c_str(), 1.0f);
  it::ExpectLevelConsistent();
  EXPECT_TRUE(dialogs.texts().empty());
}

}  // namespace

namespace {

// The example game's arena, as tools/make_demo_level.py writes it.
TEST_F(ObjImport, DemoArenaImportsWithItsTextures) {
  ASSERT_TRUE(gl.ok());
  std::string game = std::string(ZYNTREL_SOURCE_DIR) + "/examples/demo/";
  ZNK_CopyString(routePath, game.c_str(), sizeof routePath);
  ImportModelWithAutoDetect((game + "arena/arena.obj").c_str(), 1.0f);
  EXPECT_TRUE(dialogs.texts().empty());
  EXPECT_EQ(console.text().find("//"), std::string::npos) << console.text();
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 198u);
  it::ExpectLevelConsistent();
  int textured = 0, facingUp = 0;
  for (level_triangle* t : trigs) {
    if (t->theTexture != 0 && gMaterials[t->meshworkMaterial].materialTexture == t->theTexture) textured++;
    if (t->normal.y > 0.99f) facingUp++;
  }
  EXPECT_EQ(textured, 198);
  EXPECT_GE(facingUp, 64);  // the floor alone is 8 x 8 squares
  EXPECT_NE(GetTextureByName("arena/textures/brick.png"), 0u);
  // The floor spans 32 world units at height 0.
  float minX = 1e9f, maxX = -1e9f;
  for (mesh_vert* v : it::Vertices()) {
    minX = std::min(minX, v->pos.x);
    maxX = std::max(maxX, v->pos.x);
  }
  EXPECT_NEAR(minX, -16.0f, 1e-4f);
  EXPECT_NEAR(maxX, 16.0f, 1e-4f);
}

}  // namespace

namespace {

TEST_F(ObjImport, MeshCommandTakesAQuotedNameOrStringRegisterOne) {
  Write("lvl/t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  char quoted[] = "\"lvl/t.obj\"";
  znkinstr_mesh(quoted, nullptr);
  EXPECT_EQ(it::Triangles().size(), 1u);
  ZNK_CopyString(gScriptVars.strings[0], "lvl/t.obj", sizeof gScriptVars.strings[0]);
  char empty[] = "";
  znkinstr_mesh(empty, nullptr);
  EXPECT_EQ(it::Triangles().size(), 2u);
  char bare[] = "lvl/t.obj";
  znkinstr_mesh(bare, nullptr);
  EXPECT_EQ(it::Triangles().size(), 2u);
  EXPECT_TRUE(dialogs.texts().empty());
  it::ExpectLevelConsistent();
}

}  // namespace
