// Shared test helpers.
#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "shell/output.h"

namespace zt {

TempDir::TempDir() {
  char pattern[] = "/tmp/zyntrel-test-XXXXXX";
  char* made = mkdtemp(pattern);
  path_ = made ? made : "/tmp";
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

// The sanitizer settings every test program runs with, also when started outside CTest
// (whose per-test environment GoogleTest discovery passes on only in part): leaks inside
// system libraries are suppressed by the project's list, nothing else is.
extern "C" const char* __lsan_default_options() {
  return "suppressions=" ZYNTREL_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0";
}
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
