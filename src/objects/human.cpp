// Object registry: the object list, creation from model files, naming, IDs, removal, the
// per-object bone transform, the drawing-order sort and model scaling.
#include "objects/human.h"

#include "world/collide_slide.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

#include "groups/groups.h"
#include "models/mat4.h"
#include "models/object_models.h"
#include "models/skeleton.h"
#include "models/zntl_model.h"
#include "objects/flat_index.h"
#include "objects/player.h"
#include "script/scheduler.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/output.h"
#include "shell/startup.h"

human_being* baseHuman = nullptr;
human_being* humanPtr = nullptr;
long gBiggestID = 0;
human_being* selHuman = nullptr;
human_being wasteHuman;

namespace {
// The registry's own indexes, so that making, finding and removing objects costs no walk
// over all of them: the objects made here and not yet destroyed, each with the record before
// it in the list as last seen (checked before use), the names they bear, their IDs, and the
// last object of the list (where a new one is appended).
AddressIndex<human_being*> gLivingObjects;
TextIndex<sizeof(human_being::name), human_being*> gObjectNames;
human_being* gLastHuman = nullptr;

// How many living objects bear each ID, indexed by ID, and how many IDs are counted there.
// The last entry is never 0, so the largest living ID is the last index. IDs beyond the
// bound are not counted; removals then find the largest by a walk over the objects.
std::vector<uint32_t> gIDUses;
size_t gIDsCounted = 0;
constexpr long kMaxCountedID = 1L << 24;

bool Living(const human_being* object) { return gLivingObjects.Find(object) != nullptr; }

void CountID(long id) {
  if (id < 0 || id > kMaxCountedID) return;
  if (gIDUses.size() <= static_cast<size_t>(id)) gIDUses.resize(static_cast<size_t>(id) + 1, 0);
  gIDUses[static_cast<size_t>(id)]++;
  gIDsCounted++;
}

void UncountID(long id) {
  if (id < 0 || static_cast<size_t>(id) >= gIDUses.size() || gIDUses[static_cast<size_t>(id)] == 0) return;
  gIDUses[static_cast<size_t>(id)]--;
  gIDsCounted--;
  while (!gIDUses.empty() && gIDUses.back() == 0) gIDUses.pop_back();
}

// The numbers a name base has given out: every number below `next` names an object, except
// those in `freed`, whose names may have become free again. Naming the n-th copy of a model
// then starts where the last one stopped instead of at 1.
struct NameNumbers {
  unsigned long next = 1;
  // Smallest first; a number freed twice is there twice and simply taken out twice.
  std::priority_queue<unsigned long, std::vector<unsigned long>, std::greater<unsigned long>> freed;
};
std::unordered_map<std::string, NameNumbers> gNameNumbers;

constexpr size_t kNameRoom = sizeof(human_being::name) - 1;

bool NameTaken(const std::string& name) {
  auto* entry = gObjectNames.Find(name.c_str());
  if (!entry) return false;
  // The entry holds only while its object lives and still bears the name.
  if (Living(entry->value) && name == entry->value->name) return true;
  gObjectNames.Erase(name.c_str());
  return false;
}

void RegisterName(human_being* object) {
  if (auto* entry = gObjectNames.Insert(object->name)) entry->value = object;
}

// The object's name is free again: the bases whose numbering can give that name get its
// number back. A name of the full 32 characters may be any longer base cut short, so it
// makes every base count from 1 again.
void ReleaseName(const human_being* object, const std::string& name) {
  auto* entry = gObjectNames.Find(name.c_str());
  if (!entry || entry->value != object) return;
  gObjectNames.Erase(name.c_str());
  if (name.size() >= kNameRoom) {
    gNameNumbers.clear();
    return;
  }
  // Every split of the trailing digits into a base and a number without a leading zero.
  size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') digits--;
  for (size_t at = digits; at < name.size(); at++) {
    if (name[at] == '0' || name.size() - at > 19) continue;
    auto numbers = gNameNumbers.find(name.substr(0, at));
    if (numbers == gNameNumbers.end()) continue;
    unsigned long n = std::stoul(name.substr(at));
    if (n < numbers->second.next) numbers->second.freed.push(n);
  }
}

// Gives the object the name of base and n when it is free: the base followed by the number,
// cut to 32 characters; when that is taken and the cut lost the number, the base gives way
// to the number instead. `usedUp` tells whether both names of n are taken afterwards.
bool TakeNumberedName(human_being* object, const std::string& base, unsigned long n, bool* usedUp) {
  char number[24];
  std::snprintf(number, sizeof number, "%lu", n);
  const std::string specified = (base + number).substr(0, kNameRoom);
  const std::string kept = base.substr(0, std::min(base.size(), kNameRoom - std::strlen(number))) + number;
  const std::string* name = &specified;
  if (NameTaken(specified)) {
    name = &kept;
    if (NameTaken(kept)) {
      *usedUp = true;
      return false;
    }
  }
  ZNK_CopyString(object->name, name->c_str(), sizeof object->name);
  RegisterName(object);
  *usedUp = NameTaken(specified) && NameTaken(kept);
  return true;
}

void ForgetAllObjects() {
  gLivingObjects.Clear();
  gObjectNames.Clear();
  gIDUses.clear();
  gIDsCounted = 0;
  gNameNumbers.clear();
  gLastHuman = baseHuman;
}

// The list's last record; the remembered one is checked, since tests link records by hand.
human_being* LastHuman() {
  if (!baseHuman->next) gLastHuman = baseHuman;
  if (!gLastHuman || (gLastHuman != baseHuman && !Living(gLastHuman))) gLastHuman = baseHuman;
  while (gLastHuman->next) gLastHuman = gLastHuman->next;
  return gLastHuman;
}
}  // namespace

