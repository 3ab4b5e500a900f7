// Skeleton animation: instruction lines, per-bone timelines started from an animation and
// advanced by the game clock, CPU posing of vertices, normals and bone boxes, and the table
// of four-character bone codes.
#include "models/skeleton.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "models/zntl_model.h"
#include "script/script_file.h"
#include "shell/timed_tasks.h"

boneAssignment* boneTable = nullptr;
uint32_t gNumAssignments = 0;

void InterpretAnimationInstruction(const char* line, zntlaniminstr* instr) {
  if (!line || !instr) return;
  const char* equals = std::strchr(line, '=');
  std::string key = equals ? std::string(line, static_cast<size_t>(equals - line)) : std::string(line);
  const char* value = equals ? equals + 1 : "";
  if (key == "morph") {
    instr->instructionType = 0;
  } else if (key == "set") {
    instr->instructionType = 1;
  } else {
    // An instruction of no known kind must never move a bone.
    instr->instructionType = 2;
    return;
  }
  std::sscanf(value, "%d,%f,%f,%f,%f,%f,%f", &instr->boneNumber, &instr->xmod, &instr->ymod, &instr->zmod,
              &instr->xang, &instr->yang, &instr->zang);
}

void ClearBoneTimeline(zntlbonetimeline* timeline) {
  std::free(timeline->instructions);
  timeline->instructions = nullptr;
  timeline->numInstructions = 0;
  timeline->whichAnimation = nullptr;
}

void ScanAnimationForBoneTimelines(zntlmdl* mdl, zntlanim* anim, int32_t timeShift) {
  if (!mdl || !anim || !mdl->timelines) return;
  const uint32_t nb = mdl->numBones;

  // A negative shift names a start mark: -1 s the first, -2 s the second, -3 s the third;
  // shifts of -4 s and beyond take the last mark.
  bool useMark = timeShift < 0;
  int slot = 0;
  uint32_t start = gCurrentTime - static_cast<uint32_t>(timeShift);
  if (useMark) {
    double k = -static_cast<double>(timeShift) / 1000.0 - 1.0;
    slot = static_cast<int>(k);  // toward zero
    if (slot < 0) slot = 0;
    if (slot > 2) slot = 2;
  }

  for (uint32_t i = 0; i <= nb; i++) {
    if (mdl->timelines[i].whichAnimation == anim) ClearBoneTimeline(&mdl->timelines[i]);
  }

  // Count the copies each bone gets, then fill them in the animation's order.
  std::vector<int> perBone(nb + 1, 0);
  for (uint32_t k = 0; k < anim->numInstructions; k++) {
    const zntlaniminstr& in = anim->instructions[k];
    if (in.instructionType == 2 || in.boneNumber < 0 || static_cast<uint32_t>(in.boneNumber) > nb) continue;
    perBone[in.boneNumber]++;
  }
  for (uint32_t b = 0; b <= nb; b++) {
    if (perBone[b] == 0) continue;
    zntlbonetimeline* tl = &mdl->timelines[b];
    ClearBoneTimeline(tl);
    tl->instructions = static_cast<zntlaniminstr*>(std::calloc(perBone[b], sizeof(zntlaniminstr)));
    if (!tl->instructions) continue;
    tl->whichAnimation = anim;
    tl->looping = anim->looping;
    tl->start = useMark ? tl->timeOffset[slot] : start;
  }
  for (uint32_t k = 0; k < anim->numInstructions; k++) {
    const zntlaniminstr& in = anim->instructions[k];
    if (in.instructionType == 2 || in.boneNumber < 0 || static_cast<uint32_t>(in.boneNumber) > nb) continue;
    zntlbonetimeline* tl = &mdl->timelines[in.boneNumber];
    if (!tl->instructions) continue;
    zntlaniminstr* copy = &tl->instructions[tl->numInstructions++];
    *copy = in;
    copy->numExecutions = 0;
    copy->startTime += tl->start;
    copy->endTime += tl->start;
  }

  for (uint32_t b = 0; b <= nb; b++) {
    zntlbonetimeline* tl = &mdl->timelines[b];
    uint32_t end = 0;
    for (int k = 0; k < tl->numInstructions; k++) {
      if (tl->instructions[k].endTime > end) end = tl->instructions[k].endTime;
    }
    tl->end = end;
    tl->duration = end - tl->start;
  }
}

