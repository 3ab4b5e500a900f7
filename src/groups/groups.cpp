// Groups and the root group of every entity: member arrays grown and shrunk one record at a
// time, selection marks, membership, group records, and placing and turning a group's
// members about its centroid.
#include "groups/groups.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "commands/selection.h"
#include "models/model_types.h"
#include "objects/flat_index.h"
#include "objects/human.h"
#include "objects/player.h"
#include "render/lights.h"
#include "script/script_file.h"

zntlgroup gAllEntities;

namespace {
// The members of the root group that may be marked selected lie in [gRootMarkedFrom,
// gRootMarkedTo): unmarking every member visits only those, so selecting one new object
// among thousands costs no walk over all of them.
unsigned int gRootMarkedFrom = 0;
unsigned int gRootMarkedTo = 0;

void ForgetRootMarks() { gRootMarkedFrom = gRootMarkedTo = 0; }

// Where each object was put in the root group. Members only move down (a removal shifts
// the later ones, or moves the last object member into the gap), so an object is found by
// looking down from where it was put, a few steps instead of a walk over all members.
AddressIndex<unsigned int> gRootObjectPlaces;

// The groups among the root's members, in member order, gathered again only after the root's
// groups changed: taking one object out of every group then visits the groups alone.
std::vector<zntlgroup*> gRootGroups;
bool gRootGroupsKnown = false;

const std::vector<zntlgroup*>& RootGroups() {
  if (gRootGroupsKnown) return gRootGroups;
  gRootGroups.clear();
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++) {
    const zntlentity& e = gAllEntities.entities[i];
    if (e.entityType == kEntityGroup && e.theEntity) gRootGroups.push_back(static_cast<zntlgroup*>(e.theEntity));
  }
  gRootGroupsKnown = true;
  return gRootGroups;
}

void NoteRootMark(unsigned int index) {
  if (gRootMarkedFrom == gRootMarkedTo) {
    gRootMarkedFrom = index;
    gRootMarkedTo = index + 1;
    return;
  }
  if (index < gRootMarkedFrom) gRootMarkedFrom = index;
  if (index + 1 > gRootMarkedTo) gRootMarkedTo = index + 1;
}

// The marked range after the root's members were compacted: found again in one pass.
void FindRootMarks() {
  ForgetRootMarks();
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++)
    if (gAllEntities.entities[i].selected) NoteRootMark(i);
}

// Keeps the members for which `keep` holds, in their order, and frees the array when none
// is left.
template <typename Keep>
void KeepMembers(zntlgroup* group, Keep keep) {
  unsigned int kept = 0;
  for (unsigned int i = 0; i < group->numEntities; i++)
    if (keep(group->entities[i])) group->entities[kept++] = group->entities[i];
  if (kept == 0) {
    EmptyGroup(group);
    return;
  }
  group->numEntities = kept;
  void* shrunk = std::realloc(group->entities, kept * sizeof(zntlentity));
  if (shrunk) group->entities = static_cast<zntlentity*>(shrunk);
}
}  // namespace

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
  if (group == &gAllEntities) {
    ForgetRootMarks();
    gRootObjectPlaces.Clear();
    gRootGroupsKnown = false;
  }
}

