// Lightwave import and the dispatch order: the mirrored z axis and x500 scale, reversed
// winding, quads and unsupported polygons, surfaces as level materials, planar and cubic
// projection, UV maps, and files cut short or lying about their sizes.
#include <gtest/gtest.h>

#include <cmath>

#include "import_test_helpers.h"
#include "models/import_dispatch.h"
#include "models/import_lwo.h"

namespace {

using it::Bytes;
using it::ExpectNear3;

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes c;
  c.str(id).u32(static_cast<uint32_t>(body.s.size())).str(body.s);
  if (body.s.size() % 2) c.u8(0);
  return c;
}
Bytes Sub(const char* id, const Bytes& body) {
  Bytes c;
  c.str(id).u16(static_cast<uint16_t>(body.s.size())).str(body.s);
  return c;
}
std::string Form(const std::vector<Bytes>& chunks, const char* type = "LWO2") {
  Bytes body;
  body.str(type);
  for (const Bytes& c : chunks) body.str(c.s);
  Bytes f;
  f.str("FORM").u32(static_cast<uint32_t>(body.s.size())).str(body.s);
  return f.s;
}
Bytes Points(const std::vector<vector_type>& pts) {
  Bytes b;
  for (const vector_type& p : pts) b.f32(p.x).f32(p.y).f32(p.z);
  return Chunk("PNTS", b);
}
Bytes Polygons(const std::vector<std::vector<int>>& polys) {
  Bytes b;
  b.str("FACE");
  for (const auto& p : polys) {
    b.u16(static_cast<uint16_t>(p.size()));
    for (int n : p) b.u16(static_cast<uint16_t>(n));
  }
  return Chunk("POLS", b);
}
Bytes Tags(const std::vector<std::string>& names) {
  Bytes b;
  for (const std::string& n : names) b.name(n);
  return Chunk("TAGS", b);
}
Bytes PolygonTags(const std::vector<std::pair<int, int>>& entries) {
  Bytes b;
  b.str("SURF");
  for (auto e : entries) b.u16(static_cast<uint16_t>(e.first)).u16(static_cast<uint16_t>(e.second));
  return Chunk("PTAG", b);
}
Bytes Surface(const std::string& name, int proj, int axis, vector_type center, vector_type size, int clip = -1,
              const std::string& vmap = "") {
  Bytes tmap;
  tmap.str(Sub("CNTR", Bytes().f32(center.x).f32(center.y).f32(center.z).u16(0)).s);
  tmap.str(Sub("SIZE", Bytes().f32(size.x).f32(size.y).f32(size.z).u16(0)).s);
  Bytes blok;
  blok.str(Sub("IMAP", Bytes().name("\x80").str(Sub("ENAB", Bytes().u16(1)).s)).s);
  blok.str(Sub("TMAP", tmap).s);
  blok.str(Sub("PROJ", Bytes().u16(static_cast<uint16_t>(proj))).s);
  blok.str(Sub("AXIS", Bytes().u16(static_cast<uint16_t>(axis))).s);
  if (clip >= 0) blok.str(Sub("IMAG", Bytes().u16(static_cast<uint16_t>(clip))).s);
  if (!vmap.empty()) blok.str(Sub("VMAP", Bytes().name(vmap)).s);
  Bytes body;
  body.name(name).name("");
  body.str(Sub("COLR", Bytes().f32(1).f32(1).f32(1).u16(0)).s);
  body.str(Sub("BLOK", blok).s);
  return Chunk("SURF", body);
}

class LwoImport : public it::ImportTest {};

TEST_F(LwoImport, PointsAreMirroredScaledAndWoundBackwards) {
  Write("m/tri.lwo", Form({Points({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}), Polygons({{0, 1, 2}})}));
  ImportModelWithAutoDetect(Path("m/tri.lwo").c_str(), 1.0f);
  auto verts = it::Vertices();
  ASSERT_EQ(verts.size(), 3u);
  const float k = 500.0f / 660.0f;
  ExpectNear3(verts[0]->pos, 1 * k, 2 * k, -3 * k);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 1u);
  EXPECT_EQ(trigs[0]->vertexPtrs[0], verts[1]);
  EXPECT_EQ(trigs[0]->vertexPtrs[1], verts[0]);
  EXPECT_EQ(trigs[0]->vertexPtrs[2], verts[2]);
  EXPECT_EQ(it::EdgeCount(), 3u);
  it::ExpectLevelConsistent();
}

