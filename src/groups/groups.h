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
// Marks member `index` selected. Members of gAllEntities are marked only through here (or
// SelectGroupEntities), which keeps account of where marks are, so that unmarking the root
// visits only the members that may carry one.
void MarkGroupEntity(zntlgroup* group, int index);
// World reset: every object member leaves every group and gAllEntities, in one pass over
// each group's members.
void RemoveAllObjectsFromGroups();
int GetHumanEntityNumberInGroup(zntlgroup* group, human_being* object);
void RemoveHumanFromAllGroups(human_being* object);
// Takes an object's member out of gAllEntities. The last object member moves into its place,
// so one removal moves one member, not every later one; the lights, the camera and the
// groups keep their places and their order.
void RemoveObjectFromRoot(human_being* object);
// Frees a group's member array.
void EmptyGroup(zntlgroup* group);

// Positions and angles: every walk over a group descends into its subgroups at any depth.
// onlySelected = 1 restricts an operation to members whose selected
// is 1 (at every level); the script commands pass 0.
vector_type GetEntitiesCentroid(zntlgroup* group, int onlySelected);
vector_type GetEntityPosition(zntlentity* entity);
void SetEntityPosition(zntlentity* entity, vector_type position);
void MoveGroupEntities(zntlgroup* group, float dx, float dy, float dz, int onlySelected);
void SetGroupPosition(zntlgroup* group, float x, float y, float z, int onlySelected);
void RotateEntities(zntlgroup* group, float ax, float ay, float az, int onlySelected);
// Turns the members of a subgroup about the outer group's centroid c, so nested groups turn
// as one rigid body.
void HandleSubgroupEntitiesForRotate(zntlgroup* group, vector_type c, float ax, float ay, float az,
                                     int onlySelected);
vector_type GetGroupAngles(zntlgroup* group, int onlySelected);
// Adds the object members' angles (each below 0 taken plus 360) to sum and counts them.
void HandleSubgroupEntitiesForAngles(zntlgroup* group, vector_type* sum, int* count, int onlySelected);
void SetGroupAngles(zntlgroup* group, float x, float y, float z, int onlySelected);
// Recomputes the members' boxes and the group's box; entity, when given, is the group's own
// member record in its parent and gets the group's box.
void UpdateGroupBounds(zntlgroup* group, zntlentity* entity);

// Membership.
int GetLightEntityNumberInGroup(zntlgroup* group, int light);
int GetGroupEntityNumberInGroup(zntlgroup* group, zntlgroup* group2);
int GetCameraEntityNumberInGroup(zntlgroup* group);
void RemoveLightFromAllGroups(int light);
void RemoveGroupFromAllGroups(zntlgroup* group);
void RemoveCameraFromAllGroups();
zntlgroup* GetGroupByName(const char* name);
// 1 when inner is outer itself or one of outer's subgroups at any depth.
int GroupContainsGroup(zntlgroup* outer, zntlgroup* inner);

// Group records: a new empty group appended to gAllEntities (null when memory runs out), and
// the removal of a group from every group and from gAllEntities with its record freed.
zntlgroup* NewGroup(const char* name);
void DisposeGroup(zntlgroup* group);
// World reset: every group, from the last member of gAllEntities to the first, is disposed;
// the selected group becomes null.
void FreeAllGroups();
