// Meshwork level reader: vertices with bone names, edges, the eight-material limit, planar
// mapping and texture-coordinate blocks, the engine's texture sections, new elements in front
// of the old level, and files that end early or name vertices they do not have.
#include <gtest/gtest.h>

#include "import_test_helpers.h"
#include "models/import_dispatch.h"
#include "world/meshwork_reader.h"

namespace {

using it::ExpectNear3;

std::string Header() { return "Mesh\t1\t1\nsaved by hand\n"; }
std::string Verts() {
  return "0\t0\t0\t0\tAB\t\t50\tHEAD\n"
         "1\t660\t0\t0\n"
         "2\t0\t0\t660\tCD\tEF\n"
         "EDGES\n0\t1\n1\t2\n0\t7\n";
}
std::string Material(int smooth = 0, int mapType = 0, int axis = 0, float size = 1, int blend = 0) {
  char line[256];
  std::snprintf(line, sizeof line, "MATERIAL\t255\t255\t255\t%d\t%d\t0\t%d\t0\t0\t0\t%f\t%f\t%f\t%d\n", smooth, mapType,
                axis, size, size, size, blend);
  return line;
}

class MeshworkImport : public it::ImportTest {};

TEST_F(MeshworkImport, NewElementsGoInFrontAndCarryTheirFields) {
  mesh_vert* old = NewEmptyMeshVert({9, 9, 9});
  old->selected = 1;
  baseMeshVert.next = old;
  Write("l/a.msh", Header() + Verts() + Material(1, 0, 0, 1, 1) + "0\t1\t2\n2\t1\t9\nMATERIAL name\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t1\t1\t1\t0\n2\t1\t0\nEND\n");
  ImportModelWithAutoDetect(Path("l/a.msh").c_str(), 2.0f);
  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 4u);
  EXPECT_EQ(verts[3], old);
  EXPECT_EQ(old->selected, 0);
  EXPECT_EQ(verts[0]->selected, 1);
  ExpectNear3(verts[1]->pos, 2, 0, 0);
  EXPECT_STREQ(verts[0]->bone1, "AB");
  EXPECT_STREQ(verts[0]->bone2, "None");
  EXPECT_EQ(verts[0]->weight, 50);
  EXPECT_EQ(verts[0]->isBone, 1);
  EXPECT_STREQ(verts[0]->signature, "HEAD");
  EXPECT_EQ(verts[1]->weight, 100);
  EXPECT_EQ(verts[1]->isBone, 0);
  EXPECT_STREQ(verts[2]->bone2, "EF");
  EXPECT_EQ(it::EdgeCount(), 2u);  // the edge naming vertex 7 is left out
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  for (level_triangle* t : trigs) {
    if (t->meshworkMaterial == 0) {
      EXPECT_EQ(t->smooth, 1);
      EXPECT_EQ(t->transparent, 1);
    } else {
      EXPECT_EQ(t->meshworkMaterial, 1);
      EXPECT_EQ(t->smooth, 0);
    }
  }
  it::ExpectLevelConsistent();
}

TEST_F(MeshworkImport, OnlyEightMaterialsAreRead) {
  std::string text = Header() + Verts();
  for (int m = 0; m < 10; m++) text += Material() + "0\t1\t2\n";
  text += "END\n";
  Write("l/nine.msh", text);
  LoadTrianglesFromMeshworkModel(Path("l/nine.msh").c_str(), 1.0f, 0);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 8u);
  for (level_triangle* t : trigs) EXPECT_LT(t->meshworkMaterial, 8);
}

TEST_F(MeshworkImport, PlanarMappingTexturesAndFlippedV) {
  ASSERT_TRUE(gl.ok());
  Write("l/p.msh0.png", it::MakePNG(2, 2, 10, 20, 30));
  gSwapTextureV = 0;
  // Axis 1 (y): u from x, v from z, over a map of 1320 file units centred on 0.
  Write("l/p.msh", Header() + Verts() + Material(0, 1, 1, 1320) + "0\t1\t2\n" + Material() + "2\t1\t0\nEND\n");
  LoadTrianglesFromMeshworkModel(Path("l/p.msh").c_str(), 1.0f, 0);
  EXPECT_EQ(gSwapTextureV, 1);
  uint32_t texture = GetTextureByName("l/p.msh0.png");
  ASSERT_NE(texture, 0u);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  level_triangle* planar = trigs[0]->meshworkMaterial == 0 ? trigs[0] : trigs[1];
  level_triangle* second = planar == trigs[0] ? trigs[1] : trigs[0];
  EXPECT_EQ(planar->theTexture, texture);
  EXPECT_FLOAT_EQ(planar->u[1], 1.0f);   // x = 660
  EXPECT_FLOAT_EQ(planar->v[1], 0.5f);   // z = 0, flipped
  EXPECT_NEAR(planar->v[2], 0.0f, 1e-6f);  // z = 660, flipped
  EXPECT_EQ(second->theTexture, texture);  // map type 0 keeps the texture in force
}