void InitHumanRegistry() {
  if (!baseHuman) baseHuman = new human_being();
  baseHuman->next = nullptr;
  humanPtr = baseHuman;
  wasteHuman.objectType = 2;
  ForgetAllObjects();
}

void ZeroHuman(human_being* o) {
  if (!o) return;
  std::memset(o, 0, sizeof *o);
  o->weight = 100.0f;
  o->frameTime = 30;
  o->speed = 0.02f;
  o->objectType = 1;
  o->ID = gBiggestID;
  o->myPlane.b = 1.0f;
  o->plane = &o->myPlane;
  ZNK_CopyString(o->standardPose, "Stand", sizeof o->standardPose);
  ZNK_CopyString(o->killed1Name, "Killed1", sizeof o->killed1Name);
  ZNK_CopyString(o->killed2Name, "Killed2", sizeof o->killed2Name);
  o->number = 65535;
}

void SetHumanStandardPose(human_being* object, const char* name) {
  if (object) ZNK_CopyString(object->standardPose, name ? name : "", sizeof object->standardPose);
}

human_being* GetHumanByName(const char* name) {
  if (!baseHuman || !name) return nullptr;
  // Names are unique among the objects made here: the index answers at once.
  auto* entry = gObjectNames.Find(name);
  if (entry && Living(entry->value) && std::strcmp(entry->value->name, name) == 0) return entry->value;
  for (human_being* h = baseHuman->next; h; h = h->next) {
    if (ZNK_EqualString(h->name, name)) return h;
  }
  return nullptr;
}

int HumanIsLiving(const human_being* object) {
  if (!object || !baseHuman) return 0;
  if (Living(object)) return 1;
  for (human_being* h = baseHuman->next; h; h = h->next)
    if (h == object) return 1;
  return 0;
}

int HumanNameAlreadyUsed(human_being* object) {
  if (!baseHuman || !object) return 0;
  for (human_being* h = baseHuman->next; h; h = h->next) {
    if (h != object && ZNK_EqualString(h->name, object->name)) return 1;
  }
  return 0;
}

void BuildFreeHumanNameByModelSignature(human_being* object) {
  if (!object || !object->mdl) return;
  std::string base = object->mdl->signature;
  base = base.size() > 4 ? base.substr(0, base.size() - 4) : std::string();
  ReleaseName(object, object->name);

  // The smallest free number: a number given back, else the first one after those given out.
  NameNumbers& numbers = gNameNumbers[base];
  bool usedUp = false;
  while (!numbers.freed.empty()) {
    unsigned long n = numbers.freed.top();
    bool taken = TakeNumberedName(object, base, n, &usedUp);
    if (usedUp) numbers.freed.pop();
    if (taken) return;
  }
  for (;; numbers.next++) {
    bool taken = TakeNumberedName(object, base, numbers.next, &usedUp);
    if (taken) {
      if (usedUp) numbers.next++;
      return;
    }
  }
}

int RenameHuman(human_being* object, const char* name) {
  if (!object || !name) return 0;
  const std::string old = object->name;
  ZNK_CopyString(object->name, name, sizeof object->name);
  if (HumanNameAlreadyUsed(object)) {
    ZNK_CopyString(object->name, old.c_str(), sizeof object->name);
    return 0;
  }
  ReleaseName(object, old);
  if (Living(object)) RegisterName(object);
  return 1;
}

