// Game paths: Windows spellings find the files on disk, exact names win, the choice between
// names that differ only by case is fixed, reads are bounded to regular files, and writes stay
// inside the game folder whatever links lie on the way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "shell/game_paths.h"
#include "support/test_support.h"

namespace {
class GamePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    game = dir.path() + "/game";
    dir.Write("game/.keep", "");
    ASSERT_EQ(chdir(game.c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(saved), 0); }
  static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
  // Writes through the sandbox; true when a file was opened.
  static bool Write(const char* name, const char* text) {
    FILE* f = OpenGameFileForWriting(name, "w");
    if (!f) return false;
    std::fputs(text, f);
    std::fclose(f);
    return true;
  }
  zt::TempDir dir;
  std::string game;
  char saved[4096];
};
}  // namespace

TEST(GamePathNormalForm, SeparatorsAndDotComponents) {
  EXPECT_EQ(NormalGamePath("Models\\Robot.wtf"), "Models/Robot.wtf");
  EXPECT_EQ(NormalGamePath("a//b\\\\c"), "a/b/c");
  EXPECT_EQ(NormalGamePath("./a/./b/."), "a/b");
  EXPECT_EQ(NormalGamePath("Levels\\One\\"), "Levels/One/");
  EXPECT_EQ(NormalGamePath("/abs//x"), "/abs/x");
  EXPECT_EQ(NormalGamePath("a/../b"), "a/../b");  // ".." is left to the file system
  EXPECT_EQ(NormalGamePath(""), "");
}

TEST_F(GamePaths, ComponentsMatchWithoutRegardToCase) {
  dir.Write("game/textures/grass.png", "x");
  dir.Write("game/Levels/Level One/load script.txt", "x");
  EXPECT_EQ(ResolveGamePath("Textures\\GRASS.PNG"), "textures/grass.png");
  EXPECT_EQ(ResolveGamePath("levels/LEVEL ONE/Load Script.txt"), "Levels/Level One/load script.txt");
  EXPECT_EQ(ResolveGamePath("LEVELS\\level one\\"), "Levels/Level One/");
  EXPECT_EQ(ResolveGamePath("levels/level one/../../TEXTURES/grass.png"), "Levels/Level One/../../textures/grass.png");
  // From the first component that matches nothing, the name stays as written.
  EXPECT_EQ(ResolveGamePath("TEXTURES/New/Sub.png"), "textures/New/Sub.png");
  EXPECT_TRUE(ZNK_FileExists("TEXTURES/Grass.png"));
  EXPECT_FALSE(ZNK_FileExists("textures/grass.pn"));
  EXPECT_TRUE(GameFolderExists("LEVELS/level ONE"));
  EXPECT_FALSE(GameFolderExists("textures/grass.png"));
}

TEST_F(GamePaths, ExactNameWinsThenTheFirstByteByByte) {
  dir.Write("game/Pic.png", "upper");
  dir.Write("game/pic.png", "lower");
  dir.Write("game/PIC.png", "caps");
  EXPECT_EQ(ResolveGamePath("pic.png"), "pic.png");
  EXPECT_EQ(ResolveGamePath("Pic.png"), "Pic.png");
  EXPECT_EQ(ResolveGamePath("pIc.png"), "PIC.png");  // "PIC" < "Pic" < "pic"
  dir.Write("game/Data/a.txt", "");
  dir.Write("game/data/b.txt", "");
  ForgetGameFolderListings();  // the folder listing above was made before these existed
  // The exact folder wins even when only its other-case twin holds the file.
  EXPECT_EQ(ResolveGamePath("data/a.txt"), "data/a.txt");
  EXPECT_EQ(ResolveGamePath("DATA/b.txt"), "Data/b.txt");
}

TEST_F(GamePaths, LatinOneLettersFoldInUTF8AndInSingleBytes) {
  dir.Write("game/\xC3\x84rger.png", "utf8");   // "Ärger" in UTF-8
  dir.Write("game/\xC4Z.png", "latin1");         // "ÄZ" in Latin-1
  EXPECT_EQ(ResolveGamePath("\xC3\xA4RGER.png"), "\xC3\x84rger.png");
  EXPECT_EQ(ResolveGamePath("\xE4z.PNG"), "\xC4Z.png");
  // The multiplication sign is no letter: it has no small form.
  dir.Write("game/\xD7.txt", "");
  EXPECT_EQ(ResolveGamePath("\xF7.txt"), "\xF7.txt");
}

TEST_F(GamePaths, FixPathStringResolvesInPlace) {
  dir.Write("game/models/robot.wtf", "");
  char path[] = "Models\\\\.\\ROBOT.wtf";
  FixPathString(path);
  EXPECT_STREQ(path, "models/robot.wtf");
}

TEST_F(GamePaths, ListingsAreForgottenWhenThePlayerWrites) {
  dir.Write("game/saves/old.txt", "");
  EXPECT_EQ(ResolveGamePath("SAVES/Slot.TXT"), "saves/Slot.TXT");  // lists "saves"
  dir.Write("game/saves/slot.txt", "");                            // behind the cache's back
  ASSERT_TRUE(Write("Saves/other.txt", "x"));
  EXPECT_EQ(ResolveGamePath("SAVES/Slot.TXT"), "saves/slot.txt");
}

