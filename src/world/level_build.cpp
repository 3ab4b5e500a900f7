// The level build's reading of the lists, its distance sort and its write-back: the vertex and
// triangle records are walked once each way, so that the parts in between read flat arrays.
#include "world/level_build.h"

#include "objects/player.h"
#include "world/box_tree.h"
#include "world/level_mesh.h"
#include "world/radix_sort.h"
#include "world/world_math.h"

void GatherLevelForBuild(LevelBuild* build) {
  const uint32_t vertexCount = NumberLevelVertices();
  // Normal sums by vertex number; a corner outside the vertex list (there should be none)
  // sums into its own record.
  std::vector<mesh_vert*> vertexOf(vertexCount);
  std::vector<vector_type> normalSum(vertexCount, vector_type{0.0f, 0.0f, 0.0f});
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    v->collPos = v->pos;
    vertexOf[v->index] = v;
  }

  auto& out = build->triangles;
  out.clear();
  out.reserve(LevelTrianglesMade());
  const vector_type P = playerPos;
  for (level_triangle* t = baseLT.next; t; t = t->next) {
    BuildTriangle b;
    b.trig = t;
    for (int c = 0; c < 3; ++c) {
      mesh_vert* corner = t->vertexPtrs[c];
      b.corner[c] = corner->pos;
      b.vertex[c] = corner->index;
      if (corner->index < vertexCount && vertexOf[corner->index] == corner)
        normalSum[corner->index] = VAdd(normalSum[corner->index], t->normal);
      else
        corner->vertexNormal = VAdd(corner->vertexNormal, t->normal);
      b.uv[2 * c] = t->u[c];
      b.uv[2 * c + 1] = t->v[c];
    }
    b.normal = t->normal;
    b.centroid = VScale(VAdd(VAdd(b.corner[0], b.corner[1]), b.corner[2]), 0.333333f);
    b.distance = VDistance(P, b.centroid);
    b.material = t->meshworkMaterial;
    b.drawn = t->visible && !t->invisible;
    out.push_back(b);
  }

  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) {
    vector_type n = normalSum[v->index];
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) n = {0.0f, 1.0f, 0.0f};
    else Normalize(&n);
    v->vertexNormal = n;
  }
}

void SortLevelBuildByDistance(LevelBuild* build) {
  const size_t n = build->triangles.size();
  std::vector<KeyedIndex> keyed(n), scratch;
  for (size_t k = 0; k < n; ++k) keyed[k] = {DistanceSortKey(build->triangles[k].distance), static_cast<uint32_t>(k)};
  StableSortByKey(&keyed, &scratch);
  scratch = std::vector<KeyedIndex>();
  build->order.resize(n);
  build->placeOf.resize(n);
  build->placed.resize(n);
  for (size_t place = 0; place < n; ++place) {
    const uint32_t number = keyed[place].index;
    build->order[place] = number;
    build->placeOf[number] = static_cast<uint32_t>(place);
    const BuildTriangle& t = build->triangles[number];
    CollisionTriangle& c = build->placed[place];
    for (int i = 0; i < 3; ++i) c.corner[i] = t.corner[i];
    c.trig = t.trig;
  }
  build->built.assign(n, BuiltTriangle{});
}

void StoreLevelBuild(const LevelBuild& build) {
  const size_t n = build.triangles.size();
  baseLT.next = n > 0 ? build.triangles[build.order[0]].trig : nullptr;
  // In the order the list was read, which for a freshly read level is the order of the records
  // in memory: each record is written once, front to back.
  for (size_t k = 0; k < n; ++k) {
    const BuildTriangle& b = build.triangles[k];
    const BuiltTriangle& r = build.built[k];
    const uint32_t place = build.placeOf[k];
    level_triangle* t = b.trig;
    t->next = place + 1 < n ? build.triangles[build.order[place + 1]].trig : nullptr;
    t->zDist = b.distance;
    t->listOrder = place;
    t->marked = r.marked;
    t->boundingBox.min = TriangleBoxMin(b);
    t->boundingBox.max = TriangleBoxMax(b);
    t->boundingBox.parent = r.node;
    t->thePlane = r.plane;
    t->drawIndex = r.drawIndex;
  }
}
