// Level reader growth benchmark: every reader the "mesh" command can hand a file to (Meshwork,
// OBJ, 3DS, Coalesce, Lightwave, the own model file as level geometry) and the skinned model
// loader, each reading a generated terrain of about N and 10 N vertices. Prints the time at
// both sizes (best of a few runs) and their ratio: a linear reader stays near 10 (goal: at
// most 12). The level rebuild that follows an import (before the next frame or query) is timed
// apart and shown on its own.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include <malloc.h>
#include <unistd.h>

#include "bench_support.h"
#include "../tools/level_file_writers.h"
#include "models/import_dispatch.h"
#include "models/materials.h"
#include "models/zntl_model.h"
#include "script/script_file.h"
#include "shell/startup.h"
#include "world/level_mesh.h"

namespace {

// Processor time of this process (it has one thread): the machine is shared while
// benchmarks run, and time spent waiting for a core is not the program's cost.
const auto Now = bench::ProcessSeconds;

std::string gFolder;

std::string WriteFile(const std::string& name, const std::string& bytes) {
  std::string path = gFolder + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

struct Timing {
  double reader = 1e30;   // the "mesh" import: read, append to the level lists
  double rebuild = 1e30;  // the level rebuild the next frame or query runs
  size_t triangles = 0;
};

// One measurement: the mean of `repeats` imports of the file into an empty level.
Timing TimeLevelImport(const std::string& path, int repeats) {
  Timing mean;
  double reader = 0, rebuild = 0;
  for (int k = 0; k < repeats; ++k) {
    FreeLevelGeometry();
    bench::EvictCaches();
    double t0 = Now();
    ImportModelWithAutoDetect(path.c_str(), 1.0f);
    double t1 = Now();
    UpdateLevelIfChanged();
    reader += t1 - t0;
    rebuild += Now() - t1;
  }
  mean.reader = reader / repeats;
  mean.rebuild = rebuild / repeats;
  mean.triangles = static_cast<size_t>(gNumTriangles);
  FreeLevelGeometry();
  return mean;
}

// One measurement: the mean of `repeats` loads of the model file.
double TimeModelLoad(const std::string& path, int repeats, size_t* triangles) {
  double total = 0;
  for (int k = 0; k < repeats; ++k) {
    zntlmdl* mdl = NewZyntrelMdl();
    bench::EvictCaches();
    double t0 = Now();
    int ok = Load_Zyntrel_Mdl(path.c_str(), mdl);
    total += Now() - t0;
    *triangles = ok ? mdl->numTriangles : 0;
    if (ok) Dispose_Zyntrel_Mdl(mdl);
    else std::free(mdl);
  }
  return total / repeats;
}

// The best of `runs` measurements of the small and of the large file, taken in turn so that
// both sizes meet the same moments of a shared machine. A measurement of the small file is the
// mean of ten imports, so that both sizes are timed over spans of about the same length: the
// best of a few short spans catches a quiet moment far more often than the best of a few long
// ones.
template <class Measure>
void TimeInTurn(int runs, Measure measure, Timing* small, Timing* large) {
  for (int r = 0; r < runs; ++r) {
    const Timing a = measure(0, 10), b = measure(1, 1);
    for (auto [best, t] : {std::pair<Timing*, Timing>{small, a}, {large, b}}) {
      best->reader = std::min(best->reader, t.reader);
      best->rebuild = std::min(best->rebuild, t.rebuild);
      best->triangles = t.triangles;
    }
  }
}

void Report(const char* reader, int n1, const Timing& a, int n2, const Timing& b, double files) {
  std::printf("%-22s %7d v %8.1f ms | %7d v %8.1f ms | ratio %5.2f, file x%5.2f   (then the level rebuild %6.1f / "
              "%7.1f ms, ratio %5.2f; %zu / %zu triangles)\n",
              reader, n1, a.reader * 1000, n2, b.reader * 1000, b.reader / a.reader, files, a.rebuild * 1000,
              b.rebuild * 1000, b.rebuild / a.rebuild, a.triangles, b.triangles);
}

}  // namespace

int main(int argc, char** argv) {
  // Every import starts as a game's load of a level does: with cold caches and with its large
  // arrays in fresh memory from the system. Otherwise the small file, imported again and again,
  // would find its bytes and records still in the caches and glibc would hand its arrays the
  // memory the last import gave back, while the large file's would come fresh each time (glibc
  // keeps arrays above 32 MB out of its heap): the ratio would show the caches and the heap,
  // not the reader.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  // Sides of the two terrains: about 20,000 and 200,000 vertices (both beyond the processor's
  // caches, so the ratio shows the work and not the cache).
  const int small = argc > 1 ? std::atoi(argv[1]) : 142;
  const int large = argc > 2 ? std::atoi(argv[2]) : 448;
  // A third argument times only the readers whose name contains it (for profiling one).
  const std::string only = argc > 3 ? argv[3] : "";
  auto chosen = [&](const char* name) { return only.empty() || std::string(name).find(only) != std::string::npos; };
  const int runs = 8;
  char folder[] = "/tmp/zyntrel-bench-readersXXXXXX";
  if (!mkdtemp(folder)) return 1;
  gFolder = std::string(folder) + "/";
  InitDefaultMaterialAndBone();
  ZNK_CopyString(routePath, gFolder.c_str(), sizeof routePath);

  struct Format {
    const char* name;
    const char* file;
    std::string (*write)(const std::vector<lfw::Patch>&);
  };
  const Format formats[] = {
      {"Meshwork", "terrain.msh", lfw::Meshwork},
      {"Wavefront OBJ", "terrain.obj", lfw::Obj},
      {"3DS", "terrain.3ds", lfw::ThreeDS},
      {"Coalesce", "terrain.coa", lfw::Coalesce},
      {"Lightwave LWO2", "terrain.lwo", [](const std::vector<lfw::Patch>& p) { return lfw::Lightwave(p); }},
      {"own model as level", "terrain.mdl", [](const std::vector<lfw::Patch>& p) { return zmw::Write(lfw::ZntlModel(p)); }},
  };

  const std::vector<lfw::Patch> terrain1 = lfw::Terrain(small), terrain2 = lfw::Terrain(large);
  const int n1 = lfw::VertexCount(terrain1), n2 = lfw::VertexCount(terrain2);
  std::printf("level readers: %d and %d vertices (%d and %d triangles), best of %d\n", n1, n2,
              lfw::TriangleCount(terrain1), lfw::TriangleCount(terrain2), runs);
  int status = 0;
  for (const Format& f : formats) {
    if (!chosen(f.name)) continue;
    const std::string bytes1 = f.write(terrain1), bytes2 = f.write(terrain2);
    std::string p1 = WriteFile(std::string("a_") + f.file, bytes1);
    std::string p2 = WriteFile(std::string("b_") + f.file, bytes2);
    Timing a, b;
    TimeInTurn(runs, [&](int which, int repeats) { return TimeLevelImport(which ? p2 : p1, repeats); }, &a, &b);
    Report(f.name, n1, a, n2, b, static_cast<double>(bytes2.size()) / static_cast<double>(bytes1.size()));
    if (a.triangles != static_cast<size_t>(lfw::TriangleCount(terrain1)) ||
        b.triangles != static_cast<size_t>(lfw::TriangleCount(terrain2)))
      status = 1;
    std::remove(p1.c_str());
    std::remove(p2.c_str());
  }

  // The skinned model loader reads the same file as an object's model.
  if (!chosen("skinned model loader")) {
    rmdir(folder);
    return status;
  }
  const std::string model1 = zmw::Write(lfw::ZntlModel(terrain1)), model2 = zmw::Write(lfw::ZntlModel(terrain2));
  std::string p1 = WriteFile("a_model.mdl", model1);
  std::string p2 = WriteFile("b_model.mdl", model2);
  size_t t1 = 0, t2 = 0;
  Timing a, b;
  TimeInTurn(runs, [&](int which, int repeats) {
    Timing t;
    t.reader = TimeModelLoad(which ? p2 : p1, repeats, which ? &t2 : &t1);
    t.rebuild = 0;
    return t;
  }, &a, &b);
  const double m1 = a.reader, m2 = b.reader;
  std::printf("%-22s %7d v %8.1f ms | %7d v %8.1f ms | ratio %5.2f, file x%5.2f   (%zu / %zu triangles)\n",
              "skinned model loader", n1, m1 * 1000, n2, m2 * 1000, m2 / m1,
              static_cast<double>(model2.size()) / static_cast<double>(model1.size()), t1, t2);
  if (t1 != static_cast<size_t>(lfw::TriangleCount(terrain1))) status = 1;
  std::remove(p1.c_str());
  std::remove(p2.c_str());
  rmdir(folder);
  return status;
}
