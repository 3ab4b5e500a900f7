// Game-path benchmark: a folder of 5,000 files, and 100,000 names resolved through the game
// paths, once spelled exactly and once in other cases with "\" between folders. The peer in
// the same run is a plain stat() of the exact names, the least any lookup costs. Prints the
// cost per lookup and the ratios.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "shell/game_paths.h"

namespace {

constexpr int kFiles = 5000;
constexpr int kLookups = 100000;

const auto Now = bench::WallSeconds;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/zyntrel-bench-paths-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0 || mkdir("Textures", 0700) != 0) {
    std::fprintf(stderr, "cannot make the benchmark folder\n");
    return 1;
  }
  std::vector<std::string> exact, mismatched;
  for (int i = 0; i < kFiles; i++) {
    char name[64];
    std::snprintf(name, sizeof name, "Textures/wall_%04d.png", i);
    if (FILE* f = std::fopen(name, "w")) std::fclose(f);
    exact.push_back(name);
    std::string other = Upper(name);
    other[8] = '\\';
    mismatched.push_back(other);
  }

  size_t found = 0;
  double t0 = Now();
  for (int i = 0; i < kLookups; i++) {
    struct stat st;
    found += stat(exact[static_cast<size_t>(i) % kFiles].c_str(), &st) == 0;
  }
  double peer = Now() - t0;

  t0 = Now();
  size_t same = 0;
  for (int i = 0; i < kLookups; i++) {
    const std::string& name = exact[static_cast<size_t>(i) % kFiles];
    same += ResolveGamePath(name.c_str()) == name;
  }
  double ours = Now() - t0;

  ForgetGameFolderListings();  // the first mismatched lookup lists the folder again
  t0 = Now();
  size_t resolved = 0;
  for (int i = 0; i < kLookups; i++) {
    const size_t k = static_cast<size_t>(i) % kFiles;
    resolved += ResolveGamePath(mismatched[k].c_str()) == exact[k];
  }
  double folded = Now() - t0;

  std::printf("%d lookups against a folder of %d files (stat found %zu, exact names kept %zu, mismatched resolved %zu)\n",
              kLookups, kFiles, found, same, resolved);
  std::printf("  stat() of the exact name:          %8.0f ns per lookup\n", peer / kLookups * 1e9);
  std::printf("  resolver, exact name:              %8.0f ns per lookup\n", ours / kLookups * 1e9);
  std::printf("  resolver, other case and \"\\\":      %8.0f ns per lookup\n", folded / kLookups * 1e9);
  std::printf("  ratio exact / stat():              %8.2f\n", ours / peer);
  std::printf("  ratio mismatched / stat():         %8.2f\n", folded / peer);

  for (const std::string& name : exact) unlink(name.c_str());
  rmdir("Textures");
  if (chdir("/") == 0) rmdir(pattern);
  return resolved == static_cast<size_t>(kLookups) && same == static_cast<size_t>(kLookups) ? 0 : 1;
}
