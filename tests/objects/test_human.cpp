// The object registry: creation from model files (level folder first), naming, IDs, removal
// with its entity, the drawing-order sort and model scaling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../tools/zntl_model_writer.h"
#include "groups/groups.h"
#include "models/skeleton.h"
#include "models/zntl_model.h"
#include "objects/human.h"
#include "objects/player.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace {

class Registry : public ::testing::Test {
 protected:
  zt::TempDir dir;
  void SetUp() override {
    InitHumanRegistry();
    InitRootGroup();
    gBiggestID = 0;
    selHuman = nullptr;
    std::string game = dir.path() + "/";
    ZNK_CopyString(routePath, game.c_str(), sizeof routePath);
    ZNK_CopyString(currentLevelFolder, (game + "level/").c_str(), sizeof currentLevelFolder);
    WriteModel("Models/box.wtf", zmw::Box(1, 1, 1));
  }
  void TearDown() override {
    while (baseHuman->next) RemoveHuman(baseHuman->next);
    EmptyGroup(&gAllEntities);
    routePath[0] = '\0';
    currentLevelFolder[0] = '\0';
  }
  void WriteModel(const std::string& relative, const zmw::Model& m) { dir.Write(relative, zmw::Write(m)); }
  int count() {
    int n = 0;
    for (human_being* h = baseHuman->next; h; h = h->next) n++;
    return n;
  }
};

TEST_F(Registry, NewObjectDefaultsAndEntity) {
  human_being* h = AddHuman2("box.wtf");
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(h->name, "box1");
  EXPECT_EQ(h->ID, 0);
  EXPECT_EQ(gBiggestID, 1);
  EXPECT_FLOAT_EQ(h->weight, 100.0f);
  EXPECT_FLOAT_EQ(h->speed, 0.02f);
  EXPECT_EQ(h->objectType, 1);
  EXPECT_EQ(h->frameTime, 30);
  EXPECT_EQ(h->number, 65535);
  EXPECT_STREQ(h->standardPose, "Stand");
  EXPECT_STREQ(h->killed2Name, "Killed2");
  EXPECT_EQ(h->plane, &h->myPlane);
  EXPECT_FLOAT_EQ(h->myPlane.b, 1.0f);
  EXPECT_EQ(h->mdl->parent, h);
  EXPECT_EQ(h->mdl->parallelepipedShape, 0);
  // The bones' world coordinates are computed at once.
  EXPECT_FLOAT_EQ(h->mdl->bones[1].tpos.x, -0.5f);

  ASSERT_EQ(gAllEntities.numEntities, 10u);
  const zntlentity& e = gAllEntities.entities[9];
  EXPECT_EQ(e.entityType, kEntityObject);
  EXPECT_EQ(e.theEntity, h);
  EXPECT_EQ(e.selected, 1);
  human_being* g = AddHuman2("box.wtf");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(gAllEntities.entities[9].selected, 0);
  EXPECT_EQ(gAllEntities.entities[10].selected, 1);
}

TEST_F(Registry, NamesCountUpAndAFreedNumberIsReused) {
  human_being* a = AddHuman2("box.wtf");
  human_being* b = AddHuman2("box.wtf");
  human_being* c = AddHuman2("box.wtf");
  ASSERT_TRUE(a && b && c);
  EXPECT_STREQ(a->name, "box1");
  EXPECT_STREQ(b->name, "box2");
  EXPECT_STREQ(c->name, "box3");
  RemoveHuman(b);
  human_being* d = AddHuman2("box.wtf");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->name, "box2");
  EXPECT_EQ(GetHumanByName("box2"), d);
  EXPECT_EQ(GetHumanByName("box9"), nullptr);
  EXPECT_EQ(HumanNameAlreadyUsed(d), 0);
  std::strcpy(d->name, "box1");
  EXPECT_EQ(HumanNameAlreadyUsed(d), 1);
  EXPECT_EQ(GetHumanByName("box1"), a);  // first in list order
}

