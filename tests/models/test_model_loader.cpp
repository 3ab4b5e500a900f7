// The skinned model loader: header reports, the embedded image, bones, 660 scaling, edges,
// materials and their seams, animations, bounds, and malformed files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model_test_helpers.h"
#include "support/test_support.h"

namespace {

zmw::Model TwoBoneModel() {
  zmw::Model m;
  m.author = "";
  m.date = "";
  m.bones = {{"hip", 0, 1}, {"leg", 7, 2}};
  for (int i = 0; i < 8; i++) m.vertices.push_back({float(i), float(i) * 2, -float(i), i < 4 ? 1 : 2});
  m.edges = {{0, 1}, {6, 7}};
  return m;
}

TEST(ModelLoader, EmptyModelWithFinalCountWithoutLineEndLoads) {
  zmw::Model m;
  m.author = m.date = "";
  m.finalLineEnd = false;
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(mdl->numBones, 0u);
  EXPECT_STREQ(mdl->bones[0].signature, "None");
  EXPECT_EQ(mdl->bones[0].parent, nullptr);
  EXPECT_EQ(mdl->numVertices, 0u);
  EXPECT_EQ(mdl->numMaterials, 0u);
  EXPECT_EQ(mdl->numAnimations, 0u);
  EXPECT_EQ(mdl->animations, nullptr);
  EXPECT_EQ(mdl->transformNormals, 1);
  EXPECT_EQ(mdl->editing, 0);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, PathSplitsIntoDirectoryAndSignature) {
  zmw::Model m;
  m.author = m.date = "";
  zntlmdl* mdl = mt::Load(m, "a/b/robot.wtf");
  ASSERT_NE(mdl, nullptr);
  EXPECT_STREQ(mdl->directory, "a/b/");
  EXPECT_STREQ(mdl->signature, "robot.wtf");
  Dispose_Zyntrel_Mdl(mdl);
  mdl = mt::Load(m, "plain.wtf");
  ASSERT_NE(mdl, nullptr);
  EXPECT_STREQ(mdl->directory, "");
  EXPECT_STREQ(mdl->signature, "plain.wtf");
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, BonesVerticesAndEdges) {
  zntlmdl* mdl = mt::Load(TwoBoneModel());
  ASSERT_NE(mdl, nullptr);
  ASSERT_EQ(mdl->numBones, 2u);
  EXPECT_STREQ(mdl->bones[1].signature, "hip");
  EXPECT_STREQ(mdl->bones[2].signature, "leg");
  // 0,1 hangs from the root; 7,2 hangs from bone 1 with its pivot at vertex 7.
  EXPECT_EQ(mdl->bones[1].parent, &mdl->bones[0]);
  EXPECT_EQ(mdl->bones[2].parent, &mdl->bones[1]);
  EXPECT_FLOAT_EQ(mdl->bones[2].pos.x, 7.0f);
  EXPECT_FLOAT_EQ(mdl->bones[2].pos.y, 14.0f);
  EXPECT_EQ(mdl->bones[1].currentAnimation, -1);
  ASSERT_EQ(mdl->bones[0].numSubBones, 1u);
  EXPECT_EQ(mdl->bones[0].subBones[0], &mdl->bones[1]);
  ASSERT_EQ(mdl->bones[1].numSubBones, 1u);
  EXPECT_EQ(mdl->bones[1].subBones[0], &mdl->bones[2]);
  ASSERT_EQ(mdl->bones[2].numIndices, 4u);
  EXPECT_EQ(mdl->bones[2].indices[0], 4u);
  EXPECT_EQ(mdl->bones[2].indices[3], 7u);
  EXPECT_EQ(mdl->bones[0].numIndices, 0u);

  ASSERT_EQ(mdl->numVertices, 8u);
  // File units are 1/660 of a world unit: the writer stored 3 * 660.
  EXPECT_FLOAT_EQ(mdl->vlist[3]->pos.x, 3.0f);
  EXPECT_FLOAT_EQ(mdl->va[3 * 3 + 2], -3.0f);
  EXPECT_EQ(mdl->vlist[3]->index, 3u);
  EXPECT_EQ(mdl->vlist[3]->boneIndex, 1);
  EXPECT_EQ(mdl->vlist[3]->selected, 1);
  EXPECT_EQ(mdl->baseMeshVert.next, mdl->vlist[0]);

  ASSERT_EQ(mdl->numEdges, 2u);
  EXPECT_EQ(mdl->baseEdge.next->v1, mdl->vlist[0]);
  EXPECT_EQ(mdl->baseEdge.next->next->v2, mdl->vlist[7]);
  EXPECT_EQ(mdl->baseEdge.next->visible, 1);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, LineEndsOfEveryKindReadTheSame) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    zmw::Model m = zmw::Box(2, 4, 6);
    m.lineEnd = end;
    zntlmdl* mdl = mt::Load(m);
    ASSERT_NE(mdl, nullptr) << "line end " << int(end[0]);
    EXPECT_EQ(mdl->numVertices, 8u);
    EXPECT_EQ(mdl->numTriangles, 12u);
    EXPECT_STREQ(mdl->materials[0].name, "Skin");
    Dispose_Zyntrel_Mdl(mdl);
  }
}

