// Appending echoes to a caller's echo text.
#include "commands/echo.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void AppendEcho(char* buffer, const char* format, ...) {
  if (!buffer) return;
  size_t used = strnlen(buffer, kEchoBufferSize - 1);
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer + used, kEchoBufferSize - used, format, args);
  va_end(args);
}