TEST_F(GamePaths, ReadsRefuseFIFOsDevicesFoldersAndHugeFiles) {
  ASSERT_EQ(mkfifo((game + "/pipe.png").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", (game + "/zero.wav").c_str()), 0);
  int fd = open((game + "/huge.wtf").c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, kMaxGameFileBytes + 1), 0);  // sparse: costs no disk
  close(fd);
  dir.Write("game/ok.txt", "fine");
  dir.Write("game/folder/x", "");

  zt::ConsoleCapture console;
  EXPECT_EQ(OpenGameFile("PIPE.png"), nullptr);  // would block forever if opened plainly
  EXPECT_EQ(OpenGameFile("zero.wav"), nullptr);
  EXPECT_EQ(OpenGameFile("folder"), nullptr);
  EXPECT_EQ(OpenGameFile("huge.wtf"), nullptr);
  EXPECT_NE(console.text().find("//Not a regular file, not read: \"PIPE.png\""), std::string::npos);
  EXPECT_NE(console.text().find("//Not a regular file, not read: \"zero.wav\""), std::string::npos);
  EXPECT_NE(console.text().find("//File larger than 256 MB, not read: \"huge.wtf\""), std::string::npos);
  console.clear();
  EXPECT_FALSE(ZNK_FileExists("pipe.png"));
  EXPECT_EQ(console.text(), "");  // the existence test is quiet

  FILE* f = OpenGameFile("OK.TXT");
  ASSERT_NE(f, nullptr);
  char text[8] = "";
  EXPECT_EQ(std::fread(text, 1, 7, f), 4u);
  std::fclose(f);
}

TEST_F(GamePaths, WritesFollowTheResolverAndStayInside) {
  dir.Write("game/Saves/Slot1.txt", "old");
  ASSERT_TRUE(Write("saves\\SLOT1.TXT", "new"));  // an existing file of any case is written
  EXPECT_EQ(zt::ReadFile(game + "/Saves/Slot1.txt"), "new");
  ASSERT_TRUE(Write("SAVES/Slot2.TXT", "two"));  // a new file takes its name as written
  EXPECT_EQ(zt::ReadFile(game + "/Saves/Slot2.TXT"), "two");
  ASSERT_TRUE(Write("saves/../top.txt", "top"));
  EXPECT_TRUE(Exists(game + "/top.txt"));
  EXPECT_FALSE(Write("missing/x.txt", "x"));  // no such folder: nothing, quietly

  zt::ConsoleCapture console;
  EXPECT_FALSE(Write("../escape.txt", "x"));
  EXPECT_FALSE(Write("/tmp/zyntrel-escape.txt", "x"));
  EXPECT_FALSE(Write("saves/..", "x"));
  EXPECT_FALSE(Exists(dir.path() + "/escape.txt"));
  EXPECT_NE(console.text().find("//Refused to write \"../escape.txt\""), std::string::npos);
}

TEST_F(GamePaths, LinksOutOfTheGameFolderAreNotWrittenThrough) {
  dir.Write("outside/deep/keep.txt", "keep");
  dir.Write("outside/target.txt", "untouched");
  ASSERT_EQ(symlink((dir.path() + "/outside").c_str(), (game + "/saves").c_str()), 0);
  ASSERT_EQ(symlink((dir.path() + "/outside/target.txt").c_str(), (game + "/link.txt").c_str()), 0);
  ASSERT_EQ(symlink((dir.path() + "/outside/deep").c_str(), (game + "/up").c_str()), 0);
  ASSERT_EQ(symlink((dir.path() + "/outside/none.txt").c_str(), (game + "/dangling.txt").c_str()), 0);
  dir.Write("game/inner/real.txt", "r");
  ASSERT_EQ(symlink("inner/real.txt", (game + "/inlink.txt").c_str()), 0);

  zt::ConsoleCapture console;
  EXPECT_FALSE(Write("saves/new.txt", "x"));
  EXPECT_FALSE(Write("LINK.TXT", "x"));
  EXPECT_FALSE(Write("up/../up.txt", "x"));
  EXPECT_FALSE(Write("dangling.txt", "x"));
  EXPECT_FALSE(Exists(dir.path() + "/outside/new.txt"));
  EXPECT_FALSE(Exists(dir.path() + "/outside/up.txt"));
  EXPECT_FALSE(Exists(dir.path() + "/outside/none.txt"));
  EXPECT_EQ(zt::ReadFile(dir.path() + "/outside/target.txt"), "untouched");
  EXPECT_NE(console.text().find("//Refused to write \"up/../up.txt\""), std::string::npos);
  // A link that stays inside is written through; reading may follow links anywhere.
  EXPECT_TRUE(Write("inlink.txt", "through"));
  EXPECT_EQ(zt::ReadFile(game + "/inner/real.txt"), "through");
  EXPECT_TRUE(ZNK_FileExists("Saves/Deep/keep.txt"));
}