TEST_F(MeshworkImport, TextureBlocksAndEngineTextureSections) {
  ASSERT_TRUE(gl.ok());
  Write("tex/stone.png", it::MakePNG(2, 2, 90, 90, 90));
  gSwapTextureV = 1;
  Write("l/t.msh", Header() + Verts() + Material() + "0\t1\t2\n2\t1\t0\nUVS\n0\t0.25\t0.5\n1\t1\t0\n" +
                       "END\nZNK_TEXTURES\n4\t0,0\t1,0\t0,1\tts\n5\t0.5,0.5\t1,1\t0,0\ti\nFILES\n4\ttex/stone.png\nEND\n");
  LoadTrianglesFromMeshworkModel(Path("l/t.msh").c_str(), 1.0f, 0);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  level_triangle* first = trigs[0]->numConnects == 4 ? trigs[0] : trigs[1];
  level_triangle* second = first == trigs[0] ? trigs[1] : trigs[0];
  EXPECT_EQ(first->numConnects, 4);
  EXPECT_EQ(first->transparent, 1);
  EXPECT_EQ(first->smooth, 1);
  EXPECT_EQ(first->invisible, 0);
  EXPECT_EQ(first->theTexture, GetTextureByName("tex/stone.png"));
  EXPECT_NE(first->theTexture, 0u);
  EXPECT_FLOAT_EQ(first->u[1], 1.0f);
  EXPECT_EQ(second->numConnects, 5);
  EXPECT_EQ(second->invisible, 1);
  EXPECT_EQ(second->theTexture, 0u);
  EXPECT_FLOAT_EQ(second->u[0], 0.5f);
  // The block's values stay on the vertices, v flipped.
  auto verts = it::Vertices();
  EXPECT_FLOAT_EQ(verts[0]->u, 0.25f);
  EXPECT_FLOAT_EQ(verts[0]->v, 0.5f);
  EXPECT_FLOAT_EQ(verts[1]->v, 1.0f);
}

// Right after an import, before any rebuild, the level's vertices are numbered 0..n-1 in list
// order, whether the file's vertices went in front (Meshwork) or after the level's (OBJ), and
// the next vertex made takes number n.
TEST_F(MeshworkImport, ImportsLeaveTheVertexListNumberedInOrder) {
  auto expectNumbered = [](const char* after) {
    uint32_t i = 0;
    for (mesh_vert* v : it::Vertices()) EXPECT_EQ(v->index, i++) << after;
    mesh_vert* next = NewEmptyMeshVert({0, 0, 0});
    EXPECT_EQ(next->index, i) << after;
    FreeMeshVert(next);
  };
  Write("l/a.obj", "v 0 0 0\nv 660 0 0\nv 0 0 660\nv 660 0 660\nf 1 2 3\nf 2 4 3\n");
  ImportModelWithAutoDetect(Path("l/a.obj").c_str(), 1.0f);
  ASSERT_EQ(it::Vertices().size(), 4u);
  expectNumbered("the first OBJ");
  // Vertex numbers in a Meshwork file need not start at 0 or follow the lines.
  Write("l/b.msh", Header() + "2\t0\t0\t0\n0\t660\t0\t0\n1\t0\t0\t660\nEDGES\n" + Material() + "0\t1\t2\nEND\n");
  ImportModelWithAutoDetect(Path("l/b.msh").c_str(), 1.0f);
  ASSERT_EQ(it::Vertices().size(), 7u);
  expectNumbered("the Meshwork file");
  ImportModelWithAutoDetect(Path("l/a.obj").c_str(), 1.0f);
  ASSERT_EQ(it::Vertices().size(), 11u);
  expectNumbered("the second OBJ");
  // The Meshwork file's triangle names its vertices by their numbers in the file.
  level_triangle* t = it::Triangles()[0];
  ExpectNear3(t->vertexPtrs[0]->pos, 1, 0, 0);
  ExpectNear3(t->vertexPtrs[2]->pos, 0, 0, 0);
}

TEST_F(MeshworkImport, NotMeshworkChangesNothingCutFilesStaySound) {
  Write("l/no.msh", "Mesh\t2\t1\n");
  LoadTrianglesFromMeshworkModel(Path("l/no.msh").c_str(), 1.0f, 0);
  EXPECT_NE(console.text().find("Not a valid meshwork file: \"" + Path("l/no.msh") + "\"\n"), std::string::npos);
  EXPECT_TRUE(it::Vertices().empty());

  std::string full = Header() + Verts() + Material(0, 1, 2, 0) + "0\t1\t2\nUVS\n0\t1\t1\n" + Material() +
                     "1\t2\t0\n0\nEND\nZNK_TEXTURES\n1\t0,0\t1,1\t2,2\tt\n2\t0,0\n3\t0,0\t0,0\t0,0\tsss\nFILES\n1\tx.png\nUV_FIX\n";
  for (size_t cut = 8; cut <= full.size(); cut += 5) {
    Write("l/cut.msh", full.substr(0, cut));
    LoadTrianglesFromMeshworkModel(Path("l/cut.msh").c_str(), 1.0f, cut % 2);
    it::ExpectLevelConsistent();
  }
  // With clearAll the level holds exactly the last file read.
  Write("l/cut.msh", full);
  LoadTrianglesFromMeshworkModel(Path("l/cut.msh").c_str(), 1.0f, 1);
  EXPECT_EQ(it::Vertices().size(), 3u);
  EXPECT_EQ(it::Triangles().size(), 2u);
}

}  // namespace
