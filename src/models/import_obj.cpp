// Wavefront OBJ reader: one pass over the file's bytes (no per-line allocation, own number
// parsing), then the MTL files for the textures, then one append to the level.
#include "models/import_obj.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "models/import_common.h"
#include "models/model_types.h"
#include "models/number_scan.h"
#include "render/textures.h"
#include "shell/output.h"
#include "shell/startup.h"

namespace {

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
inline bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Finds line ends in [data, end): the first CR or LF at or after a line's start. The next LF
// and the next CR found are remembered, so that the text is scanned about once for each
// whatever its line ends (a file without CR is searched for one only once).
struct LineEnds {
  const char* end;
  const char* nextLF = nullptr;
  const char* nextCR = nullptr;

  static const char* Find(const char* p, const char* end, char c) {
    const void* found = std::memchr(p, c, static_cast<size_t>(end - p));
    return found ? static_cast<const char*>(found) : end;
  }
  const char* after(const char* p) {
    if (!nextLF || nextLF < p) nextLF = Find(p, end, '\n');
    if (!nextCR || nextCR < p) nextCR = Find(p, end, '\r');
    return nextCR < nextLF ? nextCR : nextLF;
  }
};
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A cursor over one line [p, end).
struct Cursor {
  const char* p;
  const char* end;

  void skipBlanks() {
    while (p < end && IsBlank(*p)) p++;
  }
  bool atEnd() const { return p >= end; }
};

// Reads a real as scanf's %f would: plain decimals directly, other forms (inf, nan, hex)
// through strtod on a bounded copy of the word.
bool ParseReal(Cursor& c, float* out) {
  c.skipBlanks();
  if (const char* after = ReadPlainReal(c.p, c.end, out)) {
    c.p = after;
    return true;
  }
  char word[64];
  size_t n = 0;
  const char* w = c.p;
  while (w < c.end && !IsBlank(*w) && n < sizeof word - 1) word[n++] = *w++;
  word[n] = '\0';
  char* stop = nullptr;
  double value = std::strtod(word, &stop);
  if (stop == word) return false;
  c.p += stop - word;
  *out = static_cast<float>(value);
  return true;
}

// An integer with optional sign; false when there are no digits.
bool ParseInt(Cursor& c, int64_t* out) {
  const char* s = c.p;
  bool negative = false;
  if (s < c.end && (*s == '-' || *s == '+')) negative = (*s++ == '-');
  if (s >= c.end || !IsDigit(*s)) return false;
  int64_t value = 0;
  while (s < c.end && IsDigit(*s)) {
    if (value < (int64_t(1) << 40)) value = value * 10 + (*s - '0');
    s++;
  }
  *out = negative ? -value : value;
  c.p = s;
  return true;
}

// The keyword at the start of the line and the rest after it (blanks around trimmed).
void SplitKeyword(const char* line, const char* end, const char** kw, size_t* kwLength, Cursor* rest) {
  const char* p = line;
  while (p < end && IsBlank(*p)) p++;
  *kw = p;
  while (p < end && !IsBlank(*p)) p++;
  *kwLength = static_cast<size_t>(p - *kw);
  while (p < end && IsBlank(*p)) p++;
  const char* e = end;
  while (e > p && IsBlank(e[-1])) e--;
  rest->p = p;
  rest->end = e;
}

inline bool KeywordIs(const char* kw, size_t length, const char* word) {
  size_t n = std::strlen(word);
  return length == n && std::memcmp(kw, word, n) == 0;
}

// Resolves a 1-based or negative (relative) OBJ number against `count` items read so far;
// -1 when it names nothing that can exist.
int32_t ResolveIndex(int64_t number, size_t count) {
  if (number > 0) return number <= (int64_t(1) << 31) - 1 ? static_cast<int32_t>(number - 1) : -1;
  if (number < 0) {
    int64_t i = static_cast<int64_t>(count) + number;
    return i >= 0 ? static_cast<int32_t>(i) : -1;
  }
  return -1;
}

// One face corner: v, v/vt, v/vt/vn or v//vn.
bool ParseCorner(Cursor& c, size_t numV, size_t numVT, int32_t* v, int32_t* vt) {
  c.skipBlanks();
  int64_t number = 0;
  if (!ParseInt(c, &number)) return false;
  *v = ResolveIndex(number, numV);
  *vt = -1;
  if (c.p < c.end && *c.p == '/') {
    c.p++;
    if (ParseInt(c, &number)) *vt = ResolveIndex(number, numVT);
    if (c.p < c.end && *c.p == '/') {
      c.p++;
      ParseInt(c, &number);  // the normal number is not used
    }
  }
  // Skip whatever else the word holds.
  while (c.p < c.end && !IsBlank(*c.p)) c.p++;
  return *v >= 0;
}

std::string Word(const char* p, const char* end) { return std::string(p, static_cast<size_t>(end - p)); }

}  // namespace

