// An object's model copy: every record and link of the loaded model, in one allocation whose
// links stay inside it; copies are independent of each other and of the model they come from;
// the file is read again at every load, and its texture lines load again in order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model_test_helpers.h"
#include "models/model_blocks.h"
#include "models/object_models.h"
#include "models/skeleton.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace {

// Two bones (the second under the first), five vertices, two edges, a textured material
// whose shared vertex 2 gets a seam, an untextured one, and an animation.
zmw::Model RichModel() {
  zmw::Model m;
  m.author = m.date = "";
  m.bones = {{"hip", 0, 1}, {"leg", 4, 2}};
  for (int i = 0; i < 5; i++) m.vertices.push_back({float(i & 1), float(i >> 1), float(i) * 0.25f, i < 3 ? 1 : 2});
  m.edges = {{0, 1}, {3, 4}};
  zmw::Material textured;
  textured.name = "Textured";
  textured.settings = {"texture=", "color=0.5,0.5,0.5,1"};
  zmw::Triangle a, b;
  a.a = 0, a.b = 1, a.c = 2;
  a.u[2] = 0.5f;
  b.a = 2, b.b = 1, b.c = 3;
  b.u[0] = 0.75f;
  textured.triangles = {a, b};
  zmw::Material plain;
  plain.name = "Plain";
  zmw::Triangle c;
  c.a = 2, c.b = 3, c.c = 4;
  plain.triangles = {c};
  m.materials = {textured, plain};
  zmw::Animation walk;
  walk.name = "Walk";
  walk.instructions = {{0, 1, "morph=2,10,0,0,0,0,0"}, {0.5f, 2, "morph=1,0,0,0,0,0,30"}};
  m.animations = {walk};
  return m;
}

uint32_t VertexNumberIn(const zntlmdl* mdl, const mesh_vert* v) {
  for (uint32_t i = 0; i < mdl->numVertices; i++)
    if (mdl->vlist[i] == v) return i;
  return UINT32_MAX;
}

TEST(ModelCopy, HoldsEveryRecordWithLinksInsideTheCopy) {
  zntlmdl* source = mt::Load(RichModel());
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(source->numUVFixesVertices, 1u);
  zntlmdl* copy = CopyZyntrelMdl(source);
  ASSERT_NE(copy, nullptr);
  EXPECT_GT(copy->blockBytes, sizeof(zntlmdl));
  EXPECT_EQ(copy->parent, nullptr);
  EXPECT_STREQ(copy->signature, source->signature);
  EXPECT_EQ(copy->numTriangles, 3u);

  // Vertex chain in file order, each vertex a record of the copy.
  const mesh_vert* v = copy->baseMeshVert.next;
  for (uint32_t i = 0; i < copy->numVertices; i++, v = v->next) {
    ASSERT_EQ(v, copy->vlist[i]);
    EXPECT_NE(v, source->vlist[i]);
    EXPECT_EQ(v->index, i);
    EXPECT_EQ(std::memcmp(&v->pos, &source->vlist[i]->pos, sizeof v->pos), 0);
  }
  EXPECT_EQ(v, nullptr);

  // Edges and triangles name the copy's vertices, the same numbers as the source's.
  const mesh_edge* se = source->baseEdge.next;
  int edges = 0;
  for (const mesh_edge* e = copy->baseEdge.next; e; e = e->next, se = se->next, edges++) {
    ASSERT_NE(se, nullptr);
    EXPECT_EQ(VertexNumberIn(copy, e->v1), VertexNumberIn(source, se->v1));
    EXPECT_EQ(VertexNumberIn(copy, e->v2), VertexNumberIn(source, se->v2));
  }
  EXPECT_EQ(edges, 2);
  const level_triangle* st = source->baseLT.next;
  for (const level_triangle* t = copy->baseLT.next; t; t = t->next, st = st->next) {
    ASSERT_NE(st, nullptr);
    for (int k = 0; k < 3; k++) EXPECT_EQ(VertexNumberIn(copy, t->vertexPtrs[k]), VertexNumberIn(source, st->vertexPtrs[k]));
    EXPECT_FLOAT_EQ(t->u[0], st->u[0]);
  }
  EXPECT_EQ(st, nullptr);

  // Bones: parents and children are the copy's bones; bound vertices as in the source.
  for (uint32_t i = 0; i <= copy->numBones; i++) {
    const zntlbone& b = copy->bones[i];
    const zntlbone& sb = source->bones[i];
    EXPECT_STREQ(b.signature, sb.signature);
    EXPECT_EQ(b.parent ? b.parent - copy->bones : -1, sb.parent ? sb.parent - source->bones : -1);
    ASSERT_EQ(b.numSubBones, sb.numSubBones);
    for (uint32_t k = 0; k < b.numSubBones; k++) EXPECT_EQ(b.subBones[k] - copy->bones, sb.subBones[k] - source->bones);
    ASSERT_EQ(b.numIndices, sb.numIndices);
    if (b.numIndices) {
      EXPECT_NE(b.indices, sb.indices);
      EXPECT_EQ(std::memcmp(b.indices, sb.indices, b.numIndices * sizeof(uint32_t)), 0);
    }
  }
  EXPECT_EQ(copy->bones[2].parent, &copy->bones[1]);

  // Seams, materials, flat arrays and animations carry the source's values.
  ASSERT_NE(copy->uvfixesPtrs, nullptr);
  EXPECT_EQ(copy->uvfixesPtrs[0], copy->uvfixes.next);
  EXPECT_EQ(copy->uvfixes.next->next, nullptr);
  EXPECT_EQ(copy->uvfixes.next->originalVertexIndex, 2u);
  const size_t all = copy->numVertices + copy->numUVFixesVertices;
  EXPECT_EQ(std::memcmp(copy->vertexNormals, source->vertexNormals, 3 * all * sizeof(float)), 0);
  EXPECT_EQ(std::memcmp(copy->va, source->va, 3 * copy->numVertices * sizeof(float)), 0);
  for (uint32_t m = 0; m < 2; m++) {
    const zntlmtrl& cm = copy->materials[m];
    const zntlmtrl& sm = source->materials[m];
    EXPECT_STREQ(cm.name, sm.name);
    EXPECT_EQ(std::memcmp(cm.indices, sm.indices, 3 * cm.numTriangles * sizeof(uint32_t)), 0);
    EXPECT_EQ(std::memcmp(cm.faceNormals, sm.faceNormals, 3 * cm.numTriangles * sizeof(float)), 0);
  }
  // The textured material's UVs reach the seam vertex; the plain one's stop at the file's.
  EXPECT_FLOAT_EQ(copy->materials[0].UVs[2 * 5], 0.75f);
  EXPECT_EQ(copy->materials[0].indices[3], 5u);
  ASSERT_EQ(copy->numAnimations, 1u);
  EXPECT_STREQ(copy->animations[0].signature, "Walk");
  ASSERT_EQ(copy->animations[0].numInstructions, 2u);
  EXPECT_NE(copy->animations[0].instructions, source->animations[0].instructions);
  EXPECT_EQ(copy->animations[0].instructions[1].startTime, 500u);

  Dispose_Zyntrel_Mdl(copy);
  Dispose_Zyntrel_Mdl(source);
}