TEST_F(LwoImport, QuadsSplitPointsSkippedPentagonsCounted) {
  Write("m/p.lwo", Form({Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 2, 0}}),
                         Polygons({{0, 1, 2, 3}, {4}, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}, {0, 1}})}));
  ImportModelWithAutoDetect(Path("m/p.lwo").c_str(), 1.0f);
  EXPECT_EQ(it::Triangles().size(), 2u);
  EXPECT_NE(console.text().find("// 3 polys have an unsupported amount of vertices, ie not 1,3 or 4 and will be ignored.\n"),
            std::string::npos);
  for (level_triangle* t : it::Triangles()) EXPECT_EQ(t->numConnects, 0);
}

TEST_F(LwoImport, SurfacesBecomeMaterialsWithPlanarAndCubicProjection) {
  // Polygon 0 on surface "floor" (planar on y, centre 0, size 2); polygon 1 on "box" (cubic).
  Write("m/s.lwo", Form({Tags({"floor", "box"}), Points({{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}}),
                         Polygons({{0, 1, 2}, {0, 2, 1}}), PolygonTags({{0, 0}, {1, 1}}),
                         Surface("floor", 0, 1, {0, 0, 0}, {2, 2, 2}),
                         Surface("box", 3, 0, {0, 0, 0}, {4, 4, 4})}));
  uint32_t before = gNumMaterials;
  ImportModelWithAutoDetect(Path("m/s.lwo").c_str(), 1.0f);
  ASSERT_EQ(gNumMaterials, before + 2);
  EXPECT_STREQ(gMaterials[before].name, "floor");
  auto verts = it::Vertices();
  level_triangle* floor = nullptr;
  level_triangle* box = nullptr;
  for (level_triangle* t : it::Triangles()) (t->meshworkMaterial == static_cast<int>(before) ? floor : box) = t;
  ASSERT_NE(floor, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->meshworkMaterial, static_cast<int>(before + 1));
  // Corner 1 of the floor triangle is file point 0 at x = 1: u = 1 / 2 + 0.5.
  ASSERT_EQ(floor->vertexPtrs[1], verts[0]);
  EXPECT_FLOAT_EQ(floor->u[1], 1.0f);
  EXPECT_FLOAT_EQ(floor->v[1], 1.0f - (0.0f + 0.5f));
  // Point 2 at file z = 1 is mirrored to -1: v = 1 - (-1 / 2 + 0.5) = 1.
  EXPECT_FLOAT_EQ(floor->v[2], 1.0f);
  // The cubic triangle faces along y, so it maps like planar on the y axis with size 4:
  // its corner 1 is file point 0 at x = 1.
  EXPECT_FLOAT_EQ(box->u[0], 0.5f);
  EXPECT_FLOAT_EQ(box->u[1], 1.0f / 4 + 0.5f);
  // Cubic is mapped, yet counts among the modes the message names as unsupported.
  EXPECT_NE(console.text().find("unsupported mapping"), std::string::npos);
}

TEST_F(LwoImport, PolygonWithoutTagTakesTheSurfaceOfTagZero) {
  // Only polygon 1 has a polygon-tag entry; polygon 0 takes tag 0, "floor", and its planar
  // projection, although "box" is the material added last.
  Write("m/t.lwo", Form({Tags({"floor", "box"}), Points({{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}}),
                         Polygons({{0, 1, 2}, {0, 2, 1}}), PolygonTags({{1, 1}}),
                         Surface("floor", 0, 1, {0, 0, 0}, {2, 2, 2}),
                         Surface("box", 3, 0, {0, 0, 0}, {4, 4, 4})}));
  uint32_t before = gNumMaterials;
  ImportModelWithAutoDetect(Path("m/t.lwo").c_str(), 1.0f);
  ASSERT_EQ(gNumMaterials, before + 2);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 2u);
  level_triangle* untagged = trigs[0]->numConnects == 0 ? trigs[0] : trigs[1];
  EXPECT_EQ(untagged->meshworkMaterial, static_cast<int>(before));
  EXPECT_FLOAT_EQ(untagged->u[1], 1.0f);
  EXPECT_FLOAT_EQ(untagged->v[2], 1.0f);
}

