// What the level-geometry readers share: the reader-neutral form a file is read into, the one
// step that appends it to the level lists (deselect, append, renumber, mark for a rebuild), the folder rule,
// texture loading through the cache, and whole-file reading.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "objects/vector_math.h"

// Flags new level triangles get (set by the editing commands).
extern int gDefaultSmooth;
extern int gDefaultTransparent;
extern int gDefaultInvisible;

// A material record local to one reader (3DS, Lightwave, OBJ).
struct LWOVMAP;
struct material_3DS {
  char* name;              // owned copy
  int theTexture;          // GL texture name
  int index, index2, index3;
  int proj, axis;          // projection and axis of a Lightwave texture
  float tileU, tileV;
  LWOVMAP* vmap;
  vector_type center, size;
  char texName[1024];
  material_3DS* next;
};

// One texture coordinate pair.
struct UV_Mapping {
  float u, v;
  UV_Mapping* next;
};

struct ImportTriangle {
  uint32_t corner[3];      // vertex numbers in the file's own numbering
  float u[3], v[3];
  uint32_t theTexture;
  int meshworkMaterial;
  int numConnects;
  int smooth, transparent, invisible;
};

struct ImportEdge {
  uint32_t a, b;
};

// A file's geometry in level units, before it joins the level.
struct ImportMesh {
  std::vector<vector_type> positions;  // vertex i is the file's vertex number i
  std::vector<ImportTriangle> triangles;
  std::vector<ImportEdge> edges;       // edges beyond the three of every triangle
  bool triangleEdges = true;           // every triangle adds its edges 0-1, 1-2, 0-2
};

// A triangle with the level defaults, over three vertex numbers.
ImportTriangle DefaultImportTriangle(uint32_t a, uint32_t b, uint32_t c);

// Deselects every level vertex, appends the new vertices (selected), numbers the whole vertex
// list 0..n-1 in list order, appends triangles and edges,
// and marks the level for a rebuild before the next frame or query (so a load script that
// imports several files rebuilds once). Triangles or edges naming a vertex the mesh lacks are
// dropped. Returns the number of triangles added.
size_t AppendImportToLevel(const ImportMesh& mesh);
// The same without the rebuild (a reader that appends in several steps rebuilds once);
// `newVertices`, when given, receives the new level vertices in the file's order.
struct mesh_vert;
size_t AppendImportToLevelNoRebuild(const ImportMesh& mesh, std::vector<mesh_vert*>* newVertices = nullptr);

// The file must lie inside the game folder: its path begins with routePath. Otherwise the
// reader reports so through the dialog hook and returns 0.
int ImportPathInGameFolder(const char* path);

// Loads the texture at `fullPath` into the cache the way "loadtex" does (the name relative to
// routePath) and returns its GL name, 0 when there is no such file (reported like loadtex).
uint32_t ImportTextureFromPath(const char* fullPath);

// A level material for a texture a file names: an existing level material of that name and
// texture, else a new one with the texture attached. Untextured names give material 0.
int LevelMaterialForTexture(const char* name, uint32_t texture, const char* textureFile);

// A position with every non-finite coordinate (from a broken file) set to 0.
vector_type FinitePosition(vector_type p);

// The whole file in memory; false when it cannot be opened or is larger than `limit` bytes
// (then *tooLarge, when given, is set).
bool ReadWholeImportFile(const char* path, std::vector<unsigned char>* data,
                         size_t limit = size_t(1) << 31, bool* tooLarge = nullptr);

// The path up to and including its last "/" (empty when there is none).
std::string FolderOfPath(const char* path);

// Room before appending to a full array of a text reader's parse: for as many entries as the
// rest of the text promises at the rate seen since the array's first entry (at `first`), and
// at least twice the present size, so that a large file's arrays are not grown and copied step
// by step. A guess asks for at most one entry per three bytes of text left (an array whose
// entries may be shorter is grown again when it is full).
template <class T>
inline void MakeRoom(std::vector<T>* v, const char* first, const char* at, const char* end) {
  if (v->size() < v->capacity()) return;
  const size_t have = v->size();
  size_t want = 2 * have + 16;
  const size_t read = static_cast<size_t>(at - first), rest = static_cast<size_t>(end - at);
  if (have >= 1024 && read > 0) {
    const double promised = static_cast<double>(have) / static_cast<double>(read) * static_cast<double>(rest);
    want = std::max(want, have + static_cast<size_t>(promised * 1.02) + 16);
  }
  v->reserve(std::min(want, have + rest / 3 + 16));
}

// Room for `extra` more entries: at least doubling the room when it has to grow, so that a file
// whose parts each ask for their own room does not have the whole array copied at every part.
template <class T>
inline void ReserveMore(std::vector<T>* v, size_t extra) {
  const size_t want = v->size() + extra;
  if (want > v->capacity()) v->reserve(std::max(want, 2 * v->capacity()));
}
