// Groups and the root group of every entity: member arrays grown and shrunk one record at a
// time, selection marks, and removing an object from every group.
#include "groups/groups.h"

#include <cstdlib>
#include <cstring>

zntlgroup gAllEntities;

AABB GetAABBAroundPoint(float x, float y, float z, float size) {
  AABB box = {};
  float h = size * 0.5f;
  box.min = {x - h, y - h, z - h};
  box.max = {x + h, y + h, z + h};
  return box;
}

void EmptyGroup(zntlgroup* group) {
  if (!group) return;
  std::free(group->entities);
  group->entities = nullptr;
  group->numEntities = 0;
}

void InitRootGroup() {
  EmptyGroup(&gAllEntities);
  std::memset(&gAllEntities, 0, sizeof gAllEntities);
  // Light 0 starts at (0, 0, 1); the other lights at the origin.
  for (int i = 0; i < 8; i++) {
    int index = AddEntityToGroup(&gAllEntities, kEntityLight, nullptr, static_cast<char>(i));
    if (index >= 0) {
      gAllEntities.entities[index].boundingBox = GetAABBAroundPoint(0.0f, 0.0f, i == 0 ? 1.0f : 0.0f, 0.2f);
    }
  }
  AddEntityToGroup(&gAllEntities, kEntityCamera, nullptr, 0);
}

int AddEntityToGroup(zntlgroup* group, short entityType, void* theEntity, char lightNumber) {
  if (!group) return -1;
  void* grown = std::realloc(group->entities, (group->numEntities + 1) * sizeof(zntlentity));
  if (!grown) return -1;
  group->entities = static_cast<zntlentity*>(grown);
  zntlentity* e = &group->entities[group->numEntities];
  std::memset(e, 0, sizeof *e);
  e->entityType = entityType;
  e->theEntity = theEntity;
  e->lightNumber = lightNumber;
  return static_cast<int>(group->numEntities++);
}

void RemoveEntityFromGroup(zntlgroup* group, int index) {
  if (!group || index < 0 || static_cast<unsigned int>(index) >= group->numEntities) return;
  group->entities[index].parent = nullptr;
  std::memmove(&group->entities[index], &group->entities[index + 1],
               (group->numEntities - static_cast<unsigned int>(index) - 1) * sizeof(zntlentity));
  group->numEntities--;
  if (group->numEntities == 0) {
    std::free(group->entities);
    group->entities = nullptr;
    return;
  }
  void* shrunk = std::realloc(group->entities, group->numEntities * sizeof(zntlentity));
  if (shrunk) group->entities = static_cast<zntlentity*>(shrunk);
}

void SelectGroupEntities(zntlgroup* group, int flag) {
  if (!group) return;
  for (unsigned int i = 0; i < group->numEntities; i++) group->entities[i].selected = flag;
}

int GetHumanEntityNumberInGroup(zntlgroup* group, human_being* object) {
  if (!group) return -1;
  for (unsigned int i = 0; i < group->numEntities; i++) {
    const zntlentity& e = group->entities[i];
    if (e.entityType == kEntityObject && e.theEntity == object) return static_cast<int>(i);
  }
  return -1;
}

void RemoveHumanFromAllGroups(human_being* object) {
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++) {
    const zntlentity& e = gAllEntities.entities[i];
    if (e.entityType != kEntityGroup || !e.theEntity) continue;
    zntlgroup* group = static_cast<zntlgroup*>(e.theEntity);
    RemoveEntityFromGroup(group, GetHumanEntityNumberInGroup(group, object));
  }
}