TEST_F(LwoImport, UVMapsWithClipTextureAndPerPolygonOverrides) {
  ASSERT_TRUE(gl.ok());
  Write("m/wood.png", it::MakePNG(2, 2, 120, 80, 40));
  Bytes clip;
  clip.u32(1).str(Sub("STIL", Bytes().name("C:/art/wood.png")).s);
  Bytes vmap;
  vmap.str("TXUV").u16(2).name("uv1");
  vmap.u16(0).f32(0.25f).f32(0.5f).u16(1).f32(1).f32(1).u16(2).f32(0).f32(0);
  Bytes vmad;
  vmad.str("TXUV").u16(2).name("uv1");
  vmad.u16(2).u16(0).f32(0.5f).f32(0.125f);
  Write("m/uv.lwo", Form({Tags({"wood"}), Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Chunk("VMAP", vmap),
                          Polygons({{0, 1, 2}}), PolygonTags({{0, 0}}), Chunk("VMAD", vmad), Chunk("CLIP", clip),
                          Surface("wood", 5, 0, {0, 0, 0}, {1, 1, 1}, 1, "uv1")}));
  ImportModelWithAutoDetect(Path("m/uv.lwo").c_str(), 1.0f);
  auto trigs = it::Triangles();
  ASSERT_EQ(trigs.size(), 1u);
  level_triangle* t = trigs[0];
  uint32_t texture = GetTextureByName("m/wood.png");
  EXPECT_NE(texture, 0u);
  EXPECT_EQ(t->theTexture, texture);
  const zntlmtrl& m = gMaterials[t->meshworkMaterial];
  EXPECT_EQ(m.materialTexture, texture);
  EXPECT_EQ(m.mapType, 4);
  // Corner 1 is point 0: (0.25, 1 - 0.5).
  EXPECT_FLOAT_EQ(t->u[1], 0.25f);
  EXPECT_FLOAT_EQ(t->v[1], 0.5f);
  // Corner 2 is point 2, overridden for polygon 0.
  EXPECT_FLOAT_EQ(t->u[2], 0.5f);
  EXPECT_FLOAT_EQ(t->v[2], 0.875f);
}

TEST_F(LwoImport, UnsupportedProjectionAndInvalidForm) {
  Write("m/c.lwo", Form({Tags({"s"}), Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Polygons({{0, 1, 2}}),
                         PolygonTags({{0, 0}}), Surface("s", 2, 0, {0, 0, 0}, {1, 1, 1})}));
  ImportModelWithAutoDetect(Path("m/c.lwo").c_str(), 1.0f);
  EXPECT_NE(console.text().find("// The model uses unsupported mapping modes. Only Planar and UV mapping are supported.\n"),
            std::string::npos);
  ASSERT_EQ(it::Triangles().size(), 1u);
  EXPECT_FLOAT_EQ(it::Triangles()[0]->u[0], 0.0f);
  Write("m/bad.lwo", "FORX....LWO2");
  ImportLightwaveModel(Path("m/bad.lwo").c_str(), 1.0f);
  ASSERT_EQ(dialogs.texts().size(), 1u);
  EXPECT_EQ(dialogs.texts()[0], "This is no valid LWO model.");
}