TEST(ModelLoader, BoundsOfTheRestMesh) {
  zmw::Model m = zmw::Box(2, 4, 6);
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_FLOAT_EQ(mdl->sizes.x, 2.0f);
  EXPECT_FLOAT_EQ(mdl->sizes.y, 4.0f);
  EXPECT_FLOAT_EQ(mdl->sizes.z, 6.0f);
  EXPECT_FLOAT_EQ(mdl->sphereCenter.y, 2.0f);
  EXPECT_FLOAT_EQ(mdl->translatedSphereCenter.y, 2.0f);
  // x and z radii both take the larger horizontal half extent.
  EXPECT_FLOAT_EQ(mdl->eRadius.x, 3.0f);
  EXPECT_FLOAT_EQ(mdl->eRadius.y, 2.0f);
  EXPECT_FLOAT_EQ(mdl->eRadius.z, 3.0f);
  EXPECT_NEAR(mdl->cradius, std::sqrt(1.0f + 9.0f), 1e-5);
  EXPECT_NEAR(mdl->boundingSphereRadius, std::sqrt(1.0f + 4.0f + 9.0f), 1e-5);
  // Corner order: 0 = (min x, min y, max z), 6 = (max x, max y, min z).
  EXPECT_FLOAT_EQ(mdl->baseBox[0].z, 3.0f);
  EXPECT_FLOAT_EQ(mdl->baseBox[6].x, 1.0f);
  EXPECT_FLOAT_EQ(mdl->baseBox[6].y, 4.0f);
  EXPECT_FLOAT_EQ(mdl->baseBox[6].z, -3.0f);
  EXPECT_FLOAT_EQ(mdl->newBoxMax.y, 4.0f);
  EXPECT_FLOAT_EQ(mdl->scalars.x, 1.0f);
  // The body bone holds all vertices; its box is the mesh box.
  EXPECT_FLOAT_EQ(mdl->bones[1].box[6].y, 4.0f);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, TrianglesFaceNormalsAndVertexNormals) {
  zntlmdl* mdl = mt::Load(zmw::Box(2, 2, 2));
  ASSERT_NE(mdl, nullptr);
  const zntlmtrl& mat = mdl->materials[0];
  ASSERT_EQ(mat.numTriangles, 12u);
  EXPECT_EQ(mat.indices[0], 0u);
  EXPECT_EQ(mat.indices[1], 3u);
  EXPECT_EQ(mat.indices[2], 2u);
  // The first face (0, 3, 2) is the +z side, counter-clockwise seen from +z.
  EXPECT_FLOAT_EQ(mat.faceNormals[2], 1.0f);
  EXPECT_FLOAT_EQ(mdl->baseLT.next->normal.z, 1.0f);
  EXPECT_EQ(mdl->baseLT.next->vertexPtrs[1], mdl->vlist[3]);
  EXPECT_EQ(mdl->baseLT.next->visible, 1);
  // A corner vertex's normal averages three axis normals: unit length, pointing outward.
  const float* n = &mdl->vertexNormals[0];
  EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-5);
  EXPECT_LT(n[0], 0.0f);
  EXPECT_LT(n[1], 0.0f);
  EXPECT_GT(n[2], 0.0f);
  EXPECT_EQ(mat.shadeModel, 1);
  Dispose_Zyntrel_Mdl(mdl);
}