namespace {
// The record before the object in the list: the remembered one while it still is, else
// found by a walk. Null when the object is not in the list.
human_being* RecordBefore(const human_being* object) {
  if (auto* entry = gLivingObjects.Find(object)) {
    human_being* before = entry->value;
    if (before && (before == baseHuman || Living(before)) && before->next == object) return before;
  }
  for (human_being* h = baseHuman; h && h->next; h = h->next)
    if (h->next == object) return h;
  return nullptr;
}

// Notes that `before` now precedes the object (when the object is registered).
void NoteRecordBefore(const human_being* object, human_being* before) {
  if (!object) return;
  if (auto* entry = gLivingObjects.Find(object)) entry->value = before;
}

// Takes the object out of the list; false when it was not in it.
bool UnlinkHuman(human_being* object) {
  human_being* before = RecordBefore(object);
  if (!before) return false;
  before->next = object->next;
  NoteRecordBefore(object->next, before);
  object->next = nullptr;
  if (gLastHuman == object) gLastHuman = before;
  if (humanPtr == object) humanPtr = baseHuman;
  return true;
}

// The object leaves the registry's indexes (it is unlinked or was never made).
void ForgetObject(human_being* object) {
  if (!gLivingObjects.Erase(object)) return;
  ReleaseName(object, object->name);
  UncountID(object->ID);
}
}  // namespace

human_being* AddHuman2(const char* modelFile) {
  if (!modelFile || !baseHuman) return nullptr;
  char path[4096];
  std::snprintf(path, sizeof path, "%sModels%c%s", currentLevelFolder, kDirectoryDevider, modelFile);
  if (!ZNK_FileExists(path)) {
    std::snprintf(path, sizeof path, "%sModels%c%s", routePath, kDirectoryDevider, modelFile);
    if (!ZNK_FileExists(path)) return nullptr;
  }

  human_being* object = new human_being();
  ZeroHuman(object);
  human_being* last = LastHuman();
  last->next = object;
  gLastHuman = object;
  humanPtr = object;

  zntlmdl* mdl = LoadObjectModel(path);
  if (!mdl) {
    last->next = nullptr;
    gLastHuman = last;
    humanPtr = baseHuman;
    delete object;
    return nullptr;
  }
  mdl->parent = object;
  mdl->next = nullptr;
  object->mdl = mdl;

  if (auto* entry = gLivingObjects.Insert(object)) entry->value = last;
  BuildFreeHumanNameByModelSignature(object);
  object->ID = gBiggestID++;
  CountID(object->ID);
  mdl->parallelepipedShape = 0;

  int entity = AddEntityToGroup(&gAllEntities, kEntityObject, object, 0);
  SelectGroupEntities(&gAllEntities, 0);
  MarkGroupEntity(&gAllEntities, entity);

  UpdateModelBoneWCs(object);
  return object;
}

void DisposeHuman(human_being* object) {
  if (!object) return;
  Dispose_Zyntrel_Mdl(object->mdl);
  object->mdl = nullptr;
  RemoveHumanScripts(object);
  DisposeVariableList(object->myVars);
  object->myVars = nullptr;
  delete object;
}

void RemoveHuman(human_being* object) {
  if (!object || !baseHuman || !baseHuman->next) return;
  RemoveHumanFromAllGroups(object);
  RemoveObjectFromRoot(object);

  bool registered = Living(object);
  if (!UnlinkHuman(object)) return;
  ForgetObject(object);
  // Nothing may keep pointing at a destroyed object.
  if (selHuman == object) selHuman = nullptr;
  if (gHumanScriptTarget == object) gHumanScriptTarget = nullptr;
  if (gHitPerson == object) gHitPerson = nullptr;
  DisposeHuman(object);

  // The largest remaining ID plus one.
  if (registered && gIDsCounted == gLivingObjects.Size()) {
    gBiggestID = static_cast<long>(gIDUses.size());
    return;
  }
  gBiggestID = 0;
  for (human_being* h = baseHuman->next; h; h = h->next) {
    if (h->ID + 1 > gBiggestID) gBiggestID = h->ID + 1;
  }
}

namespace {
// The reset walks every object once, and objects and their models lie far apart in memory:
// the lines it reads of the objects next in turn are asked for while this one is freed.
void PrefetchObjectRecord(const human_being* h) {
  const char* p = reinterpret_cast<const char*>(h);
  __builtin_prefetch(p + offsetof(human_being, mdl));
  __builtin_prefetch(p + offsetof(human_being, scripts));
  __builtin_prefetch(p + offsetof(human_being, next));
}
void PrefetchObjectModel(const human_being* h) {
  if (!h->mdl) return;
  const char* p = reinterpret_cast<const char*>(h->mdl);
  __builtin_prefetch(p + offsetof(zntlmdl, numBones));
  __builtin_prefetch(p + offsetof(zntlmdl, blockBytes));
  __builtin_prefetch(p + sizeof(zntlmdl) + 32);
}
}  // namespace

