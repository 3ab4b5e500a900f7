// Checks the paths that scripts name for writing.
#include "commands/game_paths.h"

#include <cstring>

bool IsPathInsideGameFolder(const char* path) {
  if (!path || !path[0] || path[0] == '/') return false;
  // Any ".." component is refused, even one that would come back down again.
  const char* p = path;
  while (*p) {
    const char* end = std::strchr(p, '/');
    size_t n = end ? static_cast<size_t>(end - p) : std::strlen(p);
    if (n == 2 && p[0] == '.' && p[1] == '.') return false;
    if (!end) break;
    p = end + 1;
  }
  return true;
}
