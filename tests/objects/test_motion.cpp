// Walking and flying steps of the player and of objects.
#include <gtest/gtest.h>

#include "models/model_types.h"
#include "objects/human.h"
#include "objects/motion.h"
#include "objects/player.h"

namespace {
class Motion : public ::testing::Test {
 protected:
  void SetUp() override {
    object = human_being();
    model = zntlmdl();
    object.mdl = &model;
    playerPos = {0, 0, 0};
    viewangle = updownangle = 0.0f;
  }
  human_being object;
  zntlmdl model;
};
}  // namespace

TEST_F(Motion, ObjectFacingBackWalksAlongNegativeZ) {
  object.yang = 180.0f;
  HumanGoForward(&object, 1.0f);
  EXPECT_NEAR(object.xpos, 0.0f, 1e-5);
  EXPECT_NEAR(object.zpos, -1.0f, 1e-5);
  EXPECT_FLOAT_EQ(object.ypos, 0.0f);
}

TEST_F(Motion, PlayerWalksAlongItsViewHeadingAndObjectsAreNotMovedByGoForward) {
  viewangle = 90.0f;
  GoForward(nullptr, 2.0f);
  EXPECT_NEAR(playerPos.x, 2.0f, 1e-5);
  EXPECT_NEAR(playerPos.z, 0.0f, 1e-5);
  object.xpos = 5.0f;
  GoForward(&object, 3.0f);
  EXPECT_FLOAT_EQ(object.xpos, 5.0f);
  EXPECT_FLOAT_EQ(object.zpos, 0.0f);
}

TEST_F(Motion, GhostFlightMovesTheObjectAndItsBoxTogether) {
  object.yang = 180.0f;
  model.newBoxMin = {-1, -1, -1};
  model.newBoxMax = {1, 1, 1};
  SpaceGo(&object, fastVector_Set(0, 0, 2), 0);
  EXPECT_NEAR(object.zpos, -2.0f, 1e-5);
  EXPECT_NEAR(model.newBoxMin.z, -3.0f, 1e-5);
  EXPECT_NEAR(model.newBoxMax.z, -1.0f, 1e-5);
}

TEST_F(Motion, ZeroFlightLeavesPositionAndBoxUnchanged) {
  object.xpos = 1.0f;
  model.newBoxMax = {2, 2, 2};
  SpaceGo(&object, fastVector_Set(0, 0, 0), 0);
  EXPECT_FLOAT_EQ(object.xpos, 1.0f);
  EXPECT_FLOAT_EQ(model.newBoxMax.x, 2.0f);
}

TEST_F(Motion, PlayerFlightFollowsPitch) {
  updownangle = -90.0f;  // looking straight up
  SpaceGo(nullptr, fastVector_Set(0, 0, 1), 0);
  EXPECT_NEAR(playerPos.y, 1.0f, 1e-4);
  EXPECT_NEAR(playerPos.z, 0.0f, 1e-4);
}