void UpdateModelBones(zntlmdl* mdl, uint32_t tim) {
  if (!mdl || !mdl->timelines || !mdl->bones) return;
  for (uint32_t i = 0; i <= mdl->numBones; i++) {
    zntlbonetimeline* tl = &mdl->timelines[i];
    zntlbone* bone = &mdl->bones[i];
    for (int k = 0; k < tl->numInstructions; k++) {
      zntlaniminstr* in = &tl->instructions[k];
      bool inside = in->startTime < tim && tim < in->endTime;
      bool active = inside || (in->instructionType == 1 && in->startTime <= tim);
      if (!active) continue;
      if (in->instructionType == 0) {
        if (in->numExecutions == 0) {
          in->m[0] = bone->xmod;
          in->m[1] = bone->ymod;
          in->m[2] = bone->zmod;
          in->m[3] = bone->xang;
          in->m[4] = bone->yang;
          in->m[5] = bone->zang;
          in->m2[0] = in->xmod - in->m[0];
          in->m2[1] = in->ymod - in->m[1];
          in->m2[2] = in->zmod - in->m[2];
          in->m2[3] = GetCorrectDegree(in->xang - in->m[3]);
          in->m2[4] = GetCorrectDegree(in->yang - in->m[4]);
          in->m2[5] = GetCorrectDegree(in->zang - in->m[5]);
        }
        float f = static_cast<float>(tim - in->startTime) / static_cast<float>(in->endTime - in->startTime);
        if (f > 1.0f) f = 1.0f;
        bone->xmod = in->m[0] + f * in->m2[0];
        bone->ymod = in->m[1] + f * in->m2[1];
        bone->zmod = in->m[2] + f * in->m2[2];
        bone->xang = GetCorrectDegree(in->m[3] + f * in->m2[3]);
        bone->yang = GetCorrectDegree(in->m[4] + f * in->m2[4]);
        bone->zang = GetCorrectDegree(in->m[5] + f * in->m2[5]);
      } else if (in->instructionType == 1 && in->numExecutions == 0) {
        bone->xmod = in->xmod;
        bone->ymod = in->ymod;
        bone->zmod = in->zmod;
        bone->xang = in->xang;
        bone->yang = in->yang;
        bone->zang = in->zang;
      }
      in->numExecutions++;
    }
    // A looping timeline moves forward by whole durations; one without length cannot loop.
    if (tl->looping && tl->numInstructions > 0 && tl->duration > 0 && tim > tl->end) {
      uint32_t n = (tim - tl->start) / tl->duration;
      uint32_t newStart = tl->start + n * tl->duration;
      uint32_t shift = newStart - tl->start;
      for (int k = 0; k < tl->numInstructions; k++) {
        tl->instructions[k].startTime += shift;
        tl->instructions[k].endTime += shift;
        tl->instructions[k].numExecutions = 0;
      }
      tl->end += shift;
      tl->start = newStart;
    }
  }
}

