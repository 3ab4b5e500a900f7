// The registry's open-addressing tables: against a standard map under many random inserts,
// overwrites and removals (runs that wrap around the end of the array, removals that must
// move later entries back), emptying, and text keys that do not fit.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "objects/flat_index.h"

namespace {

TEST(FlatIndex, AddressKeysAgreeWithAStandardMap) {
  AddressIndex<int> index;
  std::unordered_map<const void*, int> model;
  // Addresses from one array: neighbouring keys, so runs form and wrap.
  static char places[5000];
  std::mt19937 random(7);
  for (int step = 0; step < 60000; step++) {
    const void* key = &places[random() % 3000];
    int action = static_cast<int>(random() % 3);
    if (action < 2) {
      auto* slot = index.Insert(key);
      ASSERT_NE(slot, nullptr);
      slot->value = step;
      model[key] = step;
    } else {
      EXPECT_EQ(index.Erase(key), model.erase(key) == 1);
    }
    if (step % 997 == 0) {
      ASSERT_EQ(index.Size(), model.size());
      for (int k = 0; k < 3000; k++) {
        auto* slot = index.Find(&places[k]);
        auto it = model.find(&places[k]);
        ASSERT_EQ(slot != nullptr, it != model.end()) << k;
        if (slot) {
          EXPECT_EQ(slot->value, it->second);
        }
      }
    }
    if (step == 30000) {
      index.Clear();
      model.clear();
      EXPECT_EQ(index.Find(&places[0]), nullptr);
    }
  }
  EXPECT_EQ(index.Find(nullptr), nullptr);
  EXPECT_EQ(index.Insert(nullptr), nullptr);
}

TEST(FlatIndex, TextKeysAgreeWithAStandardMapAndRefuseWhatDoesNotFit) {
  TextIndex<33, int> index;
  std::unordered_map<std::string, int> model;
  std::mt19937 random(11);
  for (int step = 0; step < 40000; step++) {
    std::string key = "box" + std::to_string(random() % 2000);
    if (random() % 3 != 0) {
      index.Insert(key.c_str())->value = step;
      model[key] = step;
    } else {
      EXPECT_EQ(index.Erase(key.c_str()), model.erase(key) == 1);
    }
  }
  ASSERT_EQ(index.Size(), model.size());
  for (int k = 0; k < 2000; k++) {
    std::string key = "box" + std::to_string(k);
    auto* slot = index.Find(key.c_str());
    auto it = model.find(key);
    ASSERT_EQ(slot != nullptr, it != model.end()) << key;
    if (slot) {
      EXPECT_EQ(slot->value, it->second);
    }
  }
  // 32 characters fit; 33 and the empty text do not.
  std::string longest(32, 'a');
  ASSERT_NE(index.Insert(longest.c_str()), nullptr);
  EXPECT_NE(index.Find(longest.c_str()), nullptr);
  EXPECT_EQ(index.Insert((longest + "a").c_str()), nullptr);
  EXPECT_EQ(index.Find((longest + "a").c_str()), nullptr);
  EXPECT_EQ(index.Insert(""), nullptr);
  EXPECT_EQ(index.Find(nullptr), nullptr);
}

}  // namespace