void InitRootGroup() {
  EmptyGroup(&gAllEntities);
  std::memset(&gAllEntities, 0, sizeof gAllEntities);
  ForgetRootMarks();
  gRootObjectPlaces.Clear();
  gRootGroupsKnown = false;
  // Each light's box of side 0.2 is around its position (light 0 starts at (0, 0, 1)).
  for (int i = 0; i < kNumLights; i++) {
    int index = AddEntityToGroup(&gAllEntities, kEntityLight, nullptr, static_cast<char>(i));
    if (index >= 0) {
      gAllEntities.entities[index].boundingBox =
          GetAABBAroundPoint(LightPositions[i][0], LightPositions[i][1], LightPositions[i][2], 0.2f);
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
  if (group == &gAllEntities && entityType == kEntityObject) {
    if (auto* place = gRootObjectPlaces.Insert(theEntity)) place->value = group->numEntities;
  }
  if (group == &gAllEntities && entityType == kEntityGroup) gRootGroupsKnown = false;
  return static_cast<int>(group->numEntities++);
}

void RemoveEntityFromGroup(zntlgroup* group, int index) {
  if (!group || index < 0 || static_cast<unsigned int>(index) >= group->numEntities) return;
  group->entities[index].parent = nullptr;
  if (group == &gAllEntities) {
    if (group->entities[index].entityType == kEntityObject) gRootObjectPlaces.Erase(group->entities[index].theEntity);
    if (group->entities[index].entityType == kEntityGroup) gRootGroupsKnown = false;
    // The members after the removed one move down by one place.
    unsigned int at = static_cast<unsigned int>(index);
    if (at < gRootMarkedFrom) {
      gRootMarkedFrom--;
      gRootMarkedTo--;
    } else if (at < gRootMarkedTo) {
      gRootMarkedTo--;
    }
  }
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
  if (group == &gAllEntities && !flag) {
    unsigned int to = gRootMarkedTo < group->numEntities ? gRootMarkedTo : group->numEntities;
    for (unsigned int i = gRootMarkedFrom; i < to; i++) group->entities[i].selected = 0;
    ForgetRootMarks();
    return;
  }
  for (unsigned int i = 0; i < group->numEntities; i++) group->entities[i].selected = flag;
  if (group == &gAllEntities) {
    gRootMarkedFrom = 0;
    gRootMarkedTo = group->numEntities;
  }
}

void MarkGroupEntity(zntlgroup* group, int index) {
  if (!group || index < 0 || static_cast<unsigned int>(index) >= group->numEntities) return;
  group->entities[index].selected = 1;
  if (group == &gAllEntities) NoteRootMark(static_cast<unsigned int>(index));
}

void RemoveAllObjectsFromGroups() {
  auto notObject = [](const zntlentity& e) { return e.entityType != kEntityObject; };
  // The root keeps its groups, in their order: the list of them stays as it is.
  for (zntlgroup* group : RootGroups()) KeepMembers(group, notObject);
  KeepMembers(&gAllEntities, notObject);
  gRootObjectPlaces.Clear();
  FindRootMarks();
}

int GetHumanEntityNumberInGroup(zntlgroup* group, human_being* object) {
  if (!group) return -1;
  if (group == &gAllEntities) {
    // An object is a member of the root once: look down from where it was put.
    if (auto* place = gRootObjectPlaces.Find(object)) {
      for (unsigned int i = std::min(place->value + 1, group->numEntities); i-- > 0;) {
        const zntlentity& e = group->entities[i];
        if (e.entityType == kEntityObject && e.theEntity == object) {
          place->value = i;
          return static_cast<int>(i);
        }
      }
    }
  }
  for (unsigned int i = 0; i < group->numEntities; i++) {
    const zntlentity& e = group->entities[i];
    if (e.entityType == kEntityObject && e.theEntity == object) return static_cast<int>(i);
  }
  return -1;
}

void RemoveHumanFromAllGroups(human_being* object) {
  const std::vector<zntlgroup*>& groups = RootGroups();
  for (size_t i = 0; i < groups.size(); i++) RemoveEntityFromGroup(groups[i], GetHumanEntityNumberInGroup(groups[i], object));
}

void RemoveObjectFromRoot(human_being* object) {
  int index = GetHumanEntityNumberInGroup(&gAllEntities, object);
  if (index < 0) return;
  // The last object member; only lights, the camera and groups may follow it.
  unsigned int from = gAllEntities.numEntities - 1;
  while (from > static_cast<unsigned int>(index) && gAllEntities.entities[from].entityType != kEntityObject) from--;
  if (from == static_cast<unsigned int>(index)) {
    RemoveEntityFromGroup(&gAllEntities, index);
    return;
  }
  const zntlentity moved = gAllEntities.entities[from];
  gRootObjectPlaces.Erase(object);
  RemoveEntityFromGroup(&gAllEntities, static_cast<int>(from));
  gAllEntities.entities[index] = moved;
  if (auto* place = gRootObjectPlaces.Insert(moved.theEntity)) place->value = static_cast<unsigned int>(index);
  if (moved.selected) NoteRootMark(static_cast<unsigned int>(index));
}

// ---- Membership ---------------------------------------------------------------------------

namespace {

bool ValidLight(int light) { return light >= 0 && light < kNumLights; }

zntlgroup* MemberGroup(const zntlentity& e) {
  return e.entityType == kEntityGroup ? static_cast<zntlgroup*>(e.theEntity) : nullptr;
}

// Removes, from every group listed in gAllEntities, the first member that `find` names.
template <typename Find>
void RemoveFromAllGroups(Find find) {
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++) {
    zntlgroup* group = MemberGroup(gAllEntities.entities[i]);
    if (group) RemoveEntityFromGroup(group, find(group));
  }
}

}  // namespace

int GetLightEntityNumberInGroup(zntlgroup* group, int light) {
  if (!group) return -1;
  for (unsigned int i = 0; i < group->numEntities; i++) {
    const zntlentity& e = group->entities[i];
    if (e.entityType == kEntityLight && e.lightNumber == light) return static_cast<int>(i);
  }
  return -1;
}

int GetGroupEntityNumberInGroup(zntlgroup* group, zntlgroup* group2) {
  if (!group) return -1;
  for (unsigned int i = 0; i < group->numEntities; i++) {
    const zntlentity& e = group->entities[i];
    if (e.entityType == kEntityGroup && e.theEntity == group2) return static_cast<int>(i);
  }
  return -1;
}

int GetCameraEntityNumberInGroup(zntlgroup* group) {
  if (!group) return -1;
  for (unsigned int i = 0; i < group->numEntities; i++) {
    if (group->entities[i].entityType == kEntityCamera) return static_cast<int>(i);
  }
  return -1;
}

void RemoveLightFromAllGroups(int light) {
  RemoveFromAllGroups([light](zntlgroup* g) { return GetLightEntityNumberInGroup(g, light); });
}

void RemoveGroupFromAllGroups(zntlgroup* group) {
  RemoveFromAllGroups([group](zntlgroup* g) { return GetGroupEntityNumberInGroup(g, group); });
}

void RemoveCameraFromAllGroups() {
  RemoveFromAllGroups([](zntlgroup* g) { return GetCameraEntityNumberInGroup(g); });
}

zntlgroup* GetGroupByName(const char* name) {
  if (!name) return nullptr;
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++) {
    zntlgroup* group = MemberGroup(gAllEntities.entities[i]);
    if (group && std::strcmp(group->name, name) == 0) return group;
  }
  return nullptr;
}

