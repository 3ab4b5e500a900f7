// Game paths: one resolver for every name a game gives. "\" and "/" are alike, names are
// matched without regard to case where the exact path does not exist (folder listings are
// cached for that), reads are limited to regular files of a bounded size, and writes are
// kept inside the game folder with every symbolic link resolved.
#include "shell/game_paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "shell/output.h"
#include "shell/startup.h"

namespace {

// The names of one folder: as they are, and by their case-folded form (the name chosen
// among those that fold alike).
struct FolderListing {
  bool isFolder = false;
  std::unordered_set<std::string> names;
  std::unordered_map<std::string, std::string> byFolded;
};

std::unordered_map<std::string, FolderListing> gFolderListings;
std::string gListingsWorkingFolder;  // the working folder the listings were made in

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Bytes that continue a UTF-8 sequence begun at s[i], or 0 when s[i] starts none.
size_t UTF8SequenceLength(const std::string& s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (length == 0 || i + length > s.size()) return 0;
  for (size_t k = 1; k < length; k++) {
    unsigned char d = static_cast<unsigned char>(s[i + k]);
    if (d < 0x80 || d > 0xBF) return 0;
  }
  return length;
}

// The name with ASCII and Latin-1 capitals made small, in UTF-8 (U+00C0..U+00DE) and in
// single Latin-1 bytes alike; the folded name has the same length as the name.
std::string FoldCase(const std::string& name) {
  std::string out(name);
  for (size_t i = 0; i < out.size();) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + 32);
      i++;
      continue;
    }
    size_t sequence = c >= 0x80 ? UTF8SequenceLength(out, i) : 0;
    if (sequence == 2 && c == 0xC3) {
      unsigned char d = static_cast<unsigned char>(out[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
    } else if (sequence == 0 && c >= 0xC0 && c <= 0xDE && c != 0xD7) {
      out[i] = static_cast<char>(c + 0x20);
    }
    i += sequence ? sequence : 1;
  }
  return out;
}

struct SplitPath {
  bool absolute = false;
  bool trailingSeparator = false;
  std::vector<std::string> components;
};

SplitPath Split(const char* path) {
  SplitPath split;
  split.absolute = IsSeparator(path[0]);
  const char* p = path;
  while (*p) {
    while (IsSeparator(*p)) p++;
    const char* end = p;
    while (*end && !IsSeparator(*end)) end++;
    std::string component(p, static_cast<size_t>(end - p));
    if (!component.empty() && component != ".") split.components.push_back(component);
    p = end;
  }
  size_t length = std::strlen(path);
  split.trailingSeparator = length > 0 && IsSeparator(path[length - 1]) && !split.components.empty();
  return split;
}

void AppendComponent(std::string* path, const std::string& component) {
  if (!path->empty() && path->back() != '/') *path += '/';
  *path += component;
}

std::string WorkingFolder() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

const FolderListing& ListingOf(const std::string& folder) {
  auto found = gFolderListings.find(folder);
  if (found != gFolderListings.end()) return found->second;
  FolderListing& listing = gFolderListings[folder];
  DIR* dir = opendir(folder.c_str());
  if (!dir) return listing;
  listing.isFolder = true;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    listing.names.insert(name);
    // Among names that differ only by case, the first byte by byte is the one chosen.
    auto placed = listing.byFolded.emplace(FoldCase(name), name);
    if (!placed.second && name < placed.first->second) placed.first->second = name;
  }
  closedir(dir);
  return listing;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Opens the resolved name for reading without blocking on a FIFO; only regular files of a
