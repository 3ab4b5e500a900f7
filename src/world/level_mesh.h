// The level mesh: the global vertex, edge and triangle lists, the derived draw arrays and
// per-material draw lists, vertex normals, and the editing helpers that change the lists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "world/level_types.h"

struct LevelBuild;

// List heads carry no data; the first element is the head's next.
extern mesh_vert baseMeshVert;
extern mesh_edge baseEdge;
extern level_triangle baseLT;
extern mesh_vert* baseMeshVertPtr;
extern mesh_edge* baseEdgePtr;
extern level_triangle* baseLTPtr;
// Shared moving cursors.
extern mesh_vert* meshVertPtr;
extern mesh_edge* edgePtr;
extern level_triangle* trigPtr;

// Draw arrays: position and normal of vertex i at 3 i.
extern std::vector<float> gMeshVertexArray;
extern std::vector<float> gMeshVertexNormalArray;
extern int gNumVertices;
extern int gNumTriangles;

// Axis locks of the editing commands (cleared before every import) and the last vertex made.
extern int gXLocked, gYLocked, gZLocked;
extern vector_type gLastVertexPos;
// Corner positions handed out by TriangleCollPlane, valid until its next call.
extern vector_type gTheVerts[3];

void InitLevelLists();

// Rebuilds vertex normals, draw arrays, triangle boxes, the box tree and the collision
// planes from the lists. Every change to the triangle list must be followed by it (or by
// MarkLevelChanged, which makes the next frame or query rebuild first).
void GenerateLevelFromMesh();
void MakeMeshVertexNormals();
// At the level build, after the box tree: fills the vertex arrays (the build numbered the
// vertices in list order), and keeps each triangle's corners, normal, texture coordinates,
// material, flags and centroid in contiguous arrays, numbered node by node so that the
// triangles a node holds form one range (the node's firstDrawIndex); each triangle's draw
// index is left in the build.
void BuildLevelDrawArrays(LevelBuild* build);
// Once per frame after culling: sorts the triangles by their centroids' distance to the player
// (stable: equal distances keep their order from the last frame) and fills the per-material
// lists from the visible nodes' triangles in that order, opaque materials nearest first, the
// others farthest first. Only the visible triangles are sorted each frame; the whole list's
// order is worked out when something asks for it.
void MeshListToArray();
// The frame keeps the list's distance order in the draw arrays; the triangle list itself is
// relinked in that order only when something walks or changes it. Everything that walks the
// triangle list in order or changes it calls this first; a rebuild does it itself.
void SyncLevelTriangleList();
// Culling's side of the draw lists: forget last frame's visible nodes, add one visible node.
void ClearCulledTriangles();
void AddCulledNode(const AABB* node);
// 1 when the last culling found the triangle's holding node visible (it is drawn this frame
// unless it is invisible), else 0.
int TriangleDrawnThisFrame(const level_triangle* t);
// Whether a comes before b in the list (nearest to the player first, equal distances in their
// order of the frame before), and the triangle's distance to the player, as of the last frame,
// whether or not the list has been relinked since.
bool TriangleListBefore(const level_triangle* a, const level_triangle* b);
float TriangleDistance(const level_triangle* t);

// The level's vertex, edge and triangle records come from pools owned by the level: make them
// with these, link them into the level lists, and let DeleteVertices or FreeLevelGeometry free
// them. A record made here and never linked goes back with the matching Free function.
mesh_vert* NewEmptyMeshVert(vector_type pos);  // numbered one above the level's largest number
mesh_edge* NewMeshEdge(mesh_vert* v1, mesh_vert* v2);  // visible
level_triangle* NewLevelTriangle();                   // every field zero
void FreeMeshVert(mesh_vert* v);
void FreeMeshEdge(mesh_edge* e);
void FreeLevelTriangle(level_triangle* t);
// Level records made and not yet freed (vertices, edges and triangles together).
size_t LevelRecordsLive();
// Triangle records made and not yet freed (the level's triangles, and any not yet linked).
size_t LevelTrianglesMade();
// Numbers the level vertices 0..n-1 in list order and returns n. With `after` and `first`,
// the vertices up to `after` already hold the numbers 0..first-1 and only the rest are walked.
uint32_t NumberLevelVertices(mesh_vert* after = &baseMeshVert, uint32_t first = 0);
void DeleteVertices(int all);
void InvertTrigFacing(level_triangle* trig);
void FixTriangleFacing(level_triangle* trig, vector_type facePos, int out);
vector_type* TriangleCollPlane(level_triangle* trig);
void MarkAllTriangles(level_triangle* first, int value);

// Frees the box tree, the collision planes and every vertex, edge and triangle of the level
// (the level part of a world reset).
void FreeLevelGeometry();

// Notes that the lists changed without a rebuild; the next frame or query rebuilds.
void MarkLevelChanged();
// Rebuilds when the lists changed since the last GenerateLevelFromMesh.
void UpdateLevelIfChanged();
extern int gLevelNeedsRebuild;
