// Collision query commands: pokes, sphere and segment tests, collision results, and the mesh builders.
// Results go into the numbered registers; a register number that would put a write outside
// its bank writes nothing.
#include "commands/collision_commands.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "commands/commands.h"
#include "commands/echo.h"
#include "models/import_common.h"
#include "models/materials.h"
#include "models/model_types.h"
#include "objects/flat_index.h"
#include "objects/human.h"
#include "objects/vector_math.h"
#include "script/variables.h"
#include "world/collide_slide.h"
#include "world/level_mesh.h"
#include "world/line_queries.h"
#include "world/object_collision.h"

vector_type gFacePos = {0.0f, 0.0f, 0.0f};
int gFaceOut = 0;
int gDefaultSmooth = 0;
int gDefaultTransparent = 0;
int gDefaultInvisible = 0;

namespace {

bool IsEmpty(const char* parms) {
  if (!parms) return true;
  for (const char* c = parms; *c; ++c)
    if (*c != ' ' && *c != '\t' && *c != '\r' && *c != '\n') return false;
  return true;
}

// The first word of the parameters equals `word`.
bool FirstWordIs(const char* parms, const char* word) {
  if (!parms) return false;
  char first[16] = "";
  if (std::sscanf(parms, "%15s", first) != 1) return false;
  return std::strcmp(first, word) == 0;
}

vector_type FloatRegisters(int first) {
  vector_type v = {0.0f, 0.0f, 0.0f};
  double* r = FloatRegister(first);
  double* r3 = FloatRegister(first + 2);
  if (r && r3) v = {static_cast<float>(r[0]), static_cast<float>(r[1]), static_cast<float>(r[2])};
  return v;
}

// Writes three floats from register n on; nothing when n+2 lies beyond the bank.
void SetFloatRegisters(int n, float x, float y, float z) {
  double* first = FloatRegister(n);
  if (!first || !FloatRegister(n + 2)) return;
  first[0] = x;
  first[1] = y;
  first[2] = z;
}

void SetIntRegister(int n, int value) {
  if (int32_t* r = IntRegister(n)) *r = value;
}

// The register number of a "%d\n" parameter: default 1, below 1 means 1.
int ReadFirstRegister(const char* parms) {
  int n = 1;
  if (parms) std::sscanf(parms, "%d", &n);
  return n < 1 ? 1 : n;
}

// Point parameters of the mesh builders: "x, y, z" or float registers 1..3 when empty.
vector_type ReadPoint(const char* parms) {
  if (IsEmpty(parms)) return FloatRegisters(1);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  std::sscanf(parms, "%f, %f, %f", &x, &y, &z);
  return {x, y, z};
}

bool SamePlace(vector_type a, vector_type b) {
  return std::fabs(a.x - b.x) < kSamePlaceDistance && std::fabs(a.y - b.y) < kSamePlaceDistance &&
         std::fabs(a.z - b.z) < kSamePlaceDistance;
}

mesh_vert* FindVertexAt(vector_type p) {
  for (mesh_vert* v = baseMeshVertPtr->next; v; v = v->next)
    if (v->visible && SamePlace(v->pos, p)) return v;
  return nullptr;
}

mesh_vert* AddVertexAtHead(vector_type p) {
  mesh_vert* v = NewEmptyMeshVert(p);
  v->next = baseMeshVertPtr->next;
  baseMeshVertPtr->next = v;
  return v;
}

void UnselectVisibleVertices() {
  for (mesh_vert* v = baseMeshVertPtr->next; v; v = v->next)
    if (v->visible) v->selected = v->oldSelected = 0;
}

void AddTriangleAtHead(mesh_vert* a, mesh_vert* b, mesh_vert* c) {
  SyncLevelTriangleList();
  level_triangle* t = NewLevelTriangle();
  t->vertexPtrs[0] = a;
  t->vertexPtrs[1] = b;
  t->vertexPtrs[2] = c;
  t->visible = 1;
  t->smooth = gDefaultSmooth;
  t->transparent = gDefaultTransparent;
  t->invisible = gDefaultInvisible;
  t->meshworkMaterial = 0;
  t->thePlane = nullptr;
  t->shadowPolys = nullptr;
  t->normal = GetNormalOfTrig(a->pos, b->pos, c->pos);
  FixTriangleFacing(t, gFacePos, gFaceOut);
  t->next = baseLTPtr->next;
  baseLTPtr->next = t;
}

// The level's edges as one `line` needs them, gathered in one pass over the edge list. Every
// vertex the command can meet gets a number: the selected vertices first, by their place among
// them (their slot), then, as they are met, the other ends of edges at a selected vertex and at
// the target. Per slot it keeps the other ends of the visible edges there, in list order, and
// per number whether a visible edge joins that vertex to the target. The edges the command
// makes only ever join a selected vertex to the target, so only that part grows while it runs.
// An edge from a selected vertex to itself or to the target can close no triangle and is left
// out.
struct LineEdgeIndex {
  explicit LineEdgeIndex(std::vector<mesh_vert*> selected)
      : selectedCount(static_cast<uint32_t>(selected.size())),
        vertexOf(std::move(selected)),
        joined(selectedCount, 0),
        closedBy(selectedCount, 0) {
    numberOf.Reserve(selectedCount);
  }
  static constexpr uint32_t kNoNumber = 0xffffffffu;
  // The number of v, or kNoNumber.
  uint32_t Find(const mesh_vert* v) {
    const auto* slot = numberOf.Find(v);
    return slot ? slot->value : kNoNumber;
  }
  uint32_t selectedCount;
  NearbyAddressIndex<uint32_t> numberOf;  // vertex -> number
  std::vector<mesh_vert*> vertexOf;       // number -> vertex
  std::vector<uint32_t> firstNeighbour;   // per slot, into `neighbours`; one more at the end
  std::vector<uint32_t> neighbours;       // numbers of the other ends of the edges at each slot
  std::vector<uint8_t> joined;            // per number: a visible edge joins it to the target
  std::vector<uint32_t> closedBy;         // per number: the slot (plus one) that last closed it
};

// The number of v, given to it now when it has none.
uint32_t NumberOf(mesh_vert* v, uint32_t found, LineEdgeIndex* index) {
  if (found != LineEdgeIndex::kNoNumber) return found;
  const uint32_t number = static_cast<uint32_t>(index->vertexOf.size());
  index->numberOf.Insert(v)->value = number;
  index->vertexOf.push_back(v);
  index->joined.push_back(0);
  index->closedBy.push_back(0);
  return number;
}

void BuildLineEdgeIndex(const mesh_vert* target, LineEdgeIndex* index) {
  const uint32_t count = index->selectedCount;
  for (uint32_t k = 0; k < count; ++k) index->numberOf.Insert(index->vertexOf[k])->value = k;
  // Each edge at a selected vertex, as the numbers of its two ends, in list order; the edges
  // at each slot are counted on the way.
  struct Ends {
    uint32_t first, second;
  };
  std::vector<Ends> ends;
  ends.reserve(8 * size_t(count));  // an imported mesh gives a vertex about six edges
  std::vector<uint32_t>& first = index->firstNeighbour;
  first.assign(size_t(count) + 1, 0);
  for (mesh_edge* e = baseEdgePtr->next; e; e = e->next) {
    if (!e->visible) continue;
    mesh_vert* v1 = e->v1;
    mesh_vert* v2 = e->v2;
    if (v1 == target || v2 == target) {
      if (v1 != v2) {
        mesh_vert* other = v1 == target ? v2 : v1;
        index->joined[NumberOf(other, index->Find(other), index)] = 1;
      }
      continue;
    }
    if (v1 == v2) continue;
    const uint32_t found1 = index->Find(v1), found2 = index->Find(v2);
    const bool at1 = found1 < count, at2 = found2 < count;
    if (!at1 && !at2) continue;
    const Ends pair = {NumberOf(v1, found1, index), NumberOf(v2, found2, index)};
    if (at1) ++first[pair.first + 1];
    if (at2) ++first[pair.second + 1];
    ends.push_back(pair);
  }
  // Counting sort by slot keeps each vertex's edges in list order.
  for (size_t k = 1; k < first.size(); ++k) first[k] += first[k - 1];
  std::vector<uint32_t> fill(first.begin(), first.end() - 1);
  index->neighbours.resize(first.back());
  for (const Ends& pair : ends) {
    if (pair.first < count) index->neighbours[fill[pair.first]++] = pair.second;
    if (pair.second < count) index->neighbours[fill[pair.second]++] = pair.first;
  }
}

// The new edge (a, b) closes every loop a - o - b of older visible edges into a triangle
// (a, b, o), in the list order of the edges at a (slot `slot`). An end pair joined by several
// older edges (the importers give shared edges once per triangle) still makes one triangle
// per o.
void CloseTriangles(mesh_vert* a, mesh_vert* b, LineEdgeIndex* index, uint32_t slot) {
  for (uint32_t k = index->firstNeighbour[slot]; k < index->firstNeighbour[slot + 1]; ++k) {
    const uint32_t o = index->neighbours[k];
    if (!index->joined[o] || index->closedBy[o] == slot + 1) continue;
    index->closedBy[o] = slot + 1;
    AddTriangleAtHead(a, b, index->vertexOf[o]);
  }
}

// Asks the memory for the positions of the vertices the triangles at `slot` will be made of, a
// few slots before they are needed: on a big level they lie far apart and out of the caches.
void FetchCornersAhead(const LineEdgeIndex& index, uint32_t slot) {
  if (slot >= index.selectedCount) return;
  __builtin_prefetch(&index.vertexOf[slot]->pos);
  for (uint32_t k = index.firstNeighbour[slot]; k < index.firstNeighbour[slot + 1]; ++k)
    __builtin_prefetch(&index.vertexOf[index.neighbours[k]]->pos);
}

// Selects v, the first visible vertex at p (null when there is none: then one is made there
// at the head of the list).
void SelectOrMakeVertex(mesh_vert* v, vector_type p) {
  if (!v) {
    v = AddVertexAtHead(p);
    MarkLevelChanged();
  }
  v->selected = v->oldSelected = 1;
}

void VertexCommand(const char* parms) {
  UnselectVisibleVertices();
  if (FirstWordIs(parms, "none")) return;
  const vector_type p = ReadPoint(parms);
  SelectOrMakeVertex(FindVertexAt(p), p);
}

}  // namespace