TEST_F(Registry, LongModelNamesAreCutAndKeptDistinct) {
  // A base of 32 characters or more: the first object takes the name cut to 32 (the number
  // is cut away); later ones give way to their number.
  std::string longName(40, 'x');
  WriteModel("Models/" + longName + ".wtf", zmw::Box(1, 1, 1));
  human_being* a = AddHuman2((longName + ".wtf").c_str());
  human_being* b = AddHuman2((longName + ".wtf").c_str());
  human_being* c = AddHuman2((longName + ".wtf").c_str());
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(std::string(a->name), std::string(32, 'x'));
  EXPECT_EQ(std::string(b->name), std::string(31, 'x') + "1");
  EXPECT_EQ(std::string(c->name), std::string(31, 'x') + "2");

  // A base of 31 characters: the tenth object's name base + "10" cut to 32 is the first
  // object's name, so the base gives way to the two digits.
  std::string name31(31, 'y');
  WriteModel("Models/" + name31 + ".wtf", zmw::Box(1, 1, 1));
  human_being* last = nullptr;
  for (int i = 0; i < 10; i++) last = AddHuman2((name31 + ".wtf").c_str());
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(std::string(last->name), std::string(30, 'y') + "10");
  EXPECT_NE(GetHumanByName((name31 + "1").c_str()), nullptr);
}

// The naming rule, asked of the list itself: the smallest n whose name is free, the base
// and n cut to 32 characters, or else the base giving way to n.
std::string ExpectedName(const std::string& base) {
  auto used = [](const std::string& name) {
    for (human_being* h = baseHuman->next; h; h = h->next)
      if (name == h->name) return true;
    return false;
  };
  for (unsigned long n = 1;; n++) {
    std::string number = std::to_string(n);
    std::string specified = (base + number).substr(0, 32);
    if (!used(specified)) return specified;
    std::string kept = base.substr(0, std::min(base.size(), 32 - number.size())) + number;
    if (!used(kept)) return kept;
  }
}

TEST_F(Registry, NamesFollowTheRuleOverRandomMakesRemovalsAndRenames) {
  // Bases that give each other's names (box and box1 both give box11), long bases that lose
  // their number to the cut, and renames onto names a base would give.
  const std::vector<std::string> bases = {"box", "box1", "b", std::string(31, 'q'), std::string(33, 'r')};
  for (const std::string& b : bases) WriteModel("Models/" + b + ".wtf", zmw::Box(1, 1, 1));
  std::vector<human_being*> living;
  std::srand(5);
  for (int step = 0; step < 1500; step++) {
    int what = std::rand() % 10;
    if (what < 6 || living.empty()) {
      const std::string& base = bases[std::rand() % bases.size()];
      std::string want = ExpectedName(base);
      human_being* h = AddHuman2((base + ".wtf").c_str());
      ASSERT_NE(h, nullptr);
      ASSERT_EQ(std::string(h->name), want) << "step " << step;
      living.push_back(h);
    } else if (what < 9) {
      size_t i = std::rand() % living.size();
      RemoveHuman(living[i]);
      living.erase(living.begin() + i);
    } else {
      human_being* h = living[std::rand() % living.size()];
      std::string name = (bases[std::rand() % bases.size()] + std::to_string(1 + std::rand() % 12)).substr(0, 32);
      std::string before = h->name;
      bool free = GetHumanByName(name.c_str()) == nullptr || GetHumanByName(name.c_str()) == h;
      EXPECT_EQ(RenameHuman(h, name.c_str()), free ? 1 : 0);
      EXPECT_EQ(std::string(h->name), free ? name : before);
    }
  }
  // The reset empties the registry: names and IDs start over.
  RemoveAllHumans();
  EXPECT_EQ(count(), 0);
  EXPECT_EQ(gAllEntities.numEntities, 9u);
  human_being* h = AddHuman2("box.wtf");
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(h->name, "box1");
  EXPECT_EQ(h->ID, 0);
}

TEST_F(Registry, IDsAfterRemoval) {
  human_being* a = AddHuman2("box.wtf");
  human_being* b = AddHuman2("box.wtf");
  human_being* c = AddHuman2("box.wtf");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(c->ID, 2);
  RemoveHuman(c);
  EXPECT_EQ(gBiggestID, 2);
  human_being* d = AddHuman2("box.wtf");
  EXPECT_EQ(d->ID, 2);
  RemoveHuman(a);
  EXPECT_EQ(gBiggestID, 3);  // the largest remaining ID plus one
  RemoveHuman(b);
  RemoveHuman(d);
  EXPECT_EQ(gBiggestID, 0);
  EXPECT_EQ(AddHuman2("box.wtf")->ID, 0);
}

