// Coalesce reader: a tab-separated text file of vertices, then triangles with a texture number
// and three texture-coordinate pairs; textures are the model's path with the number and ".png".
#include "models/import_coalesce.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "models/import_line_reader.h"
#include "models/model_types.h"
#include "models/number_scan.h"
#include "shell/output.h"

namespace {
constexpr int kCoalesceTextures = 32;
constexpr size_t kCoalesceLine = 1024;
}  // namespace

int ParseCoalesce(const char* data, size_t size, float scaleFactor, ImportMesh* mesh) {
  ImportLineReader r(data, size);
  char line[kCoalesceLine];
  if (!r.line(line, sizeof line) || std::strcmp(line, "Coalesce") != 0) return 0;
  mesh->triangleEdges = true;

  long count = 0;
  if (!r.line(line, sizeof line) || ScanNumbers(line, "VERTICES\t%ld", &count) != 1 || count < 0) count = 0;
  // Every vertex takes a line of its own, so a count beyond the bytes left is a lie.
  if (static_cast<unsigned long>(count) > r.remaining()) count = static_cast<long>(r.remaining());
  const char* const end = data + size;
  const char* first = data + r.pos;
  for (long i = 0; i < count; i++) {
    if (!r.line(line, sizeof line)) break;
    float x = 0, y = 0, z = 0;
    ScanNumbers(line, "%f\t%f\t%f", &x, &y, &z);
    MakeRoom(&mesh->positions, first, data + r.pos, end);
    mesh->positions.push_back(FileUnitsToWorld(vector_type{x, y, z}, scaleFactor));
  }

  count = 0;
  if (!r.line(line, sizeof line) || ScanNumbers(line, "TRIANGLES\t%ld", &count) != 1 || count < 0) count = 0;
  if (static_cast<unsigned long>(count) > r.remaining() / 2 + 1) count = static_cast<long>(r.remaining() / 2 + 1);
  first = data + r.pos;
  for (long i = 0; i < count; i++) {
    if (!r.line(line, sizeof line)) break;
    long a = -1, b = -1, c = -1, tex = 0;
    ScanNumbers(line, "%ld\t%ld\t%ld\t%ld", &a, &b, &c, &tex);
    float uv[6] = {0, 0, 0, 0, 0, 0};
    if (r.line(line, sizeof line))
      ScanNumbers(line, "%f\t%f\t%f\t%f\t%f\t%f", &uv[0], &uv[1], &uv[2], &uv[3], &uv[4], &uv[5]);
    const long n = static_cast<long>(mesh->positions.size());
    if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n) continue;
    ImportTriangle t = DefaultImportTriangle(static_cast<uint32_t>(a), static_cast<uint32_t>(b),
                                             static_cast<uint32_t>(c));
    for (int k = 0; k < 3; k++) {
      t.u[k] = uv[2 * k];
      t.v[k] = 1.0f - uv[2 * k + 1];
    }
    t.meshworkMaterial = (tex >= 0 && tex < (1L << 30)) ? static_cast<int>(tex) : 0;
    MakeRoom(&mesh->triangles, first, data + r.pos, end);
    mesh->triangles.push_back(t);
  }
  return 1;
}

void ImportCoalesceModel(const char* fileName, float scaleFactor) {
  if (!ImportPathInGameFolder(fileName)) return;
  std::vector<unsigned char> bytes;
  if (!ReadWholeImportFile(fileName, &bytes)) return;
  ImportCoalesceFromMemory(reinterpret_cast<const char*>(bytes.data()), bytes.size(), fileName, scaleFactor);
}

void ImportCoalesceFromMemory(const char* data, size_t size, const char* fileName, float scaleFactor) {
  ImportMesh mesh;
  if (!ParseCoalesce(data, size, scaleFactor, &mesh)) {
    OutputToDialog("This is no valid Coalesce model.");
    return;
  }
  // Texture numbers 0..31 name the files path0.png .. path31.png; others stay untextured.
  bool usedTexture[kCoalesceTextures] = {false};
  for (const ImportTriangle& t : mesh.triangles) {
    if (t.meshworkMaterial >= 0 && t.meshworkMaterial < kCoalesceTextures) usedTexture[t.meshworkMaterial] = true;
  }
  uint32_t textures[kCoalesceTextures] = {0};
  for (int i = 0; i < kCoalesceTextures; i++) {
    if (!usedTexture[i]) continue;
    char path[2100];
    std::snprintf(path, sizeof path, "%s%d.png", fileName, i);
    textures[i] = ImportTextureFromPath(path);
  }
  for (ImportTriangle& t : mesh.triangles) {
    if (t.meshworkMaterial >= 0 && t.meshworkMaterial < kCoalesceTextures) t.theTexture = textures[t.meshworkMaterial];
  }
  AppendImportToLevel(mesh);
}
