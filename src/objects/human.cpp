// Object registry: the object list, creation from model files, naming, IDs, removal, the
// per-object bone transform, the drawing-order sort and model scaling.
#include "objects/human.h"

human_being* baseHuman = nullptr;
human_being* humanPtr = nullptr;
long gBiggestID = 0;
human_being* selHuman = nullptr;
human_being wasteHuman;

void InitHumanRegistry() {
  if (!baseHuman) baseHuman = new human_being();
  baseHuman->next = nullptr;
  humanPtr = baseHuman;
  wasteHuman.objectType = 2;
}