char* znkinstr_poke(char* parms, char* buffer) {
  int r = 1, f = 1;
  char mode[4] = "";
  if (parms) std::sscanf(parms, "%d,%d,%3s", &r, &f, mode);
  vector_type p = FloatRegisters(1);
  vector_type w = FloatRegisters(4);
  int result = 0;
  // A segment of no length meets nothing (a box would otherwise count a point inside it).
  if (p.x != w.x || p.y != w.y || p.z != w.z) {
    int savedObjectPoke = gDoObjectPoke;
    if (std::strcmp(mode, "e") == 0) gDoObjectPoke = 0;
    result = StandardCollision(p, w);
    gDoObjectPoke = savedObjectPoke;
  }
  SetIntRegister(r, result);
  if (result) SetFloatRegisters(f, s1, s2, s3);
  gPokeObject = nullptr;
  AppendEcho(buffer, " // %d", result);
  return nullptr;
}

char* znkinstr_teampoke(char* parms, char* buffer) {
  int r = 1, f = 1;
  char teamText[64] = "";
  if (parms) std::sscanf(parms, "%d,%d,%63[^\n]", &r, &f, teamText);
  int team = 0;
  if (teamText[0]) {
    team = std::atoi(teamText);
  } else if (int32_t* i1 = IntRegister(1)) {
    team = *i1;
  }
  int result = StandardTeamCollision(FloatRegisters(1), FloatRegisters(4), team);
  SetIntRegister(r, result);
  if (result) SetFloatRegisters(f, s1, s2, s3);
  AppendEcho(buffer, " // %d", result);
  return nullptr;
}