// A strip of `n` vertices and n - 2 triangles, the triangles split over two materials at
// `split`, every vertex with its own position and each triangle with its own UVs.
zmw::Model StripModel(int n, int split) {
  zmw::Model m;
  m.bones = {{"body", 0, 1}};
  for (int i = 0; i < n; i++) m.vertices.push_back({float(i), float(i % 2), float(i % 7), 1});
  zmw::Material a, b;
  a.name = "First";
  b.name = "Second";
  for (int i = 0; i + 2 < n; i++) {
    zmw::Triangle t{i, i + 1, i + 2};
    (i < split ? a : b).triangles.push_back(t);
  }
  m.materials = {a, b};
  for (int i = 0; i + 1 < n; i++) m.edges.push_back({i, i + 1});
  return m;
}

// Large models take their records from blocks: every chain still links each record once, in
// file order, across the blocks' borders, and each record holds its own values.
TEST(ModelLoader, LargeModelChainsHoldEveryRecordInFileOrder) {
  const int n = 5000, split = 1234;
  zntlmdl* mdl = mt::Load(StripModel(n, split));
  ASSERT_NE(mdl, nullptr);
  ASSERT_EQ(mdl->numVertices, uint32_t(n));
  uint32_t i = 0;
  for (mesh_vert* v = mdl->baseMeshVert.next; v; v = v->next, i++) {
    ASSERT_LT(i, uint32_t(n));
    ASSERT_EQ(v, mdl->vlist[i]);
    EXPECT_EQ(v->index, i);
    EXPECT_FLOAT_EQ(v->pos.x, float(i)) << i;
    EXPECT_STREQ(v->bone1, "None");
  }
  EXPECT_EQ(i, uint32_t(n));
  i = 0;
  for (mesh_edge* e = mdl->baseEdge.next; e; e = e->next, i++) {
    ASSERT_LT(i, uint32_t(n - 1));
    ASSERT_EQ(e->v1, mdl->vlist[i]);
    ASSERT_EQ(e->v2, mdl->vlist[i + 1]);
  }
  EXPECT_EQ(i, uint32_t(n - 1));
  ASSERT_EQ(mdl->numTriangles, uint32_t(n - 2));
  EXPECT_EQ(mdl->materials[0].numTriangles, uint32_t(split));
  i = 0;
  for (level_triangle* t = mdl->baseLT.next; t; t = t->next, i++) {
    ASSERT_LT(i, uint32_t(n - 2));
    ASSERT_EQ(t->vertexPtrs[0], mdl->vlist[i]) << i;
    ASSERT_EQ(t->vertexPtrs[2], mdl->vlist[i + 2]) << i;
    EXPECT_EQ(t->visible, 1);
  }
  EXPECT_EQ(i, uint32_t(n - 2));
  Dispose_Zyntrel_Mdl(mdl);

  // A file cut inside the second material's triangles, past several blocks, is refused and
  // leaves nothing behind (the sanitizer build checks for leaks).
  std::string text = zmw::Write(StripModel(n, split));
  const size_t cut = text.find("\r\n3000,3001,3002");
  ASSERT_NE(cut, std::string::npos);
  zt::ConsoleCapture console;
  EXPECT_EQ(mt::LoadText(text.substr(0, cut)), nullptr);
  EXPECT_NE(console.text().find("ends early"), std::string::npos) << console.text();
}

