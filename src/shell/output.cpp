// Output hooks and the file-exists test.
#include "shell/output.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/platform.h"

OutputHook toConsole = nullptr;
OutputHook toDialog = nullptr;

void OutputToConsole(const char* text) {
  if (toConsole && text) toConsole(text);
}

void OutputToDialog(const char* text) {
  if (toDialog && text) toDialog(text);
}

void MyOutputToConsole(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

void MyOutputToDialog(const char* text) { Plat_MessageBox("Zyntrel Player.exe", text, kIconInformation, false); }

void OutputToConsoleF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n >= 0) {
    std::vector<char> text(static_cast<size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    OutputToConsole(text.data());
  }
  va_end(args);
}