namespace {
bool Counts(const zntlentity& e, int onlySelected) { return !onlySelected || e.selected == 1; }

// Walks a group and its subgroups depth first, members in order, with a stack of its own
// rather than recursion, so no depth of nesting can exhaust the call stack. `member` sees
// every member that counts, a subgroup's record before that subgroup's members; `leave` is
// called once a group's members are done, with the group and its member record in its parent
// (`record` for the group the walk starts from). A group met again in the same walk is not
// entered again, so no structure can make a walk endless.
template <typename Member, typename Leave>
void WalkGroup(zntlgroup* group, zntlentity* record, int onlySelected, Member member, Leave leave) {
  if (!group) return;
  struct Frame {
    zntlgroup* group;
    unsigned int next;
    zntlentity* record;
  };
  std::vector<Frame> stack = {{group, 0, record}};
  std::unordered_set<const zntlgroup*> entered = {group};
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next >= top.group->numEntities) {
      Frame done = top;
      stack.pop_back();
      leave(done.group, done.record);
      continue;
    }
    zntlentity& e = top.group->entities[top.next++];
    if (!Counts(e, onlySelected)) continue;
    member(e);
    zntlgroup* sub = MemberGroup(e);
    if (sub && entered.insert(sub).second) stack.push_back({sub, 0, &e});
  }
}

template <typename Member>
void WalkMembers(zntlgroup* group, int onlySelected, Member member) {
  WalkGroup(group, nullptr, onlySelected, member, [](zntlgroup*, zntlentity*) {});
}
}  // namespace