void RemoveAllHumans() {
  if (!baseHuman) return;
  RemoveAllObjectsFromGroups();
  human_being* h = baseHuman->next;
  baseHuman->next = nullptr;
  humanPtr = baseHuman;
  ForgetAllObjects();
  selHuman = nullptr;
  gHumanScriptTarget = nullptr;
  gHitPerson = nullptr;
  // `ahead` runs some objects in front of the one being freed and asks for each record's
  // lines when it reaches it (it reads the next link one step later, once the line is there);
  // `model` runs half as far in front and asks for each model's lines.
  constexpr int kAhead = 8;
  human_being* ahead = h;
  human_being* model = h;
  if (ahead) PrefetchObjectRecord(ahead);
  for (int k = 0; k < kAhead && ahead; k++) {
    ahead = ahead->next;
    if (ahead) PrefetchObjectRecord(ahead);
  }
  for (int k = 0; k < kAhead / 2 && model; k++, model = model->next) PrefetchObjectModel(model);
  while (h) {
    if (ahead && (ahead = ahead->next)) PrefetchObjectRecord(ahead);
    if (model) {
      PrefetchObjectModel(model);
      model = model->next;
    }
    human_being* next = h->next;
    DisposeHuman(h);
    h = next;
  }
  gBiggestID = 0;
}

void UpdateModelBoneWCs(human_being* object) {
  if (!object || !object->mdl || !object->mdl->bones) return;
  Mat4 world = ObjectTransform(object->xpos, object->ypos, object->zpos, object->xang, object->yang, object->zang);
  TransformBoneBorders(object->mdl, &object->mdl->bones[0], world);
}

void SortHumansForBlending() {
  if (!baseHuman || !baseHuman->next) return;
  struct Entry {
    human_being* object;
    float distance;
    size_t order;
    human_being* before;  // the record before it until now
  };
  std::vector<Entry> entries;
  vector_type eye = {playerPos.x, playerPos.y + 1.0f, playerPos.z};
  human_being* before = baseHuman;
  for (human_being* h = baseHuman->next; h; before = h, h = h->next) {
    h->number = 65535;
    vector_type c = {0, 0, 0};
    if (h->mdl) {
      c.x = (h->mdl->newBoxMin.x + h->mdl->newBoxMax.x) * 0.5f;
      c.y = (h->mdl->newBoxMin.y + h->mdl->newBoxMax.y) * 0.5f;
      c.z = (h->mdl->newBoxMin.z + h->mdl->newBoxMax.z) * 0.5f;
    }
    float d;
    if (h->HUD) {
      d = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
    } else {
      float dx = c.x - eye.x, dy = c.y - eye.y, dz = c.z - eye.z;
      d = std::sqrt(dx * dx + dy * dy + dz * dz);
    }
    h->tempFloat = d;
    entries.push_back({h, std::isnan(d) ? -INFINITY : d, entries.size(), before});
  }
  // Farthest first; among equal distances the later object first (what inserting each
  // object before the first placed one at an equal or smaller distance gives).
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.distance != b.distance) return a.distance > b.distance;
    return a.order > b.order;
  });
  human_being* last = baseHuman;
  for (size_t i = 0; i < entries.size(); i++) {
    last->next = entries[i].object;
    if (entries[i].before != last) NoteRecordBefore(entries[i].object, last);
    last = entries[i].object;
    last->number = static_cast<int>(i);
  }
  last->next = nullptr;
  gLastHuman = last;
}

void ScaleModelTo(human_being* hum, float width, float height, float depth, int ValuesOrFactor) {
  if (!hum || !hum->mdl) return;
  zntlmdl* mdl = hum->mdl;
  float fx = width, fy = height, fz = depth;
  if (ValuesOrFactor != 0) {
    const vector_type* b = mdl->bigBox;
    float curW = std::hypot(b[4].x - b[7].x, b[4].z - b[7].z);
    float curD = std::hypot(b[4].x - b[0].x, b[4].z - b[0].z);
    float curH = std::fabs(b[4].y - b[5].y);
    fx = (width == 0.0f || curW == 0.0f) ? 1.0f : width / curW;
    fy = (height == 0.0f || curH == 0.0f) ? 1.0f : height / curH;
    fz = (depth == 0.0f || curD == 0.0f) ? 1.0f : depth / curD;
  }
  for (uint32_t i = 0; i < mdl->numVertices; i++) {
    mesh_vert* v = mdl->vlist[i];
    v->pos.x *= fx;
    v->pos.y *= fy;
    v->pos.z *= fz;
    mdl->va[3 * i] = v->pos.x;
    mdl->va[3 * i + 1] = v->pos.y;
    mdl->va[3 * i + 2] = v->pos.z;
  }
  if (mdl->bones) {
    for (uint32_t i = 0; i <= mdl->numBones; i++) {
      mdl->bones[i].pos.x *= fx;
      mdl->bones[i].pos.y *= fy;
      mdl->bones[i].pos.z *= fz;
    }
  }
  RecalculateModelBounds(mdl);
  mdl->scalars = {fx, fy, fz};
}
