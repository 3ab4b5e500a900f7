// Groups and entities: named groups of objects, lights and groups that move as one. The root
// group gAllEntities lists everything that can be selected: the eight lights, the player
// camera, every object and every group.
#pragma once

#include "objects/vector_math.h"
#include "world/level_types.h"

struct human_being;
struct zntlgroup;

// Entity types.
constexpr short kEntityCamera = 0;
constexpr short kEntityObject = 1;
constexpr short kEntityLight = 2;
constexpr short kEntityGroup = 4;

struct zntlentity {
  short entityType;       // 0 camera, 1 object, 2 light, 4 group
  void* theEntity;        // the human_being or zntlgroup
  char lightNumber;       // 0..7 for a light
  zntlgroup* parent;      // kept null
  vector_type position;
  AABB boundingBox;       // only min and max are used
  int selected;
  zntlentity* next;       // members live in the group's array
};

struct zntlgroup {
  char name[256];
  unsigned int numEntities;
  int maxDepth;
  zntlentity* entities;   // numEntities records (malloc'd); null when empty
  zntlgroup* parent;
  vector_type position;
  AABB boundingBox;
};

extern zntlgroup gAllEntities;

// ZNK_Init: the eight lights (members 0..7) and the player camera (member 8).
void InitRootGroup();

AABB GetAABBAroundPoint(float x, float y, float z, float size);
// Appends a member; returns its index, or -1 when memory runs out.
int AddEntityToGroup(zntlgroup* group, short entityType, void* theEntity, char lightNumber);
void RemoveEntityFromGroup(zntlgroup* group, int index);
void SelectGroupEntities(zntlgroup* group, int flag);
int GetHumanEntityNumberInGroup(zntlgroup* group, human_being* object);
void RemoveHumanFromAllGroups(human_being* object);
// Frees a group's member array.
void EmptyGroup(zntlgroup* group);
