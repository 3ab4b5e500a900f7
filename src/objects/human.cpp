// Object registry: the object list, creation from model files, naming, IDs, removal, the
// per-object bone transform, the drawing-order sort and model scaling.
#include "objects/human.h"

#include "world/collide_slide.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "groups/groups.h"
#include "models/mat4.h"
#include "models/skeleton.h"
#include "models/zntl_model.h"
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

void InitHumanRegistry() {
  if (!baseHuman) baseHuman = new human_being();
  baseHuman->next = nullptr;
  humanPtr = baseHuman;
  wasteHuman.objectType = 2;
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
  for (human_being* h = baseHuman->next; h; h = h->next) {
    if (ZNK_EqualString(h->name, name)) return h;
  }
  return nullptr;
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

  // The names in use, gathered once, so that naming the n-th copy of a model is not a
  // list walk per candidate number.
  std::unordered_set<std::string> used;
  for (human_being* h = baseHuman ? baseHuman->next : nullptr; h; h = h->next) {
    if (h != object) used.insert(h->name);
  }
  const size_t kNameRoom = sizeof object->name - 1;
  for (unsigned long n = 1;; n++) {
    char number[24];
    std::snprintf(number, sizeof number, "%lu", n);
    // The name is the base followed by the number, cut to 32 characters. A base that long
    // loses the number to the cut; only when that name is taken does the base give way to the
    // number, so that names stay unique.
    std::string specified = (base + number).substr(0, kNameRoom);
    if (!used.count(specified)) {
      ZNK_CopyString(object->name, specified.c_str(), sizeof object->name);
      return;
    }
    std::string kept = base.substr(0, std::min(base.size(), kNameRoom - std::strlen(number))) + number;
    if (!used.count(kept)) {
      ZNK_CopyString(object->name, kept.c_str(), sizeof object->name);
      return;
    }
  }
}

namespace {
void UnlinkHuman(human_being* object) {
  for (human_being* h = baseHuman; h && h->next; h = h->next) {
    if (h->next == object) {
      h->next = object->next;
      object->next = nullptr;
      break;
    }
  }
  if (humanPtr == object) humanPtr = baseHuman;
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
  human_being* last = baseHuman;
  while (last->next) last = last->next;
  last->next = object;
  humanPtr = object;

  zntlmdl* mdl = NewZyntrelMdl();
  if (!mdl) {
    UnlinkHuman(object);
    delete object;
    return nullptr;
  }
  mdl->parent = object;
  mdl->next = nullptr;
  if (!Load_Zyntrel_Mdl(path, mdl)) {
    std::free(mdl);
    UnlinkHuman(object);
    delete object;
    return nullptr;
  }
  object->mdl = mdl;

  BuildFreeHumanNameByModelSignature(object);
  object->ID = gBiggestID++;
  mdl->parallelepipedShape = 0;

  int entity = AddEntityToGroup(&gAllEntities, kEntityObject, object, 0);
  SelectGroupEntities(&gAllEntities, 0);
  if (entity >= 0) gAllEntities.entities[entity].selected = 1;

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
  RemoveEntityFromGroup(&gAllEntities, GetHumanEntityNumberInGroup(&gAllEntities, object));

  bool linked = false;
  for (human_being* h = baseHuman->next; h; h = h->next) {
    if (h == object) linked = true;
  }
  if (!linked) return;
  UnlinkHuman(object);
  // Nothing may keep pointing at a destroyed object.
  if (selHuman == object) selHuman = nullptr;
  if (gHumanScriptTarget == object) gHumanScriptTarget = nullptr;
  if (gHitPerson == object) gHitPerson = nullptr;
  DisposeHuman(object);

  gBiggestID = 0;
  for (human_being* h = baseHuman->next; h; h = h->next) {
    if (h->ID + 1 > gBiggestID) gBiggestID = h->ID + 1;
  }
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
  };
  std::vector<Entry> entries;
  vector_type eye = {playerPos.x, playerPos.y + 1.0f, playerPos.z};
  for (human_being* h = baseHuman->next; h; h = h->next) {
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
    entries.push_back({h, std::isnan(d) ? -INFINITY : d, entries.size()});
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
    last = entries[i].object;
    last->number = static_cast<int>(i);
  }
  last->next = nullptr;
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