int GroupContainsGroup(zntlgroup* outer, zntlgroup* inner) {
  if (!outer || !inner) return 0;
  if (outer == inner) return 1;
  bool found = false;
  WalkMembers(outer, 0, [&](const zntlentity& e) {
    if (MemberGroup(e) == inner) found = true;
  });
  return found ? 1 : 0;
}

// ---- Group records ------------------------------------------------------------------------

zntlgroup* NewGroup(const char* name) {
  zntlgroup* group = static_cast<zntlgroup*>(std::calloc(1, sizeof(zntlgroup)));
  if (!group) return nullptr;
  ZNK_CopyString(group->name, name ? name : "", sizeof group->name);
  if (AddEntityToGroup(&gAllEntities, kEntityGroup, group, 0) < 0) {
    std::free(group);
    return nullptr;
  }
  return group;
}

void DisposeGroup(zntlgroup* group) {
  if (!group) return;
  RemoveGroupFromAllGroups(group);
  EmptyGroup(group);
  RemoveEntityFromGroup(&gAllEntities, GetGroupEntityNumberInGroup(&gAllEntities, group));
  if (gSelectedGroup == group) gSelectedGroup = nullptr;
  std::free(group);
}

void FreeAllGroups() {
  // Every group goes, so none needs taking out of the others one by one (that would cost
  // a walk over all groups per group): the root keeps its other members in their order and
  // each group is emptied and freed once.
  std::vector<zntlgroup*> groups;
  unsigned int kept = 0;
  for (unsigned int i = 0; i < gAllEntities.numEntities; i++) {
    zntlgroup* group = MemberGroup(gAllEntities.entities[i]);
    if (group)
      groups.push_back(group);
    else
      gAllEntities.entities[kept++] = gAllEntities.entities[i];
  }
  if (kept == 0) {
    EmptyGroup(&gAllEntities);
  } else {
    gAllEntities.numEntities = kept;
  }
  gRootGroupsKnown = false;
  FindRootMarks();
  for (zntlgroup* group : groups) {
    EmptyGroup(group);
    std::free(group);
  }
  gSelectedGroup = nullptr;
}

// ---- Positions ----------------------------------------------------------------------------

namespace {

vector_type LightPosition(int light) {
  if (!ValidLight(light)) return {0.0f, 0.0f, 0.0f};
  return {LightPositions[light][0], LightPositions[light][1], LightPositions[light][2]};
}

// A light's position; its member box follows it.
void PlaceLight(zntlentity* e, vector_type p) {
  if (!ValidLight(e->lightNumber)) return;
  LightPositions[static_cast<int>(e->lightNumber)][0] = p.x;
  LightPositions[static_cast<int>(e->lightNumber)][1] = p.y;
  LightPositions[static_cast<int>(e->lightNumber)][2] = p.z;
  e->boundingBox = GetAABBAroundPoint(p.x, p.y, p.z, 0.2f);
}

void ShiftBox(AABB* box, float dx, float dy, float dz) {
  box->min.x += dx;
  box->min.y += dy;
  box->min.z += dz;
  box->max.x += dx;
  box->max.y += dy;
  box->max.z += dz;
}

// An object's position; its model's collision box is shifted along so that it stays around
// the object until the model's bounds are next recalculated.
void PlaceObject(human_being* h, vector_type p) {
  float dx = p.x - h->xpos, dy = p.y - h->ypos, dz = p.z - h->zpos;
  h->xpos = p.x;
  h->ypos = p.y;
  h->zpos = p.z;
  if (h->mdl) {
    h->mdl->newBoxMin = {h->mdl->newBoxMin.x + dx, h->mdl->newBoxMin.y + dy, h->mdl->newBoxMin.z + dz};
    h->mdl->newBoxMax = {h->mdl->newBoxMax.x + dx, h->mdl->newBoxMax.y + dy, h->mdl->newBoxMax.z + dz};
  }
}

void ModelBoxInto(const human_being* h, AABB* box) {
  if (!h || !h->mdl) return;
  box->min = h->mdl->newBoxMin;
  box->max = h->mdl->newBoxMax;
}

void SumPositions(zntlgroup* group, int onlySelected, double sum[3], int* count) {
  WalkMembers(group, onlySelected, [&](const zntlentity& e) {
    vector_type p;
    if (e.entityType == kEntityObject && e.theEntity) {
      const human_being* h = static_cast<const human_being*>(e.theEntity);
      p = {h->xpos, h->ypos, h->zpos};
    } else if (e.entityType == kEntityLight && ValidLight(e.lightNumber)) {
      p = LightPosition(e.lightNumber);
    } else {
      return;  // subgroups count through their members; the camera is not counted
    }
    sum[0] += p.x;
    sum[1] += p.y;
    sum[2] += p.z;
    (*count)++;
  });
}

// Moves one member (a subgroup's members are moved by the walk) and shifts its box along.
void MoveMember(zntlentity& e, float dx, float dy, float dz) {
  switch (e.entityType) {
    case kEntityCamera:
      playerPos = {playerPos.x + dx, playerPos.y + dy, playerPos.z + dz};
      break;
    case kEntityObject: {
      human_being* h = static_cast<human_being*>(e.theEntity);
      if (!h) return;
      ModelBoxInto(h, &e.boundingBox);
      PlaceObject(h, {h->xpos + dx, h->ypos + dy, h->zpos + dz});
      break;
    }
    case kEntityLight:
      if (!ValidLight(e.lightNumber)) return;
      {
        vector_type p = LightPosition(e.lightNumber);
        LightPositions[static_cast<int>(e.lightNumber)][0] = p.x + dx;
        LightPositions[static_cast<int>(e.lightNumber)][1] = p.y + dy;
        LightPositions[static_cast<int>(e.lightNumber)][2] = p.z + dz;
      }
      break;
    case kEntityGroup:
      break;
    default:
      return;  // a member of no known type is inert
  }
  ShiftBox(&e.boundingBox, dx, dy, dz);
}

}  // namespace