TEST(ModelLoader, MaterialDefaultsBeforeSettingLines) {
  zmw::Model m = zmw::Box(1, 1, 1);
  m.materials[0].settings = {"diffuse=0.5,0.25", "blend=1", "nonsense=4"};
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  const zntlmtrl& mat = mdl->materials[0];
  EXPECT_FLOAT_EQ(mat.matDiffuse[0], 0.5f);
  EXPECT_FLOAT_EQ(mat.matDiffuse[1], 0.25f);
  EXPECT_FLOAT_EQ(mat.matDiffuse[2], 0.8f);  // not given: default
  EXPECT_FLOAT_EQ(mat.matDiffuse[3], 1.0f);
  EXPECT_FLOAT_EQ(mat.matAmbient[0], 0.2f);
  EXPECT_EQ(mat.transparencyMode, 1);
  EXPECT_EQ(mat.depthMask, 1);
  EXPECT_EQ(mat.shadeModel, 0);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, EmbeddedImageIsSkippedWhateverItHolds) {
  zmw::Model m = TwoBoneModel();
  m.image = std::string("#\r\n\0x", 5);
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(mdl->numBones, 2u);
  EXPECT_STREQ(mdl->bones[1].signature, "hip");
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, AuthorDateAndNotesAreReported) {
  mt::DialogCapture dialogs;
  zmw::Model m;
  m.author = "Ann";
  m.date = "May";
  m.notes = "first line\r\nsecond line";
  zntlmdl* mdl = mt::Load(m, "reports/one.wtf");
  ASSERT_NE(mdl, nullptr);
  Dispose_Zyntrel_Mdl(mdl);
  auto& t = mt::DialogCapture::texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0], "Ann");
  EXPECT_EQ(t[1], "May");
  EXPECT_EQ(t[2], "first line\r\nsecond line");

  // Loading the same model again (another object of it) does not repeat the dialogs.
  mdl = mt::Load(m, "reports/one.wtf");
  ASSERT_NE(mdl, nullptr);
  Dispose_Zyntrel_Mdl(mdl);
  EXPECT_EQ(t.size(), 3u);
}

TEST(ModelLoader, EmptyHeaderTextsReportNothing) {
  mt::DialogCapture dialogs;
  zmw::Model m;
  m.author = m.date = m.notes = "";
  zntlmdl* mdl = mt::Load(m, "reports/empty.wtf");
  ASSERT_NE(mdl, nullptr);
  Dispose_Zyntrel_Mdl(mdl);
  EXPECT_TRUE(mt::DialogCapture::texts().empty());
}

TEST(ModelLoader, ANoteOfOneCharacterIsReported) {
  mt::DialogCapture dialogs;
  for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
    zmw::Model m;
    m.author = m.date = "";
    m.notes = "x";
    m.lineEnd = lineEnd;
    const std::string path = std::string("reports/one-char-") + (lineEnd[1] ? "crlf" : lineEnd[0] == '\n' ? "lf" : "cr");
    zntlmdl* mdl = mt::Load(m, path.c_str());
    ASSERT_NE(mdl, nullptr);
    Dispose_Zyntrel_Mdl(mdl);
  }
  EXPECT_EQ(mt::DialogCapture::texts(), std::vector<std::string>({"x", "x", "x"}));
}

