// Materials: defaults, the setting lines of model and level files, public-settings copy, and
// the level's material list and bone array.
#include "models/materials.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/textures.h"
#include "script/script_file.h"

zntlmtrl* gMaterials = nullptr;
uint32_t gNumMaterials = 0;
uint32_t gCurMaterial = 0;
zntlbone* gBones = nullptr;
uint32_t gNumBones = 0;
uint32_t gCurBone = 0;

namespace {
void Set4(float* f, float a, float b, float c, float d) {
  f[0] = a;
  f[1] = b;
  f[2] = c;
  f[3] = d;
}

// Reads up to four reals of the form "%f,%f,%f,%f"; missing ones keep their value.
void ReadFour(const char* value, float* a, float* b, float* c, float* d) {
  std::sscanf(value, "%f,%f,%f,%f", a, b, c, d);
}

void ResetLevelMaterial(zntlmtrl* material, const char* name) {
  std::memset(material, 0, sizeof *material);
  SetMaterialDefaults(material);
  ZNK_CopyString(material->name, name ? name : "", sizeof material->name);
}
}  // namespace

void SetMaterialDefaults(zntlmtrl* material) {
  material->animationStart = 0;
  material->red = material->green = material->blue = material->alpha = 1.0f;
  material->transparencyMode = 0;
  Set4(material->matAmbient, 0.2f, 0.2f, 0.2f, 1.0f);
  Set4(material->matDiffuse, 0.8f, 0.8f, 0.8f, 1.0f);
  material->matShininess = 0.0f;
  Set4(material->matSpecular, 0.0f, 0.0f, 0.0f, 1.0f);
  Set4(material->matEmission, 0.0f, 0.0f, 0.0f, 1.0f);
  material->wireSize = 0.0f;
  material->lux = 0;
  material->depthMask = 1;
  material->shadeModel = 0;
  material->mapType = 0;
  material->materialTexture = 0;
}

namespace {
// Splits a setting line into its key (cut to the buffer) and its value. A line without "="
// is a key with an empty value.
const char* SplitShaderLine(const char* line, char* key, size_t keySize) {
  const char* equals = std::strchr(line, '=');
  size_t keyLength = equals ? static_cast<size_t>(equals - line) : std::strlen(line);
  if (keyLength > keySize - 1) keyLength = keySize - 1;
  std::memcpy(key, line, keyLength);
  key[keyLength] = '\0';
  return equals ? equals + 1 : "";
}
}  // namespace

const char* ShaderLineTexture(const char* line) {
  if (!line) return nullptr;
  char key[256];
  const char* value = SplitShaderLine(line, key, sizeof key);
  return ZNK_EqualString(key, "texture") && value[0] != '\0' ? value : nullptr;
}

void InterpretShaderInstruction(const char* line, zntlmtrl* material) {
  if (!line || !material) return;
  char key[256];
  const char* value = SplitShaderLine(line, key, sizeof key);

  if (ZNK_EqualString(key, "smooth")) {
    material->shadeModel = static_cast<unsigned char>(std::atoi(value));
  } else if (ZNK_EqualString(key, "color")) {
    ReadFour(value, &material->red, &material->green, &material->blue, &material->alpha);
  } else if (ZNK_EqualString(key, "ambient")) {
    float* f = material->matAmbient;
    ReadFour(value, &f[0], &f[1], &f[2], &f[3]);
  } else if (ZNK_EqualString(key, "diffuse")) {
    float* f = material->matDiffuse;
    ReadFour(value, &f[0], &f[1], &f[2], &f[3]);
  } else if (ZNK_EqualString(key, "specular")) {
    float* f = material->matSpecular;
    ReadFour(value, &f[0], &f[1], &f[2], &f[3]);
  } else if (ZNK_EqualString(key, "shininess")) {
    std::sscanf(value, "%f", &material->matShininess);
  } else if (ZNK_EqualString(key, "emission")) {
    float* f = material->matEmission;
    ReadFour(value, &f[0], &f[1], &f[2], &f[3]);
  } else if (ZNK_EqualString(key, "blend")) {
    material->transparencyMode = std::atoi(value);
  } else if (ZNK_EqualString(key, "texture")) {
    if (value[0] == '\0') {
      material->mapType = 1;
      return;
    }
    ZNK_CopyString(material->fileName, value, sizeof material->fileName);
    material->materialTexture = LoadTextureAsLoadtex(value);
    if (material->materialTexture != 0) material->mapType = 1;
  } else if (ZNK_EqualString(key, "wire")) {
    std::sscanf(value, "%f", &material->wireSize);
  } else if (ZNK_EqualString(key, "depth")) {
    material->depthMask = static_cast<char>(std::atoi(value));
  }
}

void CopyPublicMaterialSettings(const zntlmtrl* src, zntlmtrl* dst) {
  if (!src || !dst || src == dst) return;
  uint32_t* indices = dst->indices;
  float* faceNormals = dst->faceNormals;
  float* uvs = dst->UVs;
  *dst = *src;
  dst->indices = indices;
  dst->faceNormals = faceNormals;
  dst->UVs = uvs;
}

void FreeMaterialArrays(zntlmtrl* material) {
  std::free(material->indices);
  std::free(material->faceNormals);
  std::free(material->UVs);
  material->indices = nullptr;
  material->faceNormals = nullptr;
  material->UVs = nullptr;
}

void MeshEditorAddMaterial(const char* name) {
  void* grown = std::realloc(gMaterials, (gNumMaterials + 1) * sizeof(zntlmtrl));
  if (!grown) return;
  gMaterials = static_cast<zntlmtrl*>(grown);
  ResetLevelMaterial(&gMaterials[gNumMaterials], name);
  gCurMaterial = gNumMaterials;
  gNumMaterials++;
}

uint32_t GetMaterialNumberByName(const char* name) {
  for (uint32_t i = 0; i < gNumMaterials; i++) {
    if (ZNK_EqualString(gMaterials[i].name, name)) return i;
  }
  return gCurMaterial;
}

void ShrinkToDefaultMaterialAndBone() {
  for (uint32_t i = 0; i < gNumMaterials; i++) FreeMaterialArrays(&gMaterials[i]);
  std::free(gMaterials);
  gMaterials = nullptr;
  gNumMaterials = 0;
  MeshEditorAddMaterial("Default");
  gCurMaterial = 0;

  for (uint32_t i = 0; i < gNumBones; i++) {
    std::free(gBones[i].indices);
    std::free(gBones[i].subBones);
  }
  std::free(gBones);
  gBones = static_cast<zntlbone*>(std::calloc(1, sizeof(zntlbone)));
  gNumBones = gBones ? 1 : 0;
  if (gBones) {
    ZNK_CopyString(gBones[0].signature, "None", sizeof gBones[0].signature);
    ZNK_CopyString(gBones[0].fourchars, "None", sizeof gBones[0].fourchars);
    gBones[0].currentAnimation = -1;
  }
  gCurBone = 0;
}

void InitDefaultMaterialAndBone() { ShrinkToDefaultMaterialAndBone(); }