namespace {

// L(b) = T(pos) * Rz * Ry * Rx * T(offset) * T(-pos), applied on the right of `base`.
Mat4 BoneLocal(const Mat4& base, const zntlbone* b) {
  Mat4 m = Mat4Translate(base, b->pos.x, b->pos.y, b->pos.z);
  m = Mat4RotateZ(m, b->zang);
  m = Mat4RotateY(m, b->yang);
  m = Mat4RotateX(m, b->xang);
  m = Mat4Translate(m, b->xmod, b->ymod, b->zmod);
  return Mat4Translate(m, -b->pos.x, -b->pos.y, -b->pos.z);
}

Mat4 BoneRotation(const Mat4& base, const zntlbone* b) {
  Mat4 m = Mat4RotateZ(base, b->zang);
  m = Mat4RotateY(m, b->yang);
  return Mat4RotateX(m, b->xang);
}

// Depth-first walk of a bone tree, a bone before its children, without recursion (bone
// chains in a file can be arbitrarily deep). Visit(bone, parentTransform) returns the bone's
// own composite transform for its children.
template <typename Visit>
void WalkBones(zntlbone* bone, const Mat4& base, Visit visit) {
  if (!bone) return;
  struct Item {
    zntlbone* bone;
    Mat4 base;
  };
  std::vector<Item> stack;
  stack.push_back({bone, base});
  while (!stack.empty()) {
    Item item = stack.back();
    stack.pop_back();
    Mat4 composite = visit(item.bone, item.base);
    for (uint32_t k = item.bone->numSubBones; k > 0; k--) {
      zntlbone* child = item.bone->subBones[k - 1];
      if (child) stack.push_back({child, composite});
    }
  }
}

}  // namespace

void TransformBoneVertices(zntlmdl* mdl, zntlbone* bone, const Mat4& base) {
  if (!mdl || !mdl->tva) return;
  WalkBones(bone, base, [mdl](zntlbone* b, const Mat4& parent) {
    Mat4 c = BoneLocal(parent, b);
    for (uint32_t k = 0; k < b->numIndices; k++) {
      uint32_t vi = b->indices[k];
      if (vi >= mdl->numVertices) continue;
      float* p = &mdl->tva[3 * vi];
      vector_type r = Mat4TransformPoint(c, {p[0], p[1], p[2]});
      p[0] = r.x;
      p[1] = r.y;
      p[2] = r.z;
    }
    return c;
  });
}

void TransformBoneVertexNormals(zntlmdl* mdl, zntlbone* bone, const Mat4& base) {
  if (!mdl || !mdl->tvertexNormals) return;
  WalkBones(bone, base, [mdl](zntlbone* b, const Mat4& parent) {
    Mat4 c = BoneRotation(parent, b);
    for (uint32_t k = 0; k < b->numIndices; k++) {
      uint32_t vi = b->indices[k];
      if (vi >= mdl->numVertices) continue;
      float* n = &mdl->tvertexNormals[3 * vi];
      vector_type r = Mat4TransformDirection(c, {n[0], n[1], n[2]});
      n[0] = r.x;
      n[1] = r.y;
      n[2] = r.z;
    }
    return c;
  });
}

void TransformBoneBorders(zntlmdl* mdl, zntlbone* bone, const Mat4& world) {
  if (!mdl) return;
  WalkBones(bone, world, [](zntlbone* b, const Mat4& parent) {
    Mat4 c = BoneLocal(parent, b);
    b->tpos = Mat4TransformPoint(c, b->pos);
    for (int k = 0; k < 8; k++) b->tbox[k] = Mat4TransformPoint(c, b->box[k]);
    return c;
  });
}

void PoseModelVertices(zntlmdl* mdl) {
  if (!mdl || !mdl->bones || !mdl->tva || !mdl->tvertexNormals) return;
  const size_t nv = mdl->numVertices;
  if (nv) {
    std::memcpy(mdl->tva, mdl->va, 3 * nv * sizeof(float));
    std::memcpy(mdl->tvertexNormals, mdl->vertexNormals, 3 * nv * sizeof(float));
  }
  TransformBoneVertices(mdl, &mdl->bones[0]);
  if (mdl->transformNormals) TransformBoneVertexNormals(mdl, &mdl->bones[0]);
  for (uint32_t i = 0; i < mdl->numUVFixesVertices; i++) {
    uint32_t from = mdl->uvfixesPtrs[i]->originalVertexIndex;
    size_t to = nv + i;
    for (int k = 0; k < 3; k++) {
      mdl->tva[3 * to + k] = mdl->tva[3 * from + k];
      if (mdl->transformNormals) mdl->tvertexNormals[3 * to + k] = mdl->tvertexNormals[3 * from + k];
    }
  }
}