TEST_F(Registry, RemovalTakesTheEntityAndTheSelection) {
  human_being* a = AddHuman2("box.wtf");
  human_being* b = AddHuman2("box.wtf");
  selHuman = a;
  RemoveHuman(a);
  EXPECT_EQ(selHuman, nullptr);
  ASSERT_EQ(gAllEntities.numEntities, 10u);
  EXPECT_EQ(gAllEntities.entities[9].theEntity, b);
  EXPECT_EQ(count(), 1);
  RemoveHuman(nullptr);
  EXPECT_EQ(count(), 1);
}

TEST_F(Registry, LevelFolderComesBeforeGameFolder) {
  WriteModel("level/Models/box.wtf", zmw::Box(3, 3, 3));
  human_being* h = AddHuman2("box.wtf");
  ASSERT_NE(h, nullptr);
  EXPECT_FLOAT_EQ(h->mdl->sizes.x, 3.0f);
  EXPECT_EQ(std::string(h->mdl->directory), dir.path() + "/level/Models/");
}

TEST_F(Registry, MissingOrBrokenModelLeavesNoTrace) {
  dir.Write("Models/broken.wtf", "Zyntrel Mdl\r\n0\r\n#Author: \r\n#Date: \r\n#Notes: \r\n#PNG: 0\r\n\r\n#Bones:\r\n5\r\n");
  zt::ConsoleCapture console;
  EXPECT_EQ(AddHuman2("nothing.wtf"), nullptr);
  EXPECT_EQ(AddHuman2("broken.wtf"), nullptr);
  EXPECT_EQ(count(), 0);
  EXPECT_EQ(gBiggestID, 0);
  EXPECT_EQ(gAllEntities.numEntities, 9u);
  EXPECT_EQ(console.text().rfind("//", 0), 0u);
}

TEST_F(Registry, SortRunsFarthestFirstAndLaterFirstOnTies) {
  playerPos = {0, -1, 0};  // the eye is one unit above: the origin
  human_being* h[3];
  const float x[3] = {5, 9, 5};
  for (int i = 0; i < 3; i++) {
    h[i] = AddHuman2("box.wtf");
    ASSERT_NE(h[i], nullptr);
    h[i]->mdl->newBoxMin = {x[i] - 1, -1, -1};
    h[i]->mdl->newBoxMax = {x[i] + 1, 1, 1};
  }
  SortHumansForBlending();
  EXPECT_EQ(baseHuman->next, h[1]);
  EXPECT_EQ(baseHuman->next->next, h[2]);
  EXPECT_EQ(baseHuman->next->next->next, h[0]);
  EXPECT_EQ(h[0]->next, nullptr);
  EXPECT_EQ(h[1]->number, 0);
  EXPECT_EQ(h[0]->number, 2);
  EXPECT_FLOAT_EQ(h[1]->tempFloat, 9.0f);

  // A head-up-display object measures from the camera-space origin, not from the eye.
  playerPos = {100, 0, 0};
  h[0]->HUD = 1;
  h[0]->mdl->newBoxMin = {-50, 0, 0};
  h[0]->mdl->newBoxMax = {-50, 0, 0};
  SortHumansForBlending();
  EXPECT_FLOAT_EQ(h[0]->tempFloat, 50.0f);
  EXPECT_EQ(baseHuman->next->next->next, h[0]);
  playerPos = {0, 0, 0};
}

TEST_F(Registry, ScaleByFactorsAndToSizes) {
  human_being* h = AddHuman2("box.wtf");
  ASSERT_NE(h, nullptr);
  ScaleModelTo(h, 2, 1, 3, 0);
  EXPECT_FLOAT_EQ(h->mdl->sizes.x, 2.0f);
  EXPECT_FLOAT_EQ(h->mdl->sizes.z, 3.0f);
  EXPECT_FLOAT_EQ(h->mdl->va[0], -1.0f);
  EXPECT_FLOAT_EQ(h->mdl->bones[1].pos.x, -1.0f);
  EXPECT_FLOAT_EQ(h->mdl->scalars.z, 3.0f);

  // Wanted sizes are measured against the world box; 0 keeps an extent.
  PoseObjectModel2(h->mdl, 0, 0, 0, 0, 0, 0, 0);
  ScaleModelTo(h, 4, 0, 1.5f, 1);
  EXPECT_FLOAT_EQ(h->mdl->sizes.x, 4.0f);
  EXPECT_FLOAT_EQ(h->mdl->sizes.y, 1.0f);
  EXPECT_FLOAT_EQ(h->mdl->sizes.z, 1.5f);
  EXPECT_FLOAT_EQ(h->mdl->scalars.x, 2.0f);
  ScaleModelTo(nullptr, 1, 1, 1, 0);
}