char* znkinstr_spherecoll(char* parms, char* buffer) {
  int b = 1, f = 1;
  if (parms) std::sscanf(parms, "%d,%d", &b, &f);
  if (b < 1) b = 1;
  if (f < 1) f = 1;
  vector_type from = FloatRegisters(1);
  vector_type to = FloatRegisters(4);
  vector_type displacement = {to.x - from.x, to.y - from.y, to.z - from.z};
  human_being* obj = selHuman;
  vector_type point = {0.0f, 0.0f, 0.0f};
  // An object without a model has no sphere.
  int contact = (!obj || obj->mdl) ? StandardObjectCollision(obj, displacement, nullptr, &point, nullptr) : 0;
  if (int32_t* reg = BoolRegister(b)) *reg = contact ? 1 : 0;
  if (contact) SetFloatRegisters(f, point.x, point.y, point.z);
  return nullptr;
}

char* znkinstr_intersect(char* parms, char* buffer) {
  int r = 1, s = -5, g = -5;
  if (parms) std::sscanf(parms, "%d,%d,%d", &r, &s, &g);
  if (r < 1 || r > kNumRegisters) r = 1;
  SetIntRegister(r, 0);
  human_being* me = selHuman;
  if (!me || !me->mdl) return nullptr;
  vector_type boxMin = me->mdl->newBoxMin;
  vector_type boxMax = me->mdl->newBoxMax;
  if (g >= 1 && g <= kNumRegisters) {
    float grow = static_cast<float>(*FloatRegister(g));
    boxMin = {boxMin.x - grow, boxMin.y - grow, boxMin.z - grow};
    boxMax = {boxMax.x + grow, boxMax.y + grow, boxMax.z + grow};
  }
  if (s >= 1 && s <= kNumRegisters) {
    human_being* other = GetHumanByName(StringRegister(s));
    if (other && other->mdl && ix_box_box_aligned(boxMin, boxMax, other->mdl->newBoxMin, other->mdl->newBoxMax)) {
      gHitPerson = other;
      SetIntRegister(r, 2);
    }
    return nullptr;
  }
  for (human_being* other = baseHuman ? baseHuman->next : nullptr; other; other = other->next) {
    if (other == me || other->objectType == 2 || other->HUD != 0 || !other->mdl) continue;
    if (ix_box_box_aligned(boxMin, boxMax, other->mdl->newBoxMin, other->mdl->newBoxMax)) {
      gHitPerson = other;
      SetIntRegister(r, 2);
      return nullptr;
    }
  }
  return nullptr;
}

