// Checks the paths that scripts name for writing.
#include "commands/game_paths.h"

#include <cstring>

bool IsPathInsideGameFolder(const char* path) {
  if (!path || !path[0] || path[0] == '/' || path[0] == '\\') return false;
  // A drive letter names another place altogether.
  if (((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':') return false;
  // Walk the components; a ".." may go back up only as far as the folder it started in.
  int depth = 0;
  const char* p = path;
  while (*p) {
    const char* end = p;
    while (*end && *end != '/' && *end != '\\') end++;
    size_t length = static_cast<size_t>(end - p);
    if (length == 2 && p[0] == '.' && p[1] == '.') {
      if (--depth < 0) return false;
    } else if (length > 0 && !(length == 1 && p[0] == '.')) {
      depth++;
    }
    p = *end ? end + 1 : end;
  }
  return true;
}