void ParseOBJ(const char* data, size_t size, float scaleFactor, ObjFile* out) {
  const char* p = data;
  const char* end = data + size;
  LineEnds lineEnds{end};
  int32_t currentMaterial = -1;
  std::unordered_map<std::string, int32_t> materialIndex;
  std::string name;
  // Where the first vertex, texture pair and face were read (for MakeRoom).
  const char* firstVertex = nullptr;
  const char* firstPair = nullptr;
  const char* firstFace = nullptr;

  while (p < end) {
    const char* line = p;
    p = lineEnds.after(p);
    const char* lineEnd = p;
    while (p < end && IsLineEnd(*p)) p++;  // empty lines carry nothing

    const char* kw;
    size_t kwLength;
    Cursor rest;
    SplitKeyword(line, lineEnd, &kw, &kwLength, &rest);
    if (kwLength == 0 || kw[0] == '#') continue;

    if (KeywordIs(kw, kwLength, "v")) {
      float xyz[3] = {0, 0, 0};
      for (float& f : xyz) {
        if (!ParseReal(rest, &f)) break;
      }
      if (!firstVertex) firstVertex = line;
      MakeRoom(&out->positions, firstVertex, line, end);
      out->positions.push_back(FileUnitsToWorld(vector_type{xyz[0], xyz[1], xyz[2]}, scaleFactor));
    } else if (KeywordIs(kw, kwLength, "vt")) {
      float uv[2] = {0, 0};
      if (ParseReal(rest, &uv[0])) ParseReal(rest, &uv[1]);
      if (!firstPair) firstPair = line;
      MakeRoom(&out->uvs, firstPair, line, end);
      out->uvs.push_back(uv[0]);
      MakeRoom(&out->uvs, firstPair, line, end);
      out->uvs.push_back(uv[1]);
    } else if (KeywordIs(kw, kwLength, "f")) {
      ObjFace face;
      int got = 0;
      const size_t numV = out->positions.size();
      const size_t numVT = out->uvs.size() / 2;
      while (got < 3 && !rest.atEnd()) {
        if (!ParseCorner(rest, numV, numVT, &face.v[got], &face.vt[got])) break;
        got++;
        rest.skipBlanks();
      }
      if (got < 3) {
        out->badFaces++;
        continue;
      }
      face.material = currentMaterial;
      if (!firstFace) firstFace = line;
      MakeRoom(&out->faces, firstFace, line, end);
      out->faces.push_back(face);
    } else if (KeywordIs(kw, kwLength, "usemtl")) {
      name.assign(rest.p, rest.end);
      auto found = materialIndex.find(name);
      if (found == materialIndex.end()) {
        int32_t index = static_cast<int32_t>(out->materialNames.size());
        out->materialNames.push_back(name);
        materialIndex.emplace(name, index);
        currentMaterial = index;
      } else {
        currentMaterial = found->second;
      }
    } else if (KeywordIs(kw, kwLength, "mtllib")) {
      if (!rest.atEnd()) out->materialFiles.push_back(Word(rest.p, rest.end));
    }
  }
}

void ParseMTL(const char* data, size_t size, std::vector<ObjMaterial>* out) {
  const char* p = data;
  const char* end = data + size;
  LineEnds lineEnds{end};
  ObjMaterial* current = nullptr;
  while (p < end) {
    const char* line = p;
    p = lineEnds.after(p);
    const char* lineEnd = p;
    while (p < end && IsLineEnd(*p)) p++;
    const char* kw;
    size_t kwLength;
    Cursor rest;
    SplitKeyword(line, lineEnd, &kw, &kwLength, &rest);
    if (kwLength == 0 || kw[0] == '#') continue;
    if (KeywordIs(kw, kwLength, "newmtl")) {
      out->push_back(ObjMaterial{Word(rest.p, rest.end), std::string()});
      current = &out->back();
    } else if (KeywordIs(kw, kwLength, "map_Kd") && current) {
      // Options ("-s 1 1 1 file.png") come before the file name, which is then the last word.
      const char* s = rest.p;
      if (s < rest.end && *s == '-') {
        const char* e = rest.end;
        s = e;
        while (s > rest.p && !IsBlank(s[-1])) s--;
      }
      std::string file = Word(s, rest.end);
      for (char& ch : file) {
        if (ch == '\\') ch = '/';
      }
      if (file.compare(0, 2, "./") == 0) file.erase(0, 2);
      current->texture = file;
    }
  }
}

