// Group commands: making a group by name and selecting it, dissolving the selected group, and
// adding and removing its members (objects, lights, groups and the player camera).
#include <cctype>
#include <cstdio>
#include <cstring>

#include "commands/commands.h"
#include "commands/selection.h"
#include "groups/groups.h"
#include "objects/human.h"
#include "render/lights.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/output.h"

namespace {

// What a member parameter names.
struct MemberName {
  enum Kind { kNone, kName, kLight, kCamera } kind = kNone;
  char name[256] = "";  // a group name holds at most 255 characters; so does the lookup
  int light = 0;        // light index 0..7
};

const char* SkipSpace(const char* p) {
  while (*p && std::isspace(static_cast<unsigned char>(*p))) p++;
  return p;
}

bool Blank(const char* parms) { return !parms || *SkipSpace(parms) == '\0'; }

// A bare word: the text up to the first white space.
void ReadBareWord(const char* p, char* out, size_t size) {
  size_t n = 0;
  while (p[n] && !std::isspace(static_cast<unsigned char>(p[n])) && n + 1 < size) n++;
  std::memcpy(out, p, n);
  out[n] = '\0';
}

// A name in double quotes, or a bare word when the text has no opening quote; string
// register 1 when the text is empty.
void ReadName(const char* parms, char* out, size_t size) {
  out[0] = '\0';
  if (Blank(parms)) {
    if (const char* r = StringRegister(1)) ZNK_CopyString(out, r, size);
    return;
  }
  const char* p = SkipSpace(parms);
  if (*p == '"') {
    p++;
    size_t n = 0;
    while (p[n] && p[n] != '"' && n + 1 < size) n++;
    std::memcpy(out, p, n);
    out[n] = '\0';
  } else {
    ReadBareWord(p, out, size);
  }
}

// groupAdd and groupDel: a quoted object or group name, light n, or the word player.
MemberName ReadMember(const char* parms) {
  MemberName m;
  if (Blank(parms)) {
    ReadName(parms, m.name, sizeof m.name);
    m.kind = m.name[0] ? MemberName::kName : MemberName::kNone;
    return m;
  }
  const char* p = SkipSpace(parms);
  int n = 0;
  if (*p == '"') {
    ReadName(p, m.name, sizeof m.name);
    m.kind = m.name[0] ? MemberName::kName : MemberName::kNone;
  } else if (std::sscanf(p, "light%d", &n) == 1) {
    m.kind = MemberName::kLight;
    m.light = LightIndexOfNumber(n);
  } else {
    char word[16];
    ReadBareWord(p, word, sizeof word);
    // Any other bare word names nothing and is ignored.
    if (std::strcmp(word, "player") == 0) m.kind = MemberName::kCamera;
  }
  return m;
}

}  // namespace

char* znkinstr_group(char* parms, char* buffer) {
  char name[256];
  ReadName(parms, name, sizeof name);
  if (!name[0]) return nullptr;
  zntlgroup* group = GetGroupByName(name);
  if (!group) group = NewGroup(name);
  if (!group) {
    OutputToConsole("//Could not create the group.\n");
    return nullptr;
  }
  int index = GetGroupEntityNumberInGroup(&gAllEntities, group);
  MarkGroupEntity(&gAllEntities, index);
  gSelectedGroup = group;
  selectionType = 2;
  return nullptr;
}

char* znkinstr_ungroup(char* parms, char* buffer) {
  // The members stay where they are and keep their membership of gAllEntities.
  if (gSelectedGroup) DisposeGroup(gSelectedGroup);
  gSelectedGroup = nullptr;
  return nullptr;
}

char* znkinstr_groupAdd(char* parms, char* buffer) {
  zntlgroup* target = gSelectedGroup;
  if (!target) return nullptr;
  MemberName m = ReadMember(parms);
  switch (m.kind) {
    case MemberName::kName:
      if (human_being* object = GetHumanByName(m.name)) {
        RemoveHumanFromAllGroups(object);
        AddEntityToGroup(target, kEntityObject, object, 0);
      } else if (zntlgroup* group = GetGroupByName(m.name)) {
        // A group inside itself would make every walk over it endless.
        if (GroupContainsGroup(group, target)) {
          OutputToConsoleF("//Group \"%s\" cannot become a member of itself or of one of its subgroups.\n",
                           group->name);
          return nullptr;
        }
        RemoveGroupFromAllGroups(group);
        AddEntityToGroup(target, kEntityGroup, group, 0);
      }
      break;
    case MemberName::kLight:
      RemoveLightFromAllGroups(m.light);
      AddEntityToGroup(target, kEntityLight, nullptr, static_cast<char>(m.light));
      break;
    case MemberName::kCamera:
      RemoveCameraFromAllGroups();
      AddEntityToGroup(target, kEntityCamera, nullptr, 0);
      break;
    case MemberName::kNone:
      break;
  }
  return nullptr;
}

char* znkinstr_groupDel(char* parms, char* buffer) {
  zntlgroup* target = gSelectedGroup;
  if (!target) return nullptr;
  MemberName m = ReadMember(parms);
  switch (m.kind) {
    case MemberName::kName: {
      // An object of that name is looked for first, then a group.
      int index = -1;
      if (human_being* object = GetHumanByName(m.name)) index = GetHumanEntityNumberInGroup(target, object);
      if (index < 0) {
        if (zntlgroup* group = GetGroupByName(m.name)) index = GetGroupEntityNumberInGroup(target, group);
      }
      RemoveEntityFromGroup(target, index);
      break;
    }
    case MemberName::kLight:
      RemoveEntityFromGroup(target, GetLightEntityNumberInGroup(target, m.light));
      break;
    case MemberName::kCamera:
      RemoveEntityFromGroup(target, GetCameraEntityNumberInGroup(target));
      break;
    case MemberName::kNone:
      break;
  }
  return nullptr;
}
