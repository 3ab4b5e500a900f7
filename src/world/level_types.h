// Records of the level mesh and its box tree: vertices, edges, triangles and boxes. Skinned
// models use the same vertex, edge and triangle records for their own meshes.
#pragma once
#include <cstdint>

#include "objects/vector_math.h"

struct zntlbone;
struct shadow_poly;

struct mesh_vert {
  uint32_t index;             // vertex number
  vector_type pos;            // position in world units
  vector_type collPos;        // copy of pos for collision
  float u, v;                 // texture coordinates
  vector_type vertexNormal;   // unit normal
  int selected, oldSelected;  // editing selection
  int culled[6];
  int visible;
  int isBone;                 // the vertex is the head of a bone
  zntlbone* theBone;
  zntlbone* parent;
  int16_t weight;             // skinning weight in percent
  char signature[5];          // bone code
  char bone1[5], bone2[5];    // bone codes
  int boneIndex, marked;      // model use: carrying bone, seam pass work flag
  mesh_vert* next;
};

struct mesh_edge {
  mesh_vert* v1;
  mesh_vert* v2;
  uint32_t indices[2];
  int borderEdge;
  int visible;
  mesh_edge* next;
};

// An axis-aligned box, also a node of the level's box tree.
struct AABB {
  vector_type min, max;
  int visible;   // passed the frustum test this frame
  int numPolys;  // triangles held by this node
  int depth;
  uint32_t firstDrawIndex;  // draw index of the first triangle it holds (level build)
  AABB* next;    // chain of all nodes
  AABB* sub1;
  AABB* sub2;
  AABB* parent;
};

struct level_triangle {
  vector_type normal;
  mesh_vert* vertexPtrs[3];
  vector_type plane[3];
  int numConnects;        // texture number from the level file
  float u[3], v[3];
  float zDist;            // distance to the player at the last relink (TriangleDistance
                          // gives the current one)
  int meshworkMaterial;   // index into gMaterials
  uint32_t theTexture;
  int transparent, smooth;
  plane_type* thePlane;
  int drawn;
  int visible;
  int invisible;          // never drawn, still collides
  int indices[3];
  shadow_poly* shadowPolys;
  int marked;             // while the tree is built: stays in its node (a frame's visibility
                          // is kept with the draw arrays: TriangleDrawnThisFrame)
  AABB boundingBox;       // the triangle's own box; parent = its holding node
  level_triangle* next;
  level_triangle* prev;
  uint32_t listOrder;     // place in the level's triangle list at its last relink; among
                          // equally near contacts a query keeps the earliest in the list
                          // (TriangleListBefore compares current places)
  uint32_t drawIndex;     // number of the triangle in the level's draw arrays, given at each
                          // level build
};
