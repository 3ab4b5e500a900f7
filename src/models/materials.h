// Materials of models and of the level, and the level's default material and bone.
#pragma once

void InitDefaultMaterialAndBone();
