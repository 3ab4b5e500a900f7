// Helpers shared by the unit tests: temporary game folders, console capture, and an
// off-screen GL context.
#pragma once
#include <string>
#include <vector>

namespace zt {

// A fresh temporary folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // Writes `contents` to path()/relative, creating folders on the way; returns the full path.
  std::string Write(const std::string& relative, const std::string& contents) const;

 private:
  std::string path_;
};

// Collects everything written through OutputToConsole while it lives.
class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  std::string text() const;
  void clear();
};

// Makes a headless GL context of the given size current for the life of the object.
class HeadlessGL {
 public:
  HeadlessGL(int width = 64, int height = 64);
  ~HeadlessGL();
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

std::string ReadFile(const std::string& path);

}  // namespace zt