void PoseObjectModel2(zntlmdl* mdl, float xpos, float ypos, float zpos, float xang, float yang, float zang,
                      float spare) {
  if (!mdl || !mdl->bones) return;
  TransformBoneBorders(mdl, &mdl->bones[0], ObjectTransform(xpos, ypos, zpos, xang, yang, zang));
  mdl->translatedSphereCenter = mdl->sphereCenter;
  vector_type mn = mdl->bones[0].tbox[0], mx = mn;
  for (uint32_t b = 0; b <= mdl->numBones; b++) {
    for (int k = 0; k < 8; k++) {
      vector_type p = mdl->bones[b].tbox[k];
      mn.x = std::fmin(mn.x, p.x);
      mn.y = std::fmin(mn.y, p.y);
      mn.z = std::fmin(mn.z, p.z);
      mx.x = std::fmax(mx.x, p.x);
      mx.y = std::fmax(mx.y, p.y);
      mx.z = std::fmax(mx.z, p.z);
    }
  }
  SetBoxCorners(mdl->bigBox, mn, mx);
  mdl->oldBoxMin = mdl->newBoxMin;
  mdl->oldBoxMax = mdl->newBoxMax;
  mdl->newBoxMin = mn;
  mdl->newBoxMax = mx;
  ModelBoxToCollisionPlanes2(mdl);
}

// ---- Four-character bone codes ----

namespace {
std::vector<boneAssignment> gBoneCodes;
std::unordered_map<std::string, uint32_t> gCodeByName;  // long name -> entry
std::unordered_map<std::string, uint32_t> gNameByCode;  // code -> entry
uint32_t gNextCodeNumber = 10000;                        // every number below is taken

void SyncTable() {
  boneTable = gBoneCodes.empty() ? nullptr : gBoneCodes.data();
  gNumAssignments = static_cast<uint32_t>(gBoneCodes.size());
}
}  // namespace

boneAssignment* FindFreeBoneCodeAndAddToList(char* longName, int takeExisting) {
  if (!longName) return nullptr;
  char name[256];
  ZNK_CopyString(name, longName, sizeof name);
  for (;;) {
    auto found = gCodeByName.find(name);
    if (found == gCodeByName.end()) break;
    size_t length = std::strlen(name);
    // A name that cannot grow any longer keeps the entry it already has.
    if (takeExisting || length + 1 >= sizeof name) return &gBoneCodes[found->second];
    name[length] = '_';
    name[length + 1] = '\0';
  }
  std::memcpy(longName, name, std::strlen(name) + 1);

  char code[8];
  for (;;) {
    if (gNextCodeNumber > 19999) return nullptr;  // all 10000 codes are issued
    std::snprintf(code, sizeof code, "%u", gNextCodeNumber);
    if (gNameByCode.find(code + 1) == gNameByCode.end()) break;
    gNextCodeNumber++;
  }
  gNextCodeNumber++;
  boneAssignment entry = {};
  ZNK_CopyString(entry.fourchars, code + 1, sizeof entry.fourchars);
  ZNK_CopyString(entry.longName, name, sizeof entry.longName);
  gBoneCodes.push_back(entry);
  uint32_t index = static_cast<uint32_t>(gBoneCodes.size() - 1);
  gCodeByName[entry.longName] = index;
  gNameByCode[entry.fourchars] = index;
  SyncTable();
  return &gBoneCodes[index];
}

const char* GetFourCharCodeFromBoneName(const char* longName) {
  auto found = gCodeByName.find(longName ? longName : "");
  return found == gCodeByName.end() ? "None" : gBoneCodes[found->second].fourchars;
}

const char* GetBoneNameFromFourCharCode(const char* code) {
  if (!code) return "";
  auto found = gNameByCode.find(code);
  return found == gNameByCode.end() ? code : gBoneCodes[found->second].longName;
}

void ClearBoneCodeTable() {
  gBoneCodes.clear();
  gCodeByName.clear();
  gNameByCode.clear();
  gNextCodeNumber = 10000;
  SyncTable();
}