// Posing, animating, scaling and recolouring one copy changes neither the next copy nor the
// model they come from; they can be released in any order (the address sanitizer checks).
TEST(ModelCopy, CopiesAreIndependentAndReleaseInAnyOrder) {
  for (int order = 0; order < 3; order++) {
    zntlmdl* source = mt::Load(RichModel());
    ASSERT_NE(source, nullptr);
    zntlmdl* first = CopyZyntrelMdl(source);
    zntlmdl* second = CopyZyntrelMdl(source);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    first->bones[1].xang = 45;
    first->vlist[0]->pos.x = 7;
    first->va[0] = 7;
    first->materials[0].red = 0.25f;
    first->materials[0].UVs[0] = 9;
    first->materials[1].indices[0] = 4;
    ScanAnimationForBoneTimelines(first, &first->animations[0], 0);
    EXPECT_NE(first->timelines[2].instructions, nullptr);

    for (const zntlmdl* other : {second, source}) {
      EXPECT_FLOAT_EQ(other->bones[1].xang, 0);
      EXPECT_FLOAT_EQ(other->vlist[0]->pos.x, 0);
      EXPECT_FLOAT_EQ(other->va[0], 0);
      EXPECT_FLOAT_EQ(other->materials[0].red, 0.5f);
      EXPECT_FLOAT_EQ(other->materials[0].UVs[0], 0);
      EXPECT_EQ(other->materials[1].indices[0], 2u);
      EXPECT_EQ(other->timelines[2].instructions, nullptr);
      EXPECT_EQ(other->timelines[2].whichAnimation, nullptr);
    }
    // The second copy can start the same animation on its own.
    ScanAnimationForBoneTimelines(second, &second->animations[0], 0);
    EXPECT_NE(second->timelines[2].instructions, first->timelines[2].instructions);

    zntlmdl* all[3] = {first, second, source};
    for (int k = 0; k < 3; k++) Dispose_Zyntrel_Mdl(all[(order + k) % 3]);
  }
}

