// Headless input replay: changes reach the key table and cursor in their pass, a tap
// within one pass is still seen once, and malformed files are refused.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "shell/replay.h"
#include "support/test_support.h"

namespace {
class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    PlatformOptions options;
    options.backend = kPlatformHeadless;
    Plat_Init(options);
  }
  void TearDown() override {
    LoadInputReplay("/nonexistent");  // clears the events
    Plat_Shutdown();
  }
  // The key table a pass would poll.
  int KeyInPass(long pass, int vk) {
    ApplyReplayedInput(pass);
    int keys[256];
    Plat_ReadKeys(keys);
    return keys[vk];
  }
  zt::TempDir dir;
};
}  // namespace

TEST_F(Replay, KeysAreDownFromTheirPassUntilReleased) {
  ASSERT_TRUE(LoadInputReplay(dir.Write("in.txt", "2 key 0x41 down\n4 key 65 up\n")));
  EXPECT_EQ(KeyInPass(1, 0x41), 0);
  EXPECT_EQ(KeyInPass(2, 0x41), 1);
  EXPECT_EQ(KeyInPass(3, 0x41), 1);
  EXPECT_EQ(KeyInPass(4, 0x41), 0);
}

TEST_F(Replay, TapWithinOnePassIsSeenOnce) {
  ASSERT_TRUE(LoadInputReplay(dir.Write("in.txt", "1 button left down\n1 button left up\n")));
  EXPECT_EQ(KeyInPass(1, 0x01), 1);
  EXPECT_EQ(KeyInPass(2, 0x01), 0);
}

TEST_F(Replay, CursorMovesInItsPass) {
  ASSERT_TRUE(LoadInputReplay(dir.Write("in.txt", "# a comment\n\n3 cursor 100 -20\n")));
  int h, v;
  ApplyReplayedInput(2);
  Plat_SetCursorPosition(5, 5);
  ApplyReplayedInput(3);
  Plat_GetCursor(&h, &v);
  EXPECT_EQ(h, 100);
  EXPECT_EQ(v, -20);
}

TEST_F(Replay, MalformedLinesAreRefused) {
  EXPECT_FALSE(LoadInputReplay(dir.Write("a.txt", "0 key 65 down\n")));
  EXPECT_FALSE(LoadInputReplay(dir.Write("b.txt", "1 key 300 down\n")));
  EXPECT_FALSE(LoadInputReplay(dir.Write("c.txt", "1 key 65 sideways\n")));
  EXPECT_FALSE(LoadInputReplay(dir.Write("d.txt", "1 wheel up down\n")));
  EXPECT_FALSE(LoadInputReplay(dir.Write("e.txt", "1 cursor 10\n")));
  EXPECT_FALSE(LoadInputReplay(dir.Write("f.txt", "1 key 65 down extra\n")));
  EXPECT_FALSE(LoadInputReplay(dir.path() + "/missing.txt"));
}

TEST_F(Replay, EndlessOrOverlongLinesAreRefusedNotSwallowed) {
  // A long comment line is as bad as a long event: the line bound holds for every line.
  EXPECT_FALSE(LoadInputReplay(dir.Write("long.txt", "# " + std::string(5000, 'x') + "\n1 key 65 down\n")));
  EXPECT_FALSE(LoadInputReplay("/dev/zero"));  // one endless line: refused after its bound
  EXPECT_TRUE(LoadInputReplay(dir.Write("ok.txt", "# " + std::string(200, 'x') + "\r\n1 key 65 down")));
  EXPECT_EQ(KeyInPass(1, 65), 1);
}