TEST_F(LwoImport, EveryCutOfAFileAndLyingLengthsReadSafely) {
  std::string file = Form({Tags({"floor"}), Points({{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {3, 3, 3}}),
                           Polygons({{0, 1, 2}, {0, 1, 2, 3}}), PolygonTags({{0, 0}, {1, 0}}),
                           Surface("floor", 0, 1, {0, 0, 0}, {0, 0, 0})});
  for (size_t cut = 12; cut <= file.size(); cut += 3) {
    Write("m/cut.lwo", file.substr(0, cut));
    ImportModelWithAutoDetect(Path("m/cut.lwo").c_str(), 1.0f);
  }
  it::ExpectLevelConsistent();
  // Lengths far beyond the file, and a form size of zero.
  std::string liar = file;
  for (size_t i = 12; i + 8 < liar.size(); i += 17) liar[i] = '\xff';
  Write("m/liar.lwo", liar);
  ImportModelWithAutoDetect(Path("m/liar.lwo").c_str(), 1.0f);
  std::string empty = file;
  empty[4] = empty[5] = empty[6] = empty[7] = 0;
  Write("m/empty.lwo", empty);
  size_t before = it::Triangles().size();
  ImportModelWithAutoDetect(Path("m/empty.lwo").c_str(), 1.0f);
  EXPECT_EQ(it::Triangles().size(), before);
  it::ExpectLevelConsistent();
  for (level_triangle* t : it::Triangles()) {
    for (int k = 0; k < 3; k++) EXPECT_TRUE(std::isfinite(t->u[k]) && std::isfinite(t->v[k]));
  }
}

TEST_F(LwoImport, ManySmallUVMapsCostWhatTheyHold) {
  // Thousands of one-entry maps over a large point chunk: each map keeps only its entry,
  // and the last map decides the texture coordinates of the corner it names.
  std::vector<vector_type> pts(60000, {0, 0, 0});
  pts[1] = {1, 0, 0};
  pts[2] = {0, 1, 0};
  std::vector<Bytes> chunks = {Points(pts), Polygons({{0, 1, 2}})};
  for (int i = 0; i < 4000; i++) {
    Bytes vmap;
    vmap.str("TXUV").u16(2).name("m" + std::to_string(i)).u16(0).f32(i / 4000.0f).f32(0);
    chunks.push_back(Chunk("VMAP", vmap));
  }
  Write("m/maps.lwo", Form(chunks));
  ImportModelWithAutoDetect(Path("m/maps.lwo").c_str(), 1.0f);
  ASSERT_EQ(it::Triangles().size(), 1u);
  EXPECT_FLOAT_EQ(it::Triangles()[0]->u[1], 3999 / 4000.0f);  // corner 1 is point 0
  EXPECT_FLOAT_EQ(it::Triangles()[0]->v[1], 1.0f);
}

class Dispatch : public it::ImportTest {};

TEST_F(Dispatch, HeaderBytesDecideBeforeTheName) {
  // A Lightwave file named .obj still goes to the Lightwave reader.
  Write("d/real.obj", Form({Points({{660, 0, 0}, {0, 660, 0}, {0, 0, 660}}), Polygons({{0, 1, 2}})}));
  gXLocked = 1;
  ImportModelWithAutoDetect(Path("d/real.obj").c_str(), 1.0f);
  EXPECT_EQ(gXLocked, 0);
  ASSERT_EQ(it::Vertices().size(), 3u);
  EXPECT_NEAR(it::Vertices()[0]->pos.x, 500.0f, 1e-3f);

  // The OBJ ending counts as the game wrote it: an upper-case OBJ name with no known header
  // is not supported; a lower-case one names the same file in another case and is read.
  Write("d/upper.OBJ", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  ImportModelWithAutoDetect(Path("d/upper.OBJ").c_str(), 1.0f);
  EXPECT_EQ(it::Triangles().size(), 1u);
  ImportModelWithAutoDetect(Path("d/UPPER.obj").c_str(), 1.0f);
  EXPECT_EQ(it::Triangles().size(), 2u);
  ASSERT_EQ(dialogs.texts().size(), 1u);
  EXPECT_EQ(dialogs.texts()[0],
            "That file format is not supported. Only WTF, Meshwork, Coalesce, 3DS, OBJ and LWO are supported as of "
            "now.");
  EXPECT_EQ(it::Triangles().size(), 2u);

  // "MM" wins over the .obj name; a short file is read as far as it goes.
  Write("d/mm.obj", "MM");
  ImportModelWithAutoDetect(Path("d/mm.obj").c_str(), 1.0f);
  EXPECT_EQ(it::Triangles().size(), 2u);
  EXPECT_EQ(dialogs.texts().size(), 1u);
}

}  // namespace