// Copies of one size share pages: a copy taken back makes room for the next one, and once
// the last is gone nothing stays in use. A model too large for the shared pages comes from
// the heap and is accounted the same way.
TEST(ModelCopy, BlocksAreTakenBackAndUsedAgain) {
  const size_t before = ModelBlockBytesInUse();
  zntlmdl* source = mt::Load(RichModel());
  ASSERT_NE(source, nullptr);
  zntlmdl* a = CopyZyntrelMdl(source);
  zntlmdl* b = CopyZyntrelMdl(source);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(ModelBlockBytesInUse(), before + 2 * ((a->blockBytes + 63) / 64 * 64));
  Dispose_Zyntrel_Mdl(a);
  zntlmdl* c = CopyZyntrelMdl(source);
  EXPECT_EQ(c, a);
  Dispose_Zyntrel_Mdl(b);
  Dispose_Zyntrel_Mdl(c);
  EXPECT_EQ(ModelBlockBytesInUse(), before);

  zmw::Model big;
  big.author = big.date = "";
  for (int i = 0; i < 4000; i++) big.vertices.push_back({float(i), 0, 0, 0});
  zntlmdl* bigSource = mt::Load(big);
  ASSERT_NE(bigSource, nullptr);
  zntlmdl* bigCopy = CopyZyntrelMdl(bigSource);
  ASSERT_NE(bigCopy, nullptr);
  EXPECT_GT(bigCopy->blockBytes, size_t(512) << 10);
  EXPECT_FLOAT_EQ(bigCopy->vlist[3999]->pos.x, 3999);
  EXPECT_GT(ModelBlockBytesInUse(), before);
  Dispose_Zyntrel_Mdl(bigCopy);
  EXPECT_EQ(ModelBlockBytesInUse(), before);
  Dispose_Zyntrel_Mdl(bigSource);
  Dispose_Zyntrel_Mdl(source);
}

class ObjectModels : public ::testing::Test {
 protected:
  zt::TempDir dir;
  void SetUp() override {
    FlushObjectModels();
    std::string game = dir.path() + "/";
    ZNK_CopyString(routePath, game.c_str(), sizeof routePath);
  }
  void TearDown() override {
    FlushObjectModels();
    routePath[0] = '\0';
  }
  std::string Write(const zmw::Model& m) { return dir.Write("Models/thing.wtf", zmw::Write(m)); }
};

zmw::Model OneVertexAt(float x) {
  zmw::Model m;
  m.author = m.date = "";
  m.vertices = {{x, 0, 0, 0}};
  return m;
}

// The file is read at every load: a model file changed between two loads gives the new model,
// and loading the same bytes again gives another copy with the same contents.
TEST_F(ObjectModels, EveryLoadReadsTheFileAgain) {
  std::string path = Write(OneVertexAt(1));
  zntlmdl* first = LoadObjectModel(path.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_FLOAT_EQ(first->vlist[0]->pos.x, 1);

  zmw::Model changed = OneVertexAt(2);
  changed.vertices.push_back({3, 0, 0, 0});
  Write(changed);
  zntlmdl* second = LoadObjectModel(path.c_str());
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->numVertices, 2u);
  EXPECT_FLOAT_EQ(second->vlist[0]->pos.x, 2);
  EXPECT_FLOAT_EQ(first->vlist[0]->pos.x, 1);

  zntlmdl* third = LoadObjectModel(path.c_str());
  ASSERT_NE(third, nullptr);
  EXPECT_NE(third, second);
  ASSERT_EQ(third->numVertices, 2u);
  EXPECT_FLOAT_EQ(third->vlist[1]->pos.x, 3);
  EXPECT_NE(third->vlist[1], second->vlist[1]);

  // A file that is no model any more gives none; the next good one loads again.
  dir.Write("Models/thing.wtf", "Not a model\n");
  EXPECT_EQ(LoadObjectModel(path.c_str()), nullptr);
  Write(OneVertexAt(4));
  zntlmdl* fourth = LoadObjectModel(path.c_str());
  ASSERT_NE(fourth, nullptr);
  EXPECT_FLOAT_EQ(fourth->vlist[0]->pos.x, 4);
  for (zntlmdl* m : {first, second, third, fourth}) Dispose_Zyntrel_Mdl(m);
}

// A texture that cannot load is reported at every load, as parsing the file each time would.
TEST_F(ObjectModels, TextureLinesLoadAgainAtEveryLoad) {
  zmw::Model m = OneVertexAt(1);
  zmw::Material mat;
  mat.settings = {"texture=Textures/missing.png"};
  m.materials = {mat};
  std::string path = Write(m);
  zt::ConsoleCapture console;
  for (int i = 0; i < 3; i++) {
    zntlmdl* mdl = LoadObjectModel(path.c_str());
    ASSERT_NE(mdl, nullptr);
    EXPECT_EQ(mdl->materials[0].mapType, 0);
    EXPECT_EQ(mdl->materials[0].materialTexture, 0u);
    Dispose_Zyntrel_Mdl(mdl);
  }
  std::string text = console.text();
  size_t reports = 0;
  for (size_t at = text.find("// Load failed: "); at != std::string::npos; at = text.find("// Load failed: ", at + 1))
    reports++;
  EXPECT_EQ(reports, 3u);
}

}  // namespace
