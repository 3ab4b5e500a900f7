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

bool AnyVisibleVertexSelected() {
  for (mesh_vert* v = baseMeshVertPtr->next; v; v = v->next)
    if (v->visible && v->selected) return true;
  return false;
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

// A table from vertex to number with open addressing: one flat array, no record per entry.
class VertexNumbers {
 public:
  explicit VertexNumbers(size_t expected) {
    size_t size = 16;
    while (size < 2 * expected) size *= 2;
    keys_.assign(size, nullptr);
    values_.assign(size, 0);
  }
  // The number stored for v, or null.
  const uint32_t* Find(const mesh_vert* v) const {
    for (size_t k = Home(v);; k = (k + 1) & (keys_.size() - 1)) {
      if (keys_[k] == v) return &values_[k];
      if (!keys_[k]) return nullptr;
    }
  }
  void Set(const mesh_vert* v, uint32_t value) {
    if (2 * (used_ + 1) > keys_.size()) Grow();
    size_t k = Home(v);
    while (keys_[k] && keys_[k] != v) k = (k + 1) & (keys_.size() - 1);
    if (!keys_[k]) ++used_;
    keys_[k] = v;
    values_[k] = value;
  }

 private:
  // Vertices made one after the other lie next to each other in memory and are met in that
  // order, so their neighbouring addresses keep neighbouring places here; the high address
  // bits are folded in so that distant blocks of vertices do not pile onto one place.
  size_t Home(const mesh_vert* v) const {
    const uint64_t p = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(v));
    return static_cast<size_t>((p >> 4) ^ (p >> 24) ^ (p >> 44)) & (keys_.size() - 1);
  }
  void Grow() {
    std::vector<const mesh_vert*> keys;
    std::vector<uint32_t> values;
    keys.swap(keys_);
    values.swap(values_);
    keys_.assign(2 * keys.size(), nullptr);
    values_.assign(2 * keys.size(), 0);
    used_ = 0;
    for (size_t k = 0; k < keys.size(); ++k)
      if (keys[k]) Set(keys[k], values[k]);
  }
  std::vector<const mesh_vert*> keys_;
  std::vector<uint32_t> values_;
  size_t used_ = 0;
};

constexpr uint32_t kNotSelected = 0xffffffffu;

// One visible edge at a selected vertex, with the slot of its other end when that end is
// selected too (kNotSelected otherwise).
struct EdgeAtVertex {
  mesh_edge* edge;
  uint32_t otherSlot;
};

// The level's edges as one `line` needs them, gathered in one pass over the edge list: for
// each selected vertex (by its slot, its place among them) the visible edges that have it as
// an end, in list order, and which vertices a visible edge joins to the target. The edges the
// command makes only ever join a selected vertex to the target, so only that part grows while
// it runs. Selected vertices are looked up by slot in plain arrays; the few others in tables.
struct LineEdgeIndex {
  explicit LineEdgeIndex(size_t selectedCount)
      : slotOf(selectedCount), slotJoined(selectedCount, 0), slotClosedBy(selectedCount, 0), otherJoined(16),
        otherClosedBy(16) {}
  VertexNumbers slotOf;             // selected vertex -> its slot
  std::vector<uint32_t> firstEdge;  // per slot, into `edges`; one more at the end
  std::vector<EdgeAtVertex> edges;
  std::vector<uint8_t> slotJoined;  // a visible edge joins this selected vertex to the target
  std::vector<uint32_t> slotClosedBy;  // the slot (plus one) of the last vertex that closed it
  VertexNumbers otherJoined;        // the same two for vertices that are not selected
  VertexNumbers otherClosedBy;
};

