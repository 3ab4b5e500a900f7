// 3DS and Coalesce import: axes and units, objects numbering their own vertices, face
// materials with mapping coordinates, texture numbers, and malformed files.
#include <gtest/gtest.h>

#include <array>

#include "import_test_helpers.h"
#include "models/import_3ds.h"
#include "models/import_coalesce.h"
#include "models/import_dispatch.h"

namespace {

using it::Bytes;
using it::ExpectNear3;

Bytes Chunk(uint16_t id, const Bytes& body) {
  Bytes c;
  c.big = false;
  c.u16(id).u32(static_cast<uint32_t>(body.s.size() + 6)).str(body.s);
  return c;
}
Bytes LE() {
  Bytes b;
  b.big = false;
  return b;
}
Bytes Vertices(const std::vector<vector_type>& pts) {
  Bytes b = LE();
  b.u16(static_cast<uint16_t>(pts.size()));
  for (const vector_type& p : pts) b.f32(p.x).f32(p.y).f32(p.z);
  return Chunk(0x4110, b);
}
Bytes Mapping(const std::vector<std::pair<float, float>>& uvs) {
  Bytes b = LE();
  b.u16(static_cast<uint16_t>(uvs.size()));
  for (auto uv : uvs) b.f32(uv.first).f32(uv.second);
  return Chunk(0x4140, b);
}
// Faces with the face-material chunk nested inside, as exporters write it.
Bytes Faces(const std::vector<std::array<int, 3>>& faces, const std::string& material = "",
            const std::vector<int>& faceNumbers = {}) {
  Bytes b = LE();
  b.u16(static_cast<uint16_t>(faces.size()));
  for (auto f : faces) b.u16(f[0]).u16(f[1]).u16(f[2]).u16(7);
  if (!material.empty()) {
    Bytes m = LE();
    m.str(material).u8(0).u16(static_cast<uint16_t>(faceNumbers.size()));
    for (int n : faceNumbers) m.u16(static_cast<uint16_t>(n));
    b.str(Chunk(0x4130, m).s);
  }
  return Chunk(0x4120, b);
}
Bytes Object(const std::string& name, const std::vector<Bytes>& parts) {
  Bytes mesh = LE();
  for (const Bytes& p : parts) mesh.str(p.s);
  Bytes o = LE();
  o.str(name).u8(0).str(Chunk(0x4100, mesh).s);
  return Chunk(0x4000, o);
}
Bytes Material(const std::string& name, const std::string& map) {
  Bytes m = LE();
  m.str(Chunk(0xA000, LE().str(name).u8(0)).s);
  m.str(Chunk(0xA010, LE().u8(1).u8(2).u8(3)).s);
  m.str(Chunk(0xA200, LE().str(Chunk(0x0030, LE().u16(100)).s).str(Chunk(0xA300, LE().str(map).u8(0)).s)).s);
  return Chunk(0xAFFF, m);
}
std::string File(const std::vector<Bytes>& editorParts) {
  Bytes editor = LE();
  editor.str(Chunk(0x3D3E, LE().u32(3)).s);
  for (const Bytes& p : editorParts) editor.str(p.s);
  Bytes main = LE();
  main.str(Chunk(0x0002, LE().u32(3)).s);
  main.str(Chunk(0x3D3D, editor).s);
  return Chunk(0x4D4D, main).s;
}

class Import3DS : public it::ImportTest {};

TEST_F(Import3DS, AxesUnitsAndTwoObjects) {
  Write("m/a.3ds", File({Object("one", {Vertices({{660, 1320, 1980}, {0, 0, 0}, {660, 0, 0}}), Faces({{0, 1, 2}})}),
                         Object("two", {Vertices({{0, 0, 0}, {0, 660, 0}, {0, 0, 660}}), Faces({{2, 1, 0}, {0, 1, 9}})})}));
  ImportModelWithAutoDetect(Path("m/a.3ds").c_str(), 1.0f);
  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 6u);
  ExpectNear3(verts[0]->pos, 1, 3, -2);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);  // the face naming vertex 9 is left out
  level_triangle* second = trigs[0]->vertexPtrs[0] == verts[5] ? trigs[0] : trigs[1];
  EXPECT_EQ(second->vertexPtrs[0], verts[5]);  // object two's vertex 2
  EXPECT_EQ(second->vertexPtrs[2], verts[3]);
  for (mesh_vert* v : verts) EXPECT_EQ(v->selected, 1);
  EXPECT_EQ(it::EdgeCount(), 6u);
  it::ExpectLevelConsistent();
}

TEST_F(Import3DS, FaceMaterialTexturesAndMappingCoordinates) {
  ASSERT_TRUE(gl.ok());
  Write("m/brick.png", it::MakePNG(2, 2, 150, 30, 30));
  Write("m/b.3ds", File({Material("Brick", "brick.png"),
                         Object("wall", {Vertices({{0, 0, 0}, {660, 0, 0}, {0, 0, 660}, {660, 0, 660}}),
                                         Mapping({{0, 0}, {1, 0}, {0, 0.25f}, {1, 1}}),
                                         Faces({{0, 1, 2}, {1, 3, 2}}, "Brick", {1})})}));
  ImportModelWithAutoDetect(Path("m/b.3ds").c_str(), 1.0f);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  level_triangle* textured = trigs[0]->theTexture ? trigs[0] : trigs[1];
  level_triangle* plain = textured == trigs[0] ? trigs[1] : trigs[0];
  EXPECT_EQ(textured->numConnects, 1);
  EXPECT_EQ(plain->numConnects, 0);
  EXPECT_EQ(textured->theTexture, GetTextureByName("m/brick.png"));
  EXPECT_NE(textured->theTexture, 0u);
  EXPECT_EQ(gMaterials[textured->meshworkMaterial].materialTexture, textured->theTexture);
  EXPECT_FLOAT_EQ(textured->u[1], 1.0f);  // vertex 3
  EXPECT_FLOAT_EQ(textured->v[2], 0.75f);  // vertex 2: 1 - 0.25
  EXPECT_EQ(plain->theTexture, 0u);
}

