// Skeleton animation: animation instruction lines, starting an animation on the bones'
// timelines, advancing the bones, posing vertices, normals and bone boxes, and the global
// table of four-character bone codes.
#pragma once
#include <cstdint>

#include "models/mat4.h"
#include "models/model_types.h"

struct boneAssignment {
  char fourchars[5];
  char longName[256];
};

// Bone codes issued so far; entries are valid until the next addition.
extern boneAssignment* boneTable;
extern uint32_t gNumAssignments;

void InterpretAnimationInstruction(const char* line, zntlaniminstr* instr);
void ScanAnimationForBoneTimelines(zntlmdl* mdl, zntlanim* anim, int32_t timeShift);
void UpdateModelBones(zntlmdl* mdl, uint32_t tim);
// Frees a timeline's instruction copies; it then plays nothing.
void ClearBoneTimeline(zntlbonetimeline* timeline);

// Pose `bone` and its descendants, depth first, a bone before its children. `base` is the
// composite transform of the bone's parent (identity for the root).
void TransformBoneVertices(zntlmdl* mdl, zntlbone* bone, const Mat4& base = Mat4Identity());
void TransformBoneVertexNormals(zntlmdl* mdl, zntlbone* bone, const Mat4& base = Mat4Identity());
// World posing of tpos and tbox under `world` (the object transform).
void TransformBoneBorders(zntlmdl* mdl, zntlbone* bone, const Mat4& world);

// Rest arrays into tva/tvertexNormals, posed by the bones, seam vertices copied (the CPU part
// of drawing a model).
void PoseModelVertices(zntlmdl* mdl);

void PoseObjectModel2(zntlmdl* mdl, float xpos, float ypos, float zpos, float xang, float yang,
                      float zang, float spare);

// `longName` must hold at least 256 bytes: with takeExisting 0 a used name gets "_" appended.
boneAssignment* FindFreeBoneCodeAndAddToList(char* longName, int takeExisting);
const char* GetFourCharCodeFromBoneName(const char* longName);
const char* GetBoneNameFromFourCharCode(const char* code);
// Empties the bone-code table (tests; the engine keeps it for the whole run).
void ClearBoneCodeTable();