namespace {

// The material libraries an OBJ names: each "mtllib" value as a whole when such a file exists,
// else each of its words; without any "mtllib" the OBJ's own name with ".mtl".
std::vector<std::string> MaterialLibraries(const char* fileName, const std::string& folder, const ObjFile& obj) {
  std::vector<std::string> files;
  if (obj.materialFiles.empty()) {
    std::string own(fileName);
    if (own.size() >= 4) own.replace(own.size() - 4, 4, ".mtl");
    files.push_back(own);
    return files;
  }
  for (const std::string& value : obj.materialFiles) {
    std::string whole = folder + value;
    if (value.find_first_of(" \t") == std::string::npos || ZNK_FileExists(whole.c_str())) {
      files.push_back(whole);
      continue;
    }
    size_t i = 0;
    while (i < value.size()) {
      while (i < value.size() && IsBlank(value[i])) i++;
      size_t j = i;
      while (j < value.size() && !IsBlank(value[j])) j++;
      if (j > i) files.push_back(folder + value.substr(i, j - i));
      i = j;
    }
  }
  return files;
}

}  // namespace

void ImportWavefrontOBJModel(const char* fileName, float scaleFactor) {
  if (!ImportPathInGameFolder(fileName)) return;
  std::vector<unsigned char> bytes;
  if (!ReadWholeImportFile(fileName, &bytes)) {
    OutputToConsoleF("// Could not read the model file: %s\n", fileName);
    return;
  }
  ImportWavefrontOBJFromMemory(reinterpret_cast<const char*>(bytes.data()), bytes.size(), fileName, scaleFactor);
}

void ImportWavefrontOBJFromMemory(const char* data, size_t size, const char* fileName, float scaleFactor) {
  const std::string folder = FolderOfPath(fileName);
  ObjFile obj;
  ParseOBJ(data, size, scaleFactor, &obj);

  // Materials of every library; the first of a name is the one a "usemtl" finds.
  std::vector<ObjMaterial> materials;
  std::vector<unsigned char> mtl;
  for (const std::string& library : MaterialLibraries(fileName, folder, obj)) {
    if (ReadWholeImportFile(library.c_str(), &mtl, size_t(64) << 20))
      ParseMTL(reinterpret_cast<const char*>(mtl.data()), mtl.size(), &materials);
  }
  std::unordered_map<std::string, size_t> byName;
  for (size_t i = 0; i < materials.size(); i++) byName.emplace(materials[i].name, i);

  // Texture and level material of each used material name.
  struct Used {
    uint32_t texture = 0;
    int material = 0;
  };
  std::vector<Used> used(obj.materialNames.size());
  std::unordered_map<std::string, uint32_t> textureOfFile;
  for (size_t i = 0; i < obj.materialNames.size(); i++) {
    auto found = byName.find(obj.materialNames[i]);
    if (found == byName.end()) continue;
    const ObjMaterial& m = materials[found->second];
    if (m.texture.empty()) continue;
    std::string path = folder + m.texture;
    auto cached = textureOfFile.find(path);
    uint32_t texture = 0;
    if (cached != textureOfFile.end()) {
      texture = cached->second;
    } else {
      texture = ImportTextureFromPath(path.c_str());
      textureOfFile.emplace(path, texture);
    }
    used[i].texture = texture;
    const char* relative = path.c_str() + std::strlen(routePath);
    used[i].material = LevelMaterialForTexture(m.name.c_str(), texture, relative);
  }

  ImportMesh mesh;
  mesh.positions = std::move(obj.positions);
  const size_t numPairs = obj.uvs.size() / 2;
  mesh.triangles.reserve(obj.faces.size());
  size_t dropped = obj.badFaces;
  for (const ObjFace& f : obj.faces) {
    bool ok = true;
    for (int k = 0; k < 3; k++) {
      if (f.v[k] < 0 || static_cast<size_t>(f.v[k]) >= mesh.positions.size()) ok = false;
    }
    if (!ok) {
      dropped++;
      continue;
    }
    ImportTriangle t = DefaultImportTriangle(f.v[0], f.v[1], f.v[2]);
    for (int k = 0; k < 3; k++) {
      float u = 0, v = 0;
      if (f.vt[k] >= 0 && static_cast<size_t>(f.vt[k]) < numPairs) {
        u = obj.uvs[2 * f.vt[k]];
        v = obj.uvs[2 * f.vt[k] + 1];
      }
      t.u[k] = u;
      t.v[k] = 1.0f - v;
    }
    if (f.material >= 0) {
      t.theTexture = used[f.material].texture;
      t.meshworkMaterial = used[f.material].material;
    }
    mesh.triangles.push_back(t);
  }
  if (dropped) OutputToConsoleF("// %zu faces name vertices the file does not have and were left out.\n", dropped);
  AppendImportToLevel(mesh);
}