TEST_F(Registry, BoneWorldCoordinatesFollowTheObject) {
  human_being* h = AddHuman2("box.wtf");
  ASSERT_NE(h, nullptr);
  h->xpos = 10;
  h->yang = 90;
  UpdateModelBoneWCs(h);
  // Head vertex (-0.5, 0, 0.5) turned 90 about y gives (0.5, 0, 0.5), then moved by 10.
  EXPECT_NEAR(h->mdl->bones[1].tpos.x, 10.5f, 1e-5);
  EXPECT_NEAR(h->mdl->bones[1].tpos.z, 0.5f, 1e-5);
}

// Removing objects one by one in any order, with the drawing-order sort moving them between
// removals: the others keep their order in the list and their one member each of
// gAllEntities, names and IDs stay exact, group members go with their objects, and unmarking
// the root still clears the one mark wherever the marked member was moved.
TEST_F(Registry, RemovingManyObjectsKeepsTheRestInOrder) {
  std::vector<human_being*> objects;
  for (int i = 0; i < 60; i++) objects.push_back(AddHuman2("box.wtf"));
  zntlgroup* group = NewGroup("crowd");
  ASSERT_NE(group, nullptr);
  for (int i = 0; i < 60; i += 6) AddEntityToGroup(group, kEntityObject, objects[i], 0);
  std::vector<human_being*> expected = objects;
  std::srand(5);
  for (int step = 0; step < 25; step++) {
    if (step % 10 == 9) {
      // Scatter the objects so that the sort reorders the list.
      for (human_being* h : expected) {
        float x = static_cast<float>(std::rand() % 50);
        h->mdl->newBoxMin = {x, 0, 0};
        h->mdl->newBoxMax = {x, 0, 0};
      }
      SortHumansForBlending();
      expected.clear();
      for (human_being* h = baseHuman->next; h; h = h->next) expected.push_back(h);
    }
    size_t at = static_cast<size_t>(std::rand()) % expected.size();
    human_being* gone = expected[at];
    std::string goneName = gone->name;
    RemoveHuman(gone);
    expected.erase(expected.begin() + static_cast<long>(at));

    std::vector<human_being*> list;
    for (human_being* h = baseHuman->next; h; h = h->next) list.push_back(h);
    ASSERT_EQ(list, expected) << "step " << step;
    EXPECT_EQ(GetHumanByName(goneName.c_str()), nullptr);
    long largest = -1;
    for (human_being* h : expected) {
      EXPECT_EQ(GetHumanByName(h->name), h);
      int member = GetHumanEntityNumberInGroup(&gAllEntities, h);
      ASSERT_GE(member, 9);
      EXPECT_EQ(gAllEntities.entities[member].theEntity, h);
      largest = std::max(largest, h->ID);
    }
    EXPECT_EQ(gBiggestID, largest + 1);
    // Lights, camera, group and the living objects, nothing else.
    ASSERT_EQ(gAllEntities.numEntities, 9u + 1u + expected.size());
    for (unsigned int i = 0; i < gAllEntities.numEntities; i++) {
      const zntlentity& e = gAllEntities.entities[i];
      if (e.entityType == kEntityObject) {
        EXPECT_NE(std::find(expected.begin(), expected.end(), e.theEntity), expected.end());
      }
    }
    for (unsigned int i = 0; i < group->numEntities; i++)
      EXPECT_NE(std::find(expected.begin(), expected.end(), group->entities[i].theEntity), expected.end());
    EXPECT_EQ(GetHumanEntityNumberInGroup(group, gone), -1);

    // Mark the last object member, then remove an earlier one: the mark moves with it.
    SelectGroupEntities(&gAllEntities, 0);
    MarkGroupEntity(&gAllEntities, GetHumanEntityNumberInGroup(&gAllEntities, expected.back()));
    if (expected.size() > 2) {
      RemoveHuman(expected.front());
      expected.erase(expected.begin());
    }
    SelectGroupEntities(&gAllEntities, 0);
    for (unsigned int i = 0; i < gAllEntities.numEntities; i++) EXPECT_EQ(gAllEntities.entities[i].selected, 0) << i;
  }
  DisposeGroup(group);
}

}  // namespace
