// The root group's initial members, the member array's growth and shrinking, and unmarking
// the root, which visits only the members that may carry a mark.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

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

TEST(RootMarks, UnmarkingFindsEveryMarkWhileMembersComeAndGo) {
  // Random marks, additions and removals before and inside the marked stretch: unmarking
  // the root must leave no member marked, and must not touch other groups.
  InitRootGroup();
  zntlgroup other = {};
  int dummy = 0;
  AddEntityToGroup(&other, kEntityObject, &dummy, 0);
  SelectGroupEntities(&other, 1);
  std::srand(11);
  for (int round = 0; round < 300; round++) {
    int steps = 1 + std::rand() % 12;
    for (int step = 0; step < steps; step++) {
      int n = static_cast<int>(gAllEntities.numEntities);
      switch (std::rand() % 4) {
        case 0: AddEntityToGroup(&gAllEntities, kEntityObject, &dummy, 0); break;
        case 1: if (n > 0) RemoveEntityFromGroup(&gAllEntities, std::rand() % n); break;
        default: if (n > 0) MarkGroupEntity(&gAllEntities, std::rand() % n); break;
      }
    }
    if (round % 50 == 49) FreeAllGroups();  // compacts the root
    SelectGroupEntities(&gAllEntities, 0);
    for (unsigned int i = 0; i < gAllEntities.numEntities; i++)
      ASSERT_EQ(gAllEntities.entities[i].selected, 0) << "round " << round << " member " << i;
  }
  // Marking every member and unmarking them again.
  SelectGroupEntities(&gAllEntities, 1);
  SelectGroupEntities(&gAllEntities, 0);
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++) EXPECT_EQ(gAllEntities.entities[i].selected, 0);
  EXPECT_EQ(other.entities[0].selected, 1);
  EmptyGroup(&other);
  EmptyGroup(&gAllEntities);
}

TEST(RootMarks, ObjectsAreFoundWhereverRemovalsMovedThem) {
  // Objects come and go (addresses used again included); each lookup must give the index a
  // walk from the first member gives.
  InitRootGroup();
  std::vector<int> records(40);
  auto walk = [](const void* object) {
    for (unsigned int i = 0; i < gAllEntities.numEntities; i++)
      if (gAllEntities.entities[i].entityType == kEntityObject && gAllEntities.entities[i].theEntity == object)
        return static_cast<int>(i);
    return -1;
  };
  std::srand(3);
  for (int step = 0; step < 4000; step++) {
    human_being* object = reinterpret_cast<human_being*>(&records[std::rand() % records.size()]);
    int at = walk(object);
    if (std::rand() % 2) {
      if (at < 0) AddEntityToGroup(&gAllEntities, kEntityObject, object, 0);
    } else if (at >= 0) {
      RemoveEntityFromGroup(&gAllEntities, at);
    }
    if (step % 97 == 0) FreeAllGroups();
    for (int& r : records) {
      human_being* o = reinterpret_cast<human_being*>(&r);
      ASSERT_EQ(GetHumanEntityNumberInGroup(&gAllEntities, o), walk(o)) << "step " << step;
    }
  }
  EmptyGroup(&gAllEntities);
}

TEST(RootMarks, RemovingAllObjectsKeepsTheOtherMembersInOrder) {
  InitRootGroup();
  int a = 0, b = 0;
  zntlgroup* g = NewGroup("team");
  ASSERT_NE(g, nullptr);
  AddEntityToGroup(g, kEntityObject, &a, 0);
  AddEntityToGroup(g, kEntityLight, nullptr, 3);
  AddEntityToGroup(g, kEntityObject, &b, 0);
  AddEntityToGroup(&gAllEntities, kEntityObject, &a, 0);
  AddEntityToGroup(&gAllEntities, kEntityObject, &b, 0);
  MarkGroupEntity(&gAllEntities, 11);  // b
  MarkGroupEntity(&gAllEntities, 9);   // the group
  RemoveAllObjectsFromGroups();
  ASSERT_EQ(gAllEntities.numEntities, 10u);
  EXPECT_EQ(gAllEntities.entities[8].entityType, kEntityCamera);
  EXPECT_EQ(gAllEntities.entities[9].theEntity, g);
  ASSERT_EQ(g->numEntities, 1u);
  EXPECT_EQ(g->entities[0].lightNumber, 3);
  EXPECT_EQ(gAllEntities.entities[9].selected, 1);
  SelectGroupEntities(&gAllEntities, 0);
  EXPECT_EQ(gAllEntities.entities[9].selected, 0);
  FreeAllGroups();
  EmptyGroup(&gAllEntities);
}

}  // namespace
