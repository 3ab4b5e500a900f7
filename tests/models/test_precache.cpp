// Model precache: the "cache" list, Meshwork models with bones and material slots, both pose
// formats, pose animations and their links to poses, and the flush at the full reset.
#include <gtest/gtest.h>

#include <cmath>

#include "import_test_helpers.h"
#include "models/precache.h"

namespace {

std::string Model() {
  return "Mesh\t1\t1\nrobot\n"
         "0\t0\t0\t0\t\t\t\tBODY\n"
         "1\t660\t0\t0\tBODY\t\t80\tARM_\n"
         "2\t0\t660\t0\tARM_\n"
         "3\t0\t0\t660\tBODY\n"
         "EDGES\n0\t1\n"
         "MATERIAL\t1\t1\t1\t0\t0\t0\t0\t0\t0\t0\t1\t1\t1\t0\n0\t1\t2\n0\t2\t3\n"
         "MATERIAL\t1\t1\t1\t1\t0\t0\t0\t0\t0\t0\t1\t1\t1\t0\n1\t2\t3\nEND\n";
}

class Precache : public it::ImportTest {
 protected:
  void TearDown() override {
    FlushModelCache();
    it::ImportTest::TearDown();
  }
};

TEST_F(Precache, NoListFileIsReportedOnce) {
  ImportAllMeshworkModels();
  EXPECT_EQ(console.text(), "//Model precache file was not found!\n");
  EXPECT_EQ(CountCachedModels(), 0);
}

TEST_F(Precache, ListedModelsLoadMissingOnesAreReported) {
  Write("Models/robot", Model());
  Write("Models/other", Model());
  Write("Models/junk", "Mesh 1 1\n");
  Write("cache", "robot\r\nghost\r\njunk\r\nother");  // the last line has no line end
  ImportAllMeshworkModels();
  EXPECT_NE(console.text().find("//Failed to load model: ghost\n"), std::string::npos);
  EXPECT_NE(console.text().find("Not a valid meshwork file: \"" + Path("Models/junk") + "\"\n"), std::string::npos);
  ASSERT_EQ(CountCachedModels(), 2);
  meshwork_model* robot = baseMesh->next;
  EXPECT_STREQ(robot->signature, "robot");
  EXPECT_EQ(std::string(robot->directory), Path("Models/"));
  EXPECT_STREQ(robot->next->signature, "other");
  EXPECT_EQ(robot->numVertices, 4);
  EXPECT_EQ(robot->numTriangles, 3);

  // Bones: "None", then one per third code; the arm hangs from the body.
  bonus* body = GetBonePtrBySignature(robot->baseBone, "BODY");
  bonus* arm = GetBonePtrBySignature(robot->baseBone, "ARM_");
  ASSERT_NE(body, nullptr);
  ASSERT_NE(arm, nullptr);
  EXPECT_STREQ(robot->baseBone->signature, "None");
  EXPECT_EQ(arm->parent, body);
  EXPECT_EQ(body->parent, robot->baseBone);
  vtx_typ* v0 = GetVertexPtrByNumber(robot->baseVertex, 0);
  vtx_typ* v1 = GetVertexPtrByNumber(robot->baseVertex, 1);
  ASSERT_NE(v0, nullptr);
  EXPECT_STREQ(v0->bone1, "None");
  EXPECT_EQ(v0->weight, 100);
  EXPECT_EQ(v1->weight, 80);
  EXPECT_EQ(GetVertexPtrByNumber(robot->baseVertex, 9), nullptr);

  // Material slots: their triangles and vertices, and averaged vertex normals.
  EXPECT_EQ(robot->materials[0].numTriangles, 2);
  EXPECT_EQ(robot->materials[0].numVertices, 4);
  EXPECT_EQ(robot->materials[1].numTriangles, 1);
  EXPECT_EQ(robot->materials[1].smooth, 1);
  vtx_typ* v3 = GetVertexPtrByNumber(robot->baseVertex, 3);
  float length = std::sqrt(v3->normal.x * v3->normal.x + v3->normal.y * v3->normal.y + v3->normal.z * v3->normal.z);
  EXPECT_NEAR(length, 1.0f, 1e-5f);

  FlushModelCache();
  EXPECT_EQ(CountCachedModels(), 0);
}

TEST_F(Precache, PosesAndPoseAnimationsOfARobot) {
  Write("Models/robot", Model());
  Write("Models/robot_poses",
        "stand\n\tBODY\n(0,100000,0) 90\n\tARM_ (100000,0,0) 45\n\tNOPE\n(0,0,100000) 10\n*END*\n"
        "wave\n\tARM_\n(0,0,100000) 30\n*END*\n");
  Write("Models/robot_poses_anims", "greet\n2\n0.5\n0.25\nstand\n1\n0\nwave\nlost\n1\n0.1\n0\nmissing\n");
  Write("cache", "robot\n\nother\n");  // an empty line ends the list
  ImportAllMeshworkModels();
  ASSERT_EQ(CountCachedModels(), 1);
  meshwork_model* robot = baseMesh->next;
  pose* stand = GetPosePtrBySignature(robot->basePose, "stand");
  pose* wave = GetPosePtrBySignature(robot->basePose, "wave");
  ASSERT_NE(stand, nullptr);
  ASSERT_NE(wave, nullptr);
  ASSERT_NE(stand->base, nullptr);
  EXPECT_EQ(stand->base->theBone, GetBonePtrBySignature(robot->baseBone, "BODY"));
  ASSERT_NE(stand->base->next, nullptr);
  EXPECT_EQ(stand->base->next->next, nullptr);  // the unknown bone is left out
  vector_type e = GetEularAngles(90, 0, 1, 0);
  EXPECT_FLOAT_EQ(stand->base->yang, e.y);
  EXPECT_EQ(stand->base->used, 1);

  pose_animation* greet = robot->baseAnim;
  ASSERT_NE(greet, nullptr);
  EXPECT_STREQ(greet->signature, "greet");
  EXPECT_EQ(greet->numPoses, 2);
  EXPECT_EQ(greet->animDuration, 1750);
  poseanim_frame* f = greet->baseFrame;
  EXPECT_EQ(f->morphTime, 500);
  EXPECT_EQ(f->delay, 250);
  EXPECT_EQ(f->thePose, stand);
  EXPECT_EQ(f->next->timeStamp, 750);
  EXPECT_EQ(f->next->thePose, wave);
  ASSERT_NE(greet->next, nullptr);
  EXPECT_EQ(greet->next->baseFrame->thePose, nullptr);

  // Reading the poses again (engine format) re-links the frames to the new poses.
  Write("Models/robot_poses2", "ZNK_Poses\nstand\n{\nBODY 1,2,3,4,5,6\nARM_\t0,0,0,0,0,0,0\nghost 1,1,1,1,1,1,1\n}\nwave\n}\n");
  ImportModelPoses(robot, Path("Models/robot_poses2").c_str());
  pose* stand2 = GetPosePtrBySignature(robot->basePose, "stand");
  ASSERT_NE(stand2, nullptr);
  EXPECT_EQ(greet->baseFrame->thePose, stand2);
  ASSERT_NE(stand2->base, nullptr);
  EXPECT_FLOAT_EQ(stand2->base->ypos, 2.0f);
  EXPECT_FLOAT_EQ(stand2->base->zang, 6.0f);
  EXPECT_EQ(stand2->base->used, 1);
  ASSERT_NE(stand2->base->next, nullptr);
  EXPECT_EQ(stand2->base->next->used, 0);
  EXPECT_EQ(stand2->base->next->next, nullptr);
  ASSERT_NE(GetPosePtrBySignature(robot->basePose, "wave"), nullptr);
  EXPECT_EQ(GetPosePtrBySignature(robot->basePose, "wave")->base, nullptr);
}

TEST_F(Precache, MalformedPoseAndAnimationTextStaysSound) {
  meshwork_model* mdl = NewMeshworkModel();
  std::string model = Model();
  ASSERT_EQ(LoadMeshworkModelFromMemory(mdl, model.data(), model.size(), "Models/robot"), 1);
  const char* poses[] = {"\t", "\tBODY", "\tBODY (1,2", "p\n\tBODY\n", "ZNK_Poses", "ZNK_Poses\np\n{\nBODY",
                         "ZNK_Poses\n\n\n}\n}\n"};
  for (const char* p : poses) ReadModelPosesText(mdl, p, std::strlen(p));
  const char* anims[] = {"a", "a\n99999999999\n", "a\n-4\n", "a\n3\n1e30\nnan\npose\n", "a\n1\n0.5"};
  for (const char* a : anims) ReadModelAnimationsText(mdl, a, std::strlen(a));
  ASSERT_NE(mdl->baseAnim, nullptr);
  EXPECT_EQ(mdl->baseAnim->numPoses, 0);  // the last animation ends before its frame does
  DisposeMeshworkModel(mdl);
}

}  // namespace