vector_type GetEntitiesCentroid(zntlgroup* group, int onlySelected) {
  double sum[3] = {0.0, 0.0, 0.0};
  int count = 0;
  SumPositions(group, onlySelected, sum, &count);
  if (count == 0) return {0.0f, 0.0f, 0.0f};
  return {static_cast<float>(sum[0] / count), static_cast<float>(sum[1] / count),
          static_cast<float>(sum[2] / count)};
}

vector_type GetEntityPosition(zntlentity* entity) {
  if (!entity) return {0.0f, 0.0f, 0.0f};
  switch (entity->entityType) {
    case kEntityCamera:
      return playerPos;
    case kEntityObject:
      if (const human_being* h = static_cast<const human_being*>(entity->theEntity)) {
        return {h->xpos, h->ypos, h->zpos};
      }
      break;
    case kEntityLight:
      return LightPosition(entity->lightNumber);
    case kEntityGroup:
      return GetEntitiesCentroid(MemberGroup(*entity), 0);
  }
  return {0.0f, 0.0f, 0.0f};
}

void SetEntityPosition(zntlentity* entity, vector_type position) {
  if (!entity) return;
  switch (entity->entityType) {
    case kEntityCamera:
      playerPos = position;
      break;
    case kEntityObject:
      if (human_being* h = static_cast<human_being*>(entity->theEntity)) PlaceObject(h, position);
      break;
    case kEntityLight:
      PlaceLight(entity, position);
      break;
    case kEntityGroup:
      SetGroupPosition(MemberGroup(*entity), position.x, position.y, position.z, 0);
      break;
  }
}

void MoveGroupEntities(zntlgroup* group, float dx, float dy, float dz, int onlySelected) {
  WalkMembers(group, onlySelected, [&](zntlentity& e) { MoveMember(e, dx, dy, dz); });
}

void SetGroupPosition(zntlgroup* group, float x, float y, float z, int onlySelected) {
  if (!group) return;
  vector_type c = GetEntitiesCentroid(group, onlySelected);
  MoveGroupEntities(group, x - c.x, y - c.y, z - c.z, onlySelected);
}

// ---- Angles -------------------------------------------------------------------------------

