// Materials (the level material list arrives with the model work).
#include "models/materials.h"

void InitDefaultMaterialAndBone() {}
