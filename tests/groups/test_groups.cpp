// The root group's initial members and the member array's growth and shrinking.
#include <gtest/gtest.h>

#include "groups/groups.h"

namespace {

TEST(RootGroup, EightLightsThenTheCamera) {
  InitRootGroup();
  ASSERT_EQ(gAllEntities.numEntities, 9u);
  for (int i = 0; i < 8; i++) {
    EXPECT_EQ(gAllEntities.entities[i].entityType, kEntityLight);
    EXPECT_EQ(gAllEntities.entities[i].lightNumber, i);
    EXPECT_EQ(gAllEntities.entities[i].selected, 0);
  }
  // Light 0 starts at (0, 0, 1): its box of side 0.2 is around that point.
  EXPECT_FLOAT_EQ(gAllEntities.entities[0].boundingBox.min.z, 0.9f);
  EXPECT_FLOAT_EQ(gAllEntities.entities[0].boundingBox.max.z, 1.1f);
  EXPECT_FLOAT_EQ(gAllEntities.entities[3].boundingBox.max.x, 0.1f);
  EXPECT_EQ(gAllEntities.entities[8].entityType, kEntityCamera);
  // Initialising again starts over rather than appending.
  InitRootGroup();
  EXPECT_EQ(gAllEntities.numEntities, 9u);
  EmptyGroup(&gAllEntities);
}

TEST(GroupMembers, RemovingShiftsDownAndTheLastFreesTheArray) {
  zntlgroup g = {};
  int dummy[3];
  for (int i = 0; i < 3; i++) EXPECT_EQ(AddEntityToGroup(&g, kEntityObject, &dummy[i], 0), i);
  EXPECT_EQ(GetHumanEntityNumberInGroup(&g, reinterpret_cast<human_being*>(&dummy[2])), 2);
  RemoveEntityFromGroup(&g, 0);
  EXPECT_EQ(g.numEntities, 2u);
  EXPECT_EQ(g.entities[0].theEntity, &dummy[1]);
  RemoveEntityFromGroup(&g, -1);
  RemoveEntityFromGroup(&g, 7);
  EXPECT_EQ(g.numEntities, 2u);
  SelectGroupEntities(&g, 1);
  EXPECT_EQ(g.entities[1].selected, 1);
  RemoveEntityFromGroup(&g, 1);
  RemoveEntityFromGroup(&g, 0);
  EXPECT_EQ(g.numEntities, 0u);
  EXPECT_EQ(g.entities, nullptr);
  EXPECT_EQ(AddEntityToGroup(&g, kEntityLight, nullptr, 2), 0);
  EmptyGroup(&g);
}

}  // namespace