void HandleSubgroupEntitiesForRotate(zntlgroup* group, vector_type c, float ax, float ay, float az,
                                     int onlySelected) {
  WalkMembers(group, onlySelected, [&](zntlentity& e) {
    switch (e.entityType) {
      case kEntityCamera:
        playerPos = RotateVector(playerPos, c, ax, ay, az);
        break;
      case kEntityObject: {
        human_being* h = static_cast<human_being*>(e.theEntity);
        if (!h) break;
        PlaceObject(h, RotateVector({h->xpos, h->ypos, h->zpos}, c, ax, ay, az));
        h->xang = GetCorrectDegree(h->xang + ax);
        h->yang = GetCorrectDegree(h->yang + ay);
        h->zang = GetCorrectDegree(h->zang + az);
        ModelBoxInto(h, &e.boundingBox);
        break;
      }
      case kEntityLight:
        if (ValidLight(e.lightNumber)) PlaceLight(&e, RotateVector(LightPosition(e.lightNumber), c, ax, ay, az));
        break;
    }
  });
}

void RotateEntities(zntlgroup* group, float ax, float ay, float az, int onlySelected) {
  if (!group) return;
  vector_type c = GetEntitiesCentroid(group, onlySelected);
  HandleSubgroupEntitiesForRotate(group, c, ax, ay, az, onlySelected);
}

void HandleSubgroupEntitiesForAngles(zntlgroup* group, vector_type* sum, int* count, int onlySelected) {
  if (!sum || !count) return;
  WalkMembers(group, onlySelected, [&](const zntlentity& e) {
    if (e.entityType != kEntityObject || !e.theEntity) return;
    const human_being* h = static_cast<const human_being*>(e.theEntity);
    sum->x += h->xang < 0.0f ? h->xang + 360.0f : h->xang;
    sum->y += h->yang < 0.0f ? h->yang + 360.0f : h->yang;
    sum->z += h->zang < 0.0f ? h->zang + 360.0f : h->zang;
    (*count)++;
  });
}

vector_type GetGroupAngles(zntlgroup* group, int onlySelected) {
  vector_type sum = {0.0f, 0.0f, 0.0f};
  int count = 0;
  HandleSubgroupEntitiesForAngles(group, &sum, &count, onlySelected);
  if (count == 0) return {0.0f, 0.0f, 0.0f};
  return {GetCorrectDegree(sum.x / count), GetCorrectDegree(sum.y / count), GetCorrectDegree(sum.z / count)};
}

void SetGroupAngles(zntlgroup* group, float x, float y, float z, int onlySelected) {
  if (!group) return;
  vector_type a = GetGroupAngles(group, onlySelected);
  RotateEntities(group, x - a.x, y - a.y, z - a.z, onlySelected);
}

// ---- Bounds -------------------------------------------------------------------------------

void UpdateGroupBounds(zntlgroup* group, zntlentity* entity) {
  // Members' boxes first; a group's box once its members (subgroups included) are done.
  auto member = [](zntlentity& e) {
    if (e.entityType == kEntityObject) {
      ModelBoxInto(static_cast<const human_being*>(e.theEntity), &e.boundingBox);
    } else if (e.entityType == kEntityLight && ValidLight(e.lightNumber)) {
      vector_type p = LightPosition(e.lightNumber);
      e.boundingBox = GetAABBAroundPoint(p.x, p.y, p.z, 0.2f);
    }
  };
  auto leave = [](zntlgroup* g, zntlentity* record) {
    AABB& box = g->boundingBox;
    box.min = box.max = {0.0f, 0.0f, 0.0f};
    for (unsigned int i = 0; i < g->numEntities; i++) {
      const AABB& b = g->entities[i].boundingBox;
      if (i == 0) {
        box.min = b.min;
        box.max = b.max;
        continue;
      }
      box.min = {std::min(box.min.x, b.min.x), std::min(box.min.y, b.min.y), std::min(box.min.z, b.min.z)};
      box.max = {std::max(box.max.x, b.max.x), std::max(box.max.y, b.max.y), std::max(box.max.z, b.max.z)};
    }
    if (record) {
      record->boundingBox.min = box.min;
      record->boundingBox.max = box.max;
    }
  };
  WalkGroup(group, entity, 0, member, leave);
}