char* znkinstr_coll(char* parms, char* buffer) {
  if (FirstWordIs(parms, "none")) gHitPerson = nullptr;
  return nullptr;
}

char* znkinstr_collnormal(char* parms, char* buffer) {
  SetFloatRegisters(ReadFirstRegister(parms), gCollisionNormal.x, gCollisionNormal.y, gCollisionNormal.z);
  AppendEcho(buffer, " // %f,%f,%f", gCollisionNormal.x, gCollisionNormal.y, gCollisionNormal.z);
  return nullptr;
}

char* znkinstr_collpoint(char* parms, char* buffer) {
  SetFloatRegisters(ReadFirstRegister(parms), gCollisionPoint.x, gCollisionPoint.y, gCollisionPoint.z);
  AppendEcho(buffer, " // %f,%f,%f", gCollisionPoint.x, gCollisionPoint.y, gCollisionPoint.z);
  return nullptr;
}

char* znkinstr_collmaterial(char* parms, char* buffer) {
  const char* name = "";
  if (gMaterials && gNumMaterials > 0) {
    // A material number out of range reads as material 0, as everywhere in the level.
    uint32_t m = gCollisionMaterial >= 0 && static_cast<uint32_t>(gCollisionMaterial) < gNumMaterials
                     ? static_cast<uint32_t>(gCollisionMaterial)
                     : 0;
    name = gMaterials[m].name;
  }
  if (char* reg = StringRegister(ReadFirstRegister(parms))) std::snprintf(reg, kStringRegisterSize, "%s", name);
  AppendEcho(buffer, " // %s", name);
  return nullptr;
}