// bounded size are handed out.
FILE* OpenForReading(const char* path, bool report) {
  if (!path || !path[0]) return nullptr;
  std::string real = ResolveGamePath(path);
  int fd = open(real.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (report) OutputToConsoleF("//Not a regular file, not read: \"%s\"\n", path);
    close(fd);
    return nullptr;
  }
  if (st.st_size > kMaxGameFileBytes) {
    if (report) OutputToConsoleF("//File larger than %lld MB, not read: \"%s\"\n", kMaxGameFileBytes >> 20, path);
    close(fd);
    return nullptr;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

bool IsInside(const std::string& path, const std::string& folder) {
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string RealPath(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return std::string();
  std::string out(real);
  std::free(real);
  return out;
}

enum WriteCheck { kWriteAllowed, kWriteRefused, kWriteNotRegular, kWriteNoFolder };

// Where a write to the resolved `target` really goes, with every link resolved; allowed only
// inside the game folder (the folder `routePath` names, the working folder when it is empty)
// and only to a regular file or a new one.
WriteCheck CheckWriteTarget(const std::string& target, std::string* checked) {
  std::string gameFolder = RealPath(routePath[0] ? routePath : ".");
  if (gameFolder.empty() || target.empty() || target.back() == '/') return kWriteNoFolder;
  size_t slash = target.rfind('/');
  std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
  if (leaf == "..") return kWriteRefused;
  std::string parentReal = RealPath(parent);
  if (parentReal.empty()) return kWriteNoFolder;
  if (!IsInside(parentReal, gameFolder)) return kWriteRefused;
  std::string full = parentReal == "/" ? "/" + leaf : parentReal + "/" + leaf;
  struct stat st;
  if (lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // A link is followed to its end; a dangling one has no place that could be checked.
    full = RealPath(full);
    if (full.empty() || !IsInside(full, gameFolder)) return kWriteRefused;
  }
  if (stat(full.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return kWriteNotRegular;
  *checked = full;
  return kWriteAllowed;
}

}  // namespace

std::string NormalGamePath(const char* path) {
  if (!path) return std::string();
  SplitPath split = Split(path);
  std::string out = split.absolute ? "/" : "";
  for (const std::string& component : split.components) AppendComponent(&out, component);
  if (split.trailingSeparator) out += '/';
  return out;
}

std::string ResolveGamePath(const char* path) {
  if (!path) return std::string();
  std::string normal = NormalGamePath(path);
  if (normal.empty() || PathExists(normal)) return normal;

  // Listings made in another working folder name other folders.
  std::string workingFolder = WorkingFolder();
  if (workingFolder != gListingsWorkingFolder) {
    gFolderListings.clear();
    gListingsWorkingFolder = workingFolder;
  }
  SplitPath split = Split(normal.c_str());
  std::string resolved = split.absolute ? "/" : "";
  size_t i = 0;
  for (; i < split.components.size(); i++) {
    const std::string& component = split.components[i];
    if (component == "..") {
      AppendComponent(&resolved, component);
      continue;
    }
    const FolderListing& listing = ListingOf(resolved.empty() ? "." : resolved);
    if (!listing.isFolder) break;
    if (listing.names.count(component)) {
      AppendComponent(&resolved, component);
      continue;
    }
    auto found = listing.byFolded.find(FoldCase(component));
    if (found == listing.byFolded.end()) break;
    AppendComponent(&resolved, found->second);
  }
  for (; i < split.components.size(); i++) AppendComponent(&resolved, split.components[i]);
  if (split.trailingSeparator) resolved += '/';
  return resolved;
}

void FixPathString(char* path) {
  if (!path) return;
  std::string resolved = ResolveGamePath(path);
  // Folding keeps every name's length and collapsing only shortens, so the result fits.
  size_t length = std::strlen(path);
  if (resolved.size() > length) return;
  std::memcpy(path, resolved.c_str(), resolved.size() + 1);
}

FILE* OpenGameFile(const char* path) { return OpenForReading(path, true); }

int ZNK_FileExists(const char* path) {
  FILE* file = OpenForReading(path, false);
  if (!file) return 0;
  std::fclose(file);
  return 1;
}

int GameFolderExists(const char* path) {
  if (!path || !path[0]) return 0;
  struct stat st;
  return stat(ResolveGamePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 1 : 0;
}

FILE* OpenGameFileForWriting(const char* path, const char* mode) {
  if (!path || !path[0] || !mode) return nullptr;
  std::string checked;
  switch (CheckWriteTarget(ResolveGamePath(path), &checked)) {
    case kWriteRefused:
      OutputToConsoleF("//Refused to write \"%s\": files are written only inside the game folder\n", path);
      return nullptr;
    case kWriteNotRegular:
      OutputToConsoleF("//Not a regular file, not written: \"%s\"\n", path);
      return nullptr;
    case kWriteNoFolder:
      return nullptr;
    case kWriteAllowed:
      break;
  }
  FILE* file = std::fopen(checked.c_str(), mode);
  ForgetGameFolderListings();
  return file;
}

void ForgetGameFolderListings() { gFolderListings.clear(); }
