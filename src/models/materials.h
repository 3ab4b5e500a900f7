// Materials of models and of the level: defaults, setting lines ("key=value"), copying, the
// level's material list and the level's bone array with their single defaults.
#pragma once
#include <cstdint>

#include "models/model_types.h"

// The level's materials; there is always at least material 0 ("Default").
extern zntlmtrl* gMaterials;
extern uint32_t gNumMaterials;
extern uint32_t gCurMaterial;  // index of the material last added

// The bones of all geometry imported into the level; bone 0 is the default "None".
extern zntlbone* gBones;
extern uint32_t gNumBones;
extern uint32_t gCurBone;

// Sets every field that has a default (colours, lighting terms, blending, shading, texture
// state); the name, the file name and the triangle arrays are left alone.
void SetMaterialDefaults(zntlmtrl* material);
// Applies one "key=value" line. "texture=NAME" loads NAME into the texture cache as the
// "loadtex" command does (a missing file writes "// Load failed: ") and textures the
// material only when that gave a texture.
void InterpretShaderInstruction(const char* line, zntlmtrl* material);
// The texture file a setting line loads (the value of "texture=" when it is not empty), else
// null.
const char* ShaderLineTexture(const char* line);
// Copies every field except indices, faceNormals and UVs, which keep the target's values.
void CopyPublicMaterialSettings(const zntlmtrl* src, zntlmtrl* dst);
// Frees a material's triangle arrays.
void FreeMaterialArrays(zntlmtrl* material);

void MeshEditorAddMaterial(const char* name);
uint32_t GetMaterialNumberByName(const char* name);

// ZNK_Init: the single default level material and level bone.
void InitDefaultMaterialAndBone();
// World reset: back to the single default material and bone.
void ShrinkToDefaultMaterialAndBone();