// Read as level geometry a model reports nothing and leaves its animation section unread,
// so a damaged one does not matter; read later as an object's model it reports its texts.
TEST(ModelLoader, LevelGeometryReportsNothingAndSkipsTheAnimations) {
  mt::DialogCapture dialogs;
  zmw::Model m = TwoBoneModel();
  m.author = "Ann";
  const std::string text = zmw::Write(m);
  const std::string damaged = text.substr(0, text.rfind("#Animations")) + "#Animations\r\n7\r\nWalk\r\n99999\r\n";
  zntlmdl* mdl = NewZyntrelMdl();
  ASSERT_EQ(Load_Zyntrel_MdlFromMemory(reinterpret_cast<const unsigned char*>(damaged.data()), damaged.size(),
                                       "reports/level.wtf", mdl, kZntlLevelGeometry),
            1);
  EXPECT_EQ(mdl->numVertices, 8u);
  EXPECT_EQ(mdl->numAnimations, 0u);
  Dispose_Zyntrel_Mdl(mdl);
  EXPECT_TRUE(mt::DialogCapture::texts().empty());

  zt::ConsoleCapture console;
  mdl = NewZyntrelMdl();
  EXPECT_EQ(Load_Zyntrel_MdlFromMemory(reinterpret_cast<const unsigned char*>(damaged.data()), damaged.size(),
                                       "reports/level.wtf", mdl),
            0);
  std::free(mdl);
  EXPECT_EQ(mt::DialogCapture::texts(), std::vector<std::string>({"Ann"}));
  EXPECT_NE(console.text().find("//Could not load model reports/level.wtf"), std::string::npos);
}

TEST(ModelLoader, FileUnitsBecomeWorldUnitsExactly) {
  for (int k = -20; k <= 20; k++) {
    EXPECT_EQ(FileUnitsToWorld(660.0f * k), static_cast<float>(k)) << k;
    EXPECT_EQ(FileUnitsToWorld(660.0f * k, 500.0f), 500.0f * k) << k;
  }
  EXPECT_EQ(FileUnitsToWorld(330.0f), 0.5f);
}

// Two triangles sharing vertices 0 and 2 in one textured material.
zmw::Model SeamModel(float uOfSharedCorner) {
  zmw::Model m;
  m.author = m.date = "";
  for (int i = 0; i < 4; i++) m.vertices.push_back({float(i & 1), float(i >> 1), 0, 0});
  zmw::Material mat;
  mat.name = "Textured";
  mat.settings = {"texture="};
  zmw::Triangle a, b;
  a.a = 0, a.b = 1, a.c = 2;
  a.u[0] = 0.0f, a.u[2] = 0.5f;
  b.a = 2, b.b = 1, b.c = 3;
  b.u[0] = uOfSharedCorner, b.v[0] = 0.0f;
  mat.triangles = {a, b};
  m.materials.push_back(mat);
  return m;
}

