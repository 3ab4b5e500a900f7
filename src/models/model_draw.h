// Drawing with materials: a posed skinned model at its object's place, and the level's
// opaque and transparent materials from the level draw arrays.
#pragma once
#include "models/model_types.h"

// The emission sent to GL for a material under the tint in force and the global alpha.
void MaterialEmission(const zntlmtrl* mat, float out[4]);

// Draws `mdl` posed at the object's place; with `dontDraw` set it draws and counts nothing.
// The model's triangles are added to gTrigsDrawn. `weight` is not read.
void Draw_Zyntrel_Mdl(zntlmdl* mdl, float xpos, float ypos, float zpos, float xang, float yang, float zang,
                      float weight, int dontDraw);

// Sets the state of one level material and draws its listed triangles. `spare` is not read.
void MaterialToRenderer(zntlmtrl* mat, int spare);

// Every level material in index order: opaque ones (no blending), and the others, whose
// triangles are listed farthest first.
void DrawOpaqueMeshMaterials();
void DrawTransparentMeshMaterials();