void BuildLineEdgeIndex(const std::vector<mesh_vert*>& selected, const mesh_vert* target, LineEdgeIndex* index) {
  for (uint32_t k = 0; k < selected.size(); ++k) index->slotOf.Set(selected[k], k);
  struct End {
    uint32_t slot;
    EdgeAtVertex at;
  };
  std::vector<End> ends;
  ends.reserve(16 * selected.size());  // an imported mesh gives a vertex about six edges, twice
  for (mesh_edge* e = baseEdgePtr->next; e; e = e->next) {
    if (!e->visible) continue;
    const uint32_t* found1 = index->slotOf.Find(e->v1);
    const uint32_t* found2 = e->v2 == e->v1 ? found1 : index->slotOf.Find(e->v2);
    const uint32_t slot1 = found1 ? *found1 : kNotSelected, slot2 = found2 ? *found2 : kNotSelected;
    if (e->v1 == target) {
      if (slot2 != kNotSelected) index->slotJoined[slot2] = 1;
      else index->otherJoined.Set(e->v2, 1);
    }
    if (e->v2 == target) {
      if (slot1 != kNotSelected) index->slotJoined[slot1] = 1;
      else index->otherJoined.Set(e->v1, 1);
    }
    if (slot1 != kNotSelected) ends.push_back({slot1, {e, slot2}});
    if (slot2 != kNotSelected && e->v2 != e->v1) ends.push_back({slot2, {e, slot1}});
  }
  // Counting sort by slot keeps each vertex's edges in list order.
  index->firstEdge.assign(selected.size() + 1, 0);
  for (const End& end : ends) ++index->firstEdge[end.slot + 1];
  for (size_t k = 1; k < index->firstEdge.size(); ++k) index->firstEdge[k] += index->firstEdge[k - 1];
  std::vector<uint32_t> fill(index->firstEdge.begin(), index->firstEdge.end() - 1);
  index->edges.resize(ends.size());
  for (const End& end : ends) index->edges[fill[end.slot]++] = end.at;
}

// The new edge (a, b) closes every loop a - o - b of older visible edges into a triangle
// (a, b, o), in the list order of the edges at a (slot `slot`). An end pair joined by several
// older edges (the importers give shared edges once per triangle) still makes one triangle
// per o.
void CloseTriangles(mesh_vert* a, mesh_vert* b, LineEdgeIndex* index, uint32_t slot) {
  for (uint32_t k = index->firstEdge[slot]; k < index->firstEdge[slot + 1]; ++k) {
    const EdgeAtVertex& at = index->edges[k];
    mesh_vert* o = at.edge->v1 == a ? at.edge->v2 : at.edge->v1;
    if (o == a || o == b) continue;
    if (at.otherSlot != kNotSelected) {
      if (!index->slotJoined[at.otherSlot] || index->slotClosedBy[at.otherSlot] == slot + 1) continue;
      index->slotClosedBy[at.otherSlot] = slot + 1;
    } else {
      if (!index->otherJoined.Find(o)) continue;
      const uint32_t* closed = index->otherClosedBy.Find(o);
      if (closed && *closed == slot + 1) continue;
      index->otherClosedBy.Set(o, slot + 1);
    }
    AddTriangleAtHead(a, b, o);
  }
}

// Selects the vertex at p, creating it at the head of the list when there is none.
void SelectOrMakeVertex(vector_type p) {
  mesh_vert* v = FindVertexAt(p);
  if (!v) {
    v = AddVertexAtHead(p);
    MarkLevelChanged();
  }
  v->selected = v->oldSelected = 1;
}

void VertexCommand(const char* parms) {
  UnselectVisibleVertices();
  if (FirstWordIs(parms, "none")) return;
  SelectOrMakeVertex(ReadPoint(parms));
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
  if (!AnyVisibleVertexSelected()) {
    SelectOrMakeVertex(p);  // as vertex does at that point
    return nullptr;
  }
  mesh_vert* t = FindVertexAt(p);
  if (!t) t = AddVertexAtHead(p);
  std::vector<mesh_vert*> selected;
  for (mesh_vert* v = baseMeshVertPtr->next; v; v = v->next)
    if (v->visible && v->selected && v != t) selected.push_back(v);
  LineEdgeIndex index(selected.size());
  BuildLineEdgeIndex(selected, t, &index);
  for (uint32_t slot = 0; slot < selected.size(); ++slot) {
    mesh_vert* v = selected[slot];
    if (!index.slotJoined[slot]) {
      mesh_edge* e = NewMeshEdge(v, t);
      e->next = baseEdgePtr->next;
      baseEdgePtr->next = e;
      index.slotJoined[slot] = 1;
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