TEST(ModelLoader, SameUVOnASharedVertexMakesNoSeam) {
  zntlmdl* mdl = mt::Load(SeamModel(0.5f));
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(mdl->numUVFixesVertices, 0u);
  EXPECT_EQ(mdl->materials[0].mapType, 1);
  EXPECT_FLOAT_EQ(mdl->materials[0].UVs[2 * 2], 0.5f);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, DifferentUVOnASharedVertexAddsASeamVertex) {
  zntlmdl* mdl = mt::Load(SeamModel(0.75f));
  ASSERT_NE(mdl, nullptr);
  ASSERT_EQ(mdl->numUVFixesVertices, 1u);
  const zntlmtrl& mat = mdl->materials[0];
  // The corner is renumbered to the first slot after the file's vertices.
  EXPECT_EQ(mat.indices[3], 4u);
  EXPECT_EQ(mat.indices[0], 0u);
  EXPECT_EQ(mat.indices[2], 2u);
  ASSERT_NE(mdl->uvfixesPtrs, nullptr);
  EXPECT_EQ(mdl->uvfixesPtrs[0]->originalVertexIndex, 2u);
  EXPECT_EQ(mdl->uvfixesPtrs[0]->arrayOffset, 3u);
  EXPECT_FLOAT_EQ(mat.UVs[2 * 4], 0.75f);
  EXPECT_FLOAT_EQ(mat.UVs[2 * 2], 0.5f);  // the original keeps its first (u, v)
  for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(mdl->vertexNormals[3 * 4 + k], mdl->vertexNormals[3 * 2 + k]);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, SeamMarksStartAfreshInEachMaterial) {
  zmw::Model m = SeamModel(0.5f);
  zmw::Material second = m.materials[0];
  second.name = "Second";
  for (auto& t : second.triangles) t.u[0] = t.u[1] = t.u[2] = 0.9f;
  m.materials.push_back(second);
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(mdl->numUVFixesVertices, 0u);
  EXPECT_FLOAT_EQ(mdl->materials[0].UVs[0], 0.0f);
  EXPECT_FLOAT_EQ(mdl->materials[1].UVs[0], 0.9f);
  EXPECT_EQ(mdl->numTriangles, 4u);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, AnimationsWithTimesAndVoidedInstructions) {
  zmw::Model m = TwoBoneModel();
  zmw::Animation a;
  a.name = "Walk";
  a.instructions = {{0.5f, 1.25f, "morph=1,1,2,3,10,20,30"},
                    {0, 1, "set=3,0,0,0,0,0,0"},
                    {0, 1, "morph=-1,0,0,0,0,0,0"},
                    {0, 1, "spin=1,0,0,0,0,0,0"},
                    {0, 1, "set=2,0,0,0,0,0,5"}};
  m.animations.push_back(a);
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  ASSERT_EQ(mdl->numAnimations, 1u);
  const zntlanim& anim = mdl->animations[0];
  EXPECT_STREQ(anim.signature, "Walk");
  ASSERT_EQ(anim.numInstructions, 5u);
  EXPECT_EQ(anim.instructions[0].instructionType, 0);
  EXPECT_EQ(anim.instructions[0].startTime, 500u);
  EXPECT_EQ(anim.instructions[0].endTime, 1250u);
  EXPECT_FLOAT_EQ(anim.instructions[0].zmod, 3.0f);
  EXPECT_FLOAT_EQ(anim.instructions[0].zang, 30.0f);
  EXPECT_EQ(anim.instructions[1].instructionType, 2);  // bone numBones + 1
  EXPECT_EQ(anim.instructions[2].instructionType, 2);  // bone -1
  EXPECT_EQ(anim.instructions[3].instructionType, 2);  // no such instruction kind
  EXPECT_EQ(anim.instructions[4].instructionType, 1);
  EXPECT_EQ(anim.instructions[4].boneNumber, 2);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoader, FileFunctionReadsAndRefuses) {
  zt::TempDir dir;
  std::string good = dir.Write("Models/box.wtf", zmw::Write(zmw::Box(1, 1, 1)));
  zntlmdl* mdl = NewZyntrelMdl();
  ASSERT_EQ(Load_Zyntrel_Mdl(good.c_str(), mdl), 1);
  EXPECT_STREQ(mdl->signature, "box.wtf");
  Dispose_Zyntrel_Mdl(mdl);

  zt::ConsoleCapture console;
  mdl = NewZyntrelMdl();
  EXPECT_EQ(Load_Zyntrel_Mdl((dir.path() + "/Models/none.wtf").c_str(), mdl), 0);
  std::string wrong = dir.Write("Models/wrong.wtf", "zyntrel mdl\r\n0\r\n");
  EXPECT_EQ(Load_Zyntrel_Mdl(wrong.c_str(), mdl), 0);
  EXPECT_EQ(console.text(), "");  // not a model file: refused without a word
  std::free(mdl);
}

// ---- Malformed files ----

