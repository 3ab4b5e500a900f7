// Shared test helpers.
#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "shell/game_paths.h"
#include "shell/output.h"

namespace zt {

TempDir::TempDir() {
  char pattern[] = "/tmp/zyntrel-test-XXXXXX";
  char* made = mkdtemp(pattern);
  path_ = made ? made : "/tmp";
  // The folder appeared behind the engine's back: folder listings cached by an earlier test
  // do not name it, and a name resolved without regard to case would miss it.
  ForgetGameFolderListings();
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& relative, const std::string& contents) const {
  std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out << contents;
  return full.string();
}

namespace {
std::string gCaptured;
OutputHook gSavedHook = nullptr;
void CaptureHook(const char* text) { gCaptured += text; }
}  // namespace

ConsoleCapture::ConsoleCapture() {
  gSavedHook = toConsole;
  gCaptured.clear();
  toConsole = CaptureHook;
}
ConsoleCapture::~ConsoleCapture() { toConsole = gSavedHook; }
std::string ConsoleCapture::text() const { return gCaptured; }
void ConsoleCapture::clear() { gCaptured.clear(); }

HeadlessGL::HeadlessGL(int width, int height) {
  PlatformOptions options;
  options.backend = kPlatformHeadless;
  options.windowWidth = width;
  options.windowHeight = height;
  if (!Plat_Init(options)) return;
  bool full = false;
  std::string error;
  ok_ = Plat_CreateWindow("test", width, height, 16, false, &full, &error);
}

HeadlessGL::~HeadlessGL() { Plat_Shutdown(); }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace zt