char* znkinstr_bounce(char* parms, char* buffer) {
  vector_type d = FloatRegisters(1);
  vector_type m = FloatRegisters(4);
  Normalize(&d);
  Normalize(&m);
  float dm = static_cast<float>(DotProduct(d, m));
  vector_type out = {d.x - 2.0f * dm * m.x, d.y - 2.0f * dm * m.y, d.z - 2.0f * dm * m.z};
  SetFloatRegisters(ReadFirstRegister(parms), out.x, out.y, out.z);
  AppendEcho(buffer, " // %f,%f,%f", out.x, out.y, out.z);
  return nullptr;
}

char* znkinstr_egg(char* parms, char* buffer) {
  float x = 1.0f, y = 1.0f, z = 1.0f, w = 1.0f;
  if (parms) std::sscanf(parms, "%f,%f,%f,%f", &x, &y, &z, &w);
  if (!selHuman) {
    gPlayerDimensions = {x, y, z};
  } else if (!selHuman->isScenery && selHuman->mdl) {
    selHuman->mdl->eRadius.x *= x;
    selHuman->mdl->eRadius.y *= y;
    selHuman->mdl->eRadius.z *= z;
  }
  return nullptr;
}

char* znkinstr_vertex(char* parms, char* buffer) {
  VertexCommand(parms);
  return nullptr;
}

char* znkinstr_line(char* parms, char* buffer) {
  // Only vertex knows the word "none": here it is a point whose fields cannot be read (0).
  vector_type p = ReadPoint(parms);
  // One walk finds the target (the first visible vertex at p) and the selected vertices.
  mesh_vert* t = nullptr;
  std::vector<mesh_vert*> selected;
  for (mesh_vert* v = baseMeshVertPtr->next; v; v = v->next) {
    if (!v->visible) continue;
    if (!t && SamePlace(v->pos, p)) t = v;
    if (v->selected && v != t) selected.push_back(v);
  }
  if (selected.empty() && !(t && t->selected)) {
    SelectOrMakeVertex(t, p);  // as vertex does at that point
    return nullptr;
  }
  if (!t) t = AddVertexAtHead(p);
  LineEdgeIndex index(std::move(selected));
  BuildLineEdgeIndex(t, &index);
  for (uint32_t slot = 0; slot < index.selectedCount; ++slot) {
    mesh_vert* v = index.vertexOf[slot];
    FetchCornersAhead(index, slot + 16);
    if (!index.joined[slot]) {
      mesh_edge* e = NewMeshEdge(v, t);
      e->next = baseEdgePtr->next;
      baseEdgePtr->next = e;
      index.joined[slot] = 1;
      CloseTriangles(v, t, &index, slot);
    }
    v->selected = v->oldSelected = 0;
  }
  t->selected = 1;
  // The triangles collide and draw once the level is rebuilt, before the next frame or query.
  MarkLevelChanged();
  return nullptr;
}

char* znkinstr_face(char* parms, char* buffer) {
  if (FirstWordIs(parms, "in") || FirstWordIs(parms, "out")) {
    gFacePos = FloatRegisters(1);
    gFaceOut = FirstWordIs(parms, "out") ? 1 : 0;
    return nullptr;
  }
  if (IsEmpty(parms)) {
    gFacePos = FloatRegisters(1);
    return nullptr;
  }
  float x = 0.0f, y = 0.0f, z = 0.0f;
  char side[16] = "";
  std::sscanf(parms, "%f,%f,%f,%15s", &x, &y, &z, side);
  gFacePos = {x, y, z};
  gFaceOut = std::strcmp(side, "in") == 0 ? 0 : 1;
  return nullptr;
}