TEST_F(Import3DS, NotAMainChunkAndEveryCutOfAFile) {
  Write("m/x.3ds", std::string("MN\x06\0\0\0", 6));
  ImportMeshFrom3DS(Path("m/x.3ds").c_str(), 1.0f);
  EXPECT_TRUE(it::Triangles().empty());
  std::string file = File({Material("M", "none.png"),
                           Object("o", {Vertices({{0, 0, 0}, {660, 0, 0}, {0, 0, 660}}), Mapping({{0, 0}}),
                                        Faces({{0, 1, 2}, {2, 1, 0}}, "M", {0, 1, 5})})});
  for (size_t cut = 2; cut < file.size(); cut += 2) {
    Write("m/cut.3ds", file.substr(0, cut));
    ImportModelWithAutoDetect(Path("m/cut.3ds").c_str(), 1.0f);
  }
  Write("m/whole.3ds", file);
  ImportModelWithAutoDetect(Path("m/whole.3ds").c_str(), 1.0f);
  // Lengths that point far past the end of the file or back into their own header.
  std::string liar = file;
  for (size_t i = 2; i + 4 < liar.size(); i += 11) liar[i] = '\xff';
  Write("m/liar.3ds", liar);
  ImportModelWithAutoDetect(Path("m/liar.3ds").c_str(), 1.0f);
  std::string zero = file;
  zero[8] = zero[9] = zero[10] = zero[11] = 0;
  Write("m/zero.3ds", zero);
  ImportModelWithAutoDetect(Path("m/zero.3ds").c_str(), 1.0f);
  it::ExpectLevelConsistent();
  EXPECT_FALSE(it::Triangles().empty());
}

class ImportCoalesce : public it::ImportTest {};

TEST_F(ImportCoalesce, VerticesTrianglesAndNumberedTextures) {
  ASSERT_TRUE(gl.ok());
  Write("m/c.coal3.png", it::MakePNG(2, 2, 0, 200, 0));
  Write("m/c.coal",
        "Coalesce\nVERTICES\t3\n0\t0\t0\t\n660\t0\t0\t\n0\t1320\t0\t\nTRIANGLES\t2\n"
        "0\t1\t2\t3\n0.0\t0.0\t1.0\t0.0\t0.0\t0.25\n"
        "2\t1\t0\t40\n0\t0\t0\t0\t0\t0\n");
  ImportModelWithAutoDetect(Path("m/c.coal").c_str(), 1.0f);
  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 3u);
  ExpectNear3(verts[2]->pos, 0, 2, 0);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  level_triangle* three = trigs[0]->meshworkMaterial == 3 ? trigs[0] : trigs[1];
  level_triangle* forty = three == trigs[0] ? trigs[1] : trigs[0];
  EXPECT_EQ(three->meshworkMaterial, 3);
  EXPECT_EQ(three->theTexture, GetTextureByName("m/c.coal3.png"));
  EXPECT_NE(three->theTexture, 0u);
  EXPECT_FLOAT_EQ(three->v[2], 0.75f);
  EXPECT_EQ(forty->theTexture, 0u);  // numbers beyond 31 have no texture file
  EXPECT_EQ(it::EdgeCount(), 6u);
  it::ExpectLevelConsistent();
}

TEST_F(ImportCoalesce, WrongHeaderAndLyingCounts) {
  Write("m/n.coal", "Coalescence\nVERTICES\t1\n0\t0\t0\n");
  ImportCoalesceModel(Path("m/n.coal").c_str(), 1.0f);
  ASSERT_EQ(dialogs.texts().size(), 1u);
  EXPECT_EQ(dialogs.texts()[0], "This is no valid Coalesce model.");

  ImportMesh mesh;
  std::string lies = "Coalesce\nVERTICES\t2000000000\n1\t2\t3\n4\t5\t6\n7\t8\t9\n";
  ASSERT_EQ(ParseCoalesce(lies.data(), lies.size(), 1.0f, &mesh), 1);
  EXPECT_LE(mesh.positions.size(), 3u);
  ImportMesh mesh2;
  std::string bad = "Coalesce\nVERTICES\t3\n0\t0\t0\n1\t0\t0\n0\t1\t0\nTRIANGLES\t99999\n0\t1\t7\t0\n\n-1\t0\t1\t0\n\n0\t1\t2\t-5\n";
  ASSERT_EQ(ParseCoalesce(bad.data(), bad.size(), 1.0f, &mesh2), 1);
  ASSERT_EQ(mesh2.triangles.size(), 1u);
  EXPECT_EQ(mesh2.triangles[0].meshworkMaterial, 0);
}

}  // namespace