void ExpectRefused(const std::string& text, const char* why) {
  zt::ConsoleCapture console;
  zntlmdl* mdl = mt::LoadText(text);
  EXPECT_EQ(mdl, nullptr) << why;
  if (mdl) Dispose_Zyntrel_Mdl(mdl);
  EXPECT_EQ(console.text().rfind("//", 0), 0u) << why << ": " << console.text();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ModelLoaderMalformed, EveryTruncationIsRefusedOrLoadedCleanly) {
  zmw::Model m = SeamModel(0.75f);
  m.bones = {{"a", 1, 1}};
  zmw::Animation a;
  a.name = "A";
  a.instructions = {{0, 1, "morph=1,0,0,0,0,90,0"}};
  m.animations.push_back(a);
  std::string text = zmw::Write(m);
  zt::ConsoleCapture console;
  for (size_t n = 0; n < text.size(); n++) {
    console.clear();
    zntlmdl* mdl = mt::LoadText(text.substr(0, n));
    if (mdl) {
      Dispose_Zyntrel_Mdl(mdl);
    } else if (n > 12) {
      // Past the magic line every refusal is reported.
      EXPECT_EQ(console.text().rfind("//", 0), 0u) << "cut at " << n;
    }
  }
}

TEST(ModelLoaderMalformed, HugeAndNegativeCountsAreRefused) {
  std::string text = zmw::Write(zmw::Box(1, 1, 1));
  ExpectRefused(Replace(text, "#Vertices:\r\n8", "#Vertices:\r\n4000000000"), "huge vertex count");
  ExpectRefused(Replace(text, "#Bones:\r\n1", "#Bones:\r\n-3"), "negative bone count");
  ExpectRefused(Replace(text, "\r\n12\r\n0,3,2", "\r\n99999999\r\n0,3,2"), "huge triangle count");
  ExpectRefused(Replace(text, "#PNG: 0", "#PNG: 99999999999"), "huge image");
  ExpectRefused(Replace(text, "#PNG: 0", "#PIG: 0"), "no image count");
}

TEST(ModelLoaderMalformed, IndicesOutOfRangeAreRefused) {
  std::string text = zmw::Write(zmw::Box(1, 1, 1));
  ExpectRefused(Replace(text, "\r\n0,3,2,", "\r\n0,8,2,"), "triangle vertex");
  ExpectRefused(Replace(text, "\r\n0,3,2,", "\r\n-1,3,2,"), "negative triangle vertex");
  ExpectRefused(Replace(text, "\r\n6,7\r\n", "\r\n6,70\r\n"), "edge vertex");
  ExpectRefused(Replace(text, "body\r\n0,1", "body\r\n9,1"), "bone head vertex");
  ExpectRefused(Replace(text, "body\r\n0,1", "body\r\n0,3"), "parent bone");
  ExpectRefused(Replace(text, "body\r\n0,1", "body\r\n0,0"), "parent zero");
}

TEST(ModelLoaderMalformed, VertexOnAnUnknownBoneKeepsItsRestPosition) {
  zmw::Model m = zmw::Box(1, 1, 1);
  m.vertices[2].bone = 9;
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(mdl->bones[1].numIndices, 7u);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoaderMalformed, LongLinesAndGarbageDoNotBreakTheReader) {
  zmw::Model m = zmw::Box(1, 1, 1);
  m.materials[0].name = std::string(600, 'n');
  // The cut-off remainder becomes the setting-count line and everything after shifts.
  zt::ConsoleCapture console;
  zntlmdl* mdl = mt::Load(m);
  if (mdl) Dispose_Zyntrel_Mdl(mdl);

  m = zmw::Box(1, 1, 1);
  m.bones[0].name = std::string(300, 'b');
  mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(std::strlen(mdl->bones[1].signature), 255u);
  Dispose_Zyntrel_Mdl(mdl);
}

TEST(ModelLoaderMalformed, DeepBoneChainLoads) {
  zmw::Model m;
  m.author = m.date = "";
  m.vertices.push_back({1, 0, 0, 0});
  const int n = 20000;
  for (int i = 0; i < n; i++) m.bones.push_back({"b", 0, i + 1});
  m.vertices.push_back({2, 0, 0, n});
  zntlmdl* mdl = mt::Load(m);
  ASSERT_NE(mdl, nullptr);
  EXPECT_EQ(mdl->bones[n].parent, &mdl->bones[n - 1]);
  Dispose_Zyntrel_Mdl(mdl);
}

}  // namespace
