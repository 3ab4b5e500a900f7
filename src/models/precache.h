// The model precache: the Meshwork models listed in the game folder's "cache" file, loaded at
// start-up with their key poses and pose animations, and released by the full world reset.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "objects/vector_math.h"

struct human_being;

// A bone of a cached model: made at a vertex whose line names a third bone code.
struct bonus {
  char signature[5];
  char parentName[5];       // the code of the bone that carries the head vertex
  vector_type pos;          // head position
  vector_type min, max;     // extent over the bone's vertices
  bonus* parent;
  bonus* next;
};

struct vtx_typ {
  uint32_t index;
  vector_type pos;
  vector_type normal;
  float u, v;
  char bone1[5], bone2[5];
  int weight;
  bonus* bonePtr1;
  bonus* bonePtr2;
  vtx_typ* next;
};

struct trio {
  vtx_typ* vertices[3];
  uint32_t indices[3];
  float u[3], v[3];
  int material;
  int numConnects;
  int transparent, smooth, invisible;
  uint32_t theTexture;
  vector_type normal;
  trio* next;
};

constexpr int kMeshworkSlotLimit = 2000;  // triangles and vertices per material slot

struct material_type {
  int red, green, blue;
  int smooth, mapType, reserved, mapAxis;
  float mapX, mapY, mapZ, mapX_Size, mapY_Size, mapZ_Size;
  int transparencyMode;
  uint32_t theTexture;      // the slot's texture
  uint32_t theTexture2;     // a second texture name (none is loaded by this reader)
  int numTriangles;                  // entries of indexList / 3
  int numVertices;                   // entries of vertexList
  std::vector<uint32_t> indexList;   // slot-local vertex numbers, 3 per triangle
  std::vector<uint32_t> vertexList;  // model vertex number of each slot vertex
  std::vector<float> uvList;         // texture coordinates per slot vertex
};

struct bone_turner {
  bonus* theBone;
  float xang, yang, zang;
  float xpos, ypos, zpos;
  int used;
  bone_turner* next;
};

struct pose {
  bone_turner* base;        // first bone turner
  char signature[64];
  int data;
  pose* next;
};

struct poseanim_frame {
  pose* thePose;
  char poseName[64];        // kept so that frames follow poses that are read again
  long morphTime, delay, timeStamp;  // milliseconds
  poseanim_frame* next;
};

struct pose_animation {
  int numPoses;
  int lastIndex;
  char signature[65];
  long animStart, animDuration;
  poseanim_frame* baseFrame;  // first frame
  poseanim_frame* framePtr;
  poseanim_frame* curFrame;
  poseanim_frame* lastFrame;
  pose_animation* next;
};

struct meshwork_model {
  vtx_typ* baseVertex;
  vtx_typ* vertexPtr;
  trio* baseTriangle;
  trio* trianglePtr;
  bonus* baseBone;          // first bone "None"
  bonus* bonePtr;
  pose* basePose;           // first pose
  pose* posePtr;
  pose_animation* baseAnim; // first pose animation
  pose_animation* animPtr;
  material_type materials[8];
  int numVertices;
  int numTriangles;
  char signature[64];
  char directory[1024];
  int usesZNKTextureMapping;
  human_being* parent;      // the object that owns the model, if any
  meshwork_model* next;
};

extern meshwork_model* baseMesh;
extern meshwork_model* meshPtr;

void ImportAllMeshworkModels();
int LoadMeshworkModel(meshwork_model* mdl, const char* path);
void ImportModelPoses(meshwork_model* mdl, const char* path);
void LoadModelPosesZNK(meshwork_model* mdl, const char* path);
void ImportModelAnimations(meshwork_model* mdl, const char* path);
void FlushModelCache();
void DisposeMeshworkModel(meshwork_model* mdl);

bonus* GetBonePtrBySignature(bonus* first, const char* name);
pose* GetPosePtrBySignature(pose* first, const char* name);
vtx_typ* GetVertexPtrByNumber(vtx_typ* first, uint32_t n);

// An empty model record, ready for LoadMeshworkModel.
meshwork_model* NewMeshworkModel();
// Reads a model from Meshwork text held in memory (`path` names the model and its textures).
int LoadMeshworkModelFromMemory(meshwork_model* mdl, const char* data, size_t size, const char* path);
// Pose and animation readers from text held in memory.
void ReadModelPosesText(meshwork_model* mdl, const char* data, size_t size);
void ReadModelAnimationsText(meshwork_model* mdl, const char* data, size_t size);
int CountCachedModels();
