// Records of the engine's skinned model: the model, its bones, materials, animations and
// their instructions, the per-bone timelines and the texture-seam vertices.
// Every array a record points to is allocated with malloc/realloc and released with free, so
// that any owner (model, level material list) can grow or release it; except in an object's
// copy of a model (blockBytes not 0), whose arrays and records all live in the copy's one
// block and keep their sizes for the copy's life.
#pragma once
#include <cstddef>
#include <cstdint>

#include "objects/vector_math.h"
#include "world/level_types.h"

struct human_being;
struct meshwork_model;
struct pose;
struct pose_animation;

constexpr double meshwork_modelScaleFactor = 660.0;

// File units to world units, for every reader: the value divided by 660 exactly (so 660
// becomes exactly 1.0), then times the reader's scale factor.
inline float FileUnitsToWorld(float value, float scaleFactor = 1.0f) {
  return static_cast<float>(static_cast<double>(value) / meshwork_modelScaleFactor * scaleFactor);
}
inline vector_type FileUnitsToWorld(vector_type p, float scaleFactor = 1.0f) {
  return {FileUnitsToWorld(p.x, scaleFactor), FileUnitsToWorld(p.y, scaleFactor), FileUnitsToWorld(p.z, scaleFactor)};
}

struct zntlbone {
  vector_type pos;            // pivot: rest position of the head vertex
  vector_type tpos;           // pivot after the last world posing
  int currentAnimation;
  char signature[256];
  char fourchars[5];
  uint32_t numIndices;
  uint32_t* indices;          // vertices bound to this bone, ascending
  int tempInt;                // head vertex number from the file
  vector_type planes[6][3];
  vector_type box[8], tbox[8];
  float xang, yang, zang;     // rotation about the pivot, degrees
  float xmod, ymod, zmod;     // translation
  uint32_t numSubBones;
  zntlbone** subBones;        // children, ascending bone index
  zntlbone* parent;           // null for the root
};

struct zntlmtrl {
  uint32_t i, j;              // fill counters (level use)
  uint32_t numTriangles;
  uint32_t* indices;          // 3 per triangle
  float* faceNormals;         // 3 per triangle
  float* UVs;
  int32_t animationStart;
  float red, green, blue, alpha;
  int transparencyMode;       // 1 = alpha blended
  float matAmbient[4];
  float matDiffuse[4];
  float matShininess;
  float matSpecular[4];
  float matEmission[4];
  float wireSize;             // > 0: drawn as lines of this width
  int lux;
  char depthMask;
  unsigned char shadeModel;   // 1 = smooth
  char name[256];
  char fileName[1024];
  unsigned char mapType;      // non-zero = textured
  uint32_t materialTexture;   // GL texture name
};

struct zntlaniminstr {
  int instructionType;        // 0 morph, 1 set, 2 void
  int boneNumber;
  float xmod, ymod, zmod;
  float xang, yang, zang;
  float m[6];                 // offsets and angles captured at the first execution
  float m2[6];                // deltas toward the target
  uint32_t startTime, endTime;
  uint32_t numExecutions;
};

struct zntlanim {
  char signature[256];
  uint32_t numInstructions;
  zntlaniminstr* instructions;
  int looping;
  uint32_t currentInstruction;
};

struct zntlbonetimeline {
  int looping;
  int numInstructions;
  zntlaniminstr* instructions;  // own copies, absolute times
  zntlanim* whichAnimation;     // null = idle
  uint32_t start, end, duration;
  uint32_t timeOffset[3];       // start marks stored by pushAnim
};

struct zntluvvtxfix {
  uint32_t matNumber;
  uint32_t arrayOffset;         // position in that material's indices
  uint32_t originalVertexIndex;
  float u, v;
  zntluvvtxfix* next;
};

// A block of a model's vertex, edge or triangle records (they follow the header); the loader
// takes the records of its chains from such blocks, and the model frees the blocks with it.
struct zntlrecordblock {
  zntlrecordblock* next;
};

struct zntlmdl {
  char signature[256];
  char directory[1024];
  uint32_t numBones;
  zntlbone* bones;              // numBones + 1; 0 is the root "None"
  uint32_t numAnimations;
  zntlanim* animations;
  zntlbonetimeline* timelines;  // numBones + 1
  uint32_t numUVFixesVertices;
  zntluvvtxfix uvfixes;         // head of the seam list
  zntluvvtxfix** uvfixesPtrs;
  uint32_t numVertices;
  mesh_vert baseMeshVert;       // head of the vertex chain
  mesh_vert** vlist;
  float* va;                    // rest positions, 3 per file vertex
  float* vertexNormals;         // rest normals, 3 per vertex incl. seam vertices
  float* tva;                   // posed positions
  float* tvertexNormals;        // posed normals
  uint32_t numTriangles;
  mesh_edge baseEdge;
  uint32_t numEdges;
  level_triangle baseLT;
  uint32_t numMaterials;
  zntlmtrl* materials;
  int editing;
  int drawBoxes;
  int parallelepipedShape;
  int transformNormals;
  vector_type sizes;
  vector_type scalars;
  vector_type bigBox[8];
  vector_type baseBox[8];
  vector_type planes[6][3];
  vector_type sphereCenter;
  vector_type translatedSphereCenter;
  vector_type newBoxMin, newBoxMax;
  vector_type oldBoxMin, oldBoxMax;
  vector_type eRadius;
  float boundingSphereRadius;
  float cradius;
  human_being* parent;
  zntlmdl* next;
  // For an object's copy (CopyZyntrelMdl), the bytes of the one block that holds the record,
  // its arrays and its chains' records, released at once (only the timelines' instructions
  // are apart); 0 for a model whose parts are allocated one by one.
  size_t blockBytes;
  // For a loaded model, the blocks its vertex, edge and triangle chains live in (a copy has
  // its records in its own block and none of these).
  zntlrecordblock* recordBlocks;
};
