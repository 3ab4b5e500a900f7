// Appearance, light and camera commands: the selected object's materials and drawing flags,
// textures and texture animations, the tint, clear and fog colours, the eight lights, and
// the perspective or orthographic view.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "commands/commands.h"
#include "commands/echo.h"
#include "commands/selection.h"
#include "groups/groups.h"
#include "models/model_types.h"
#include "objects/human.h"
#include "render/frame.h"
#include "render/lights.h"
#include "render/projection.h"
#include "render/textures.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "shell/window.h"

namespace {
// The selected object's material by its 1-based number, or null.
zntlmtrl* SelectedMaterial(int n) {
  if (!selHuman || !selHuman->mdl || !selHuman->mdl->materials) return nullptr;
  if (n < 1 || static_cast<uint32_t>(n) > selHuman->mdl->numMaterials) return nullptr;
  return &selHuman->mdl->materials[n - 1];
}

bool ObjectSelected() { return selHuman && selHuman->mdl; }

int IntReg(int n) { return *IntRegister(n); }
float FloatReg(int n) { return static_cast<float>(*FloatRegister(n)); }

// A flag parameter: the word "true", or bool register 1 for the empty text.
int FlagParameter(const char* parms) {
  if (!parms[0]) return *BoolRegister(1) ? 1 : 0;
  return ZNK_EqualString(parms, "true") ? 1 : 0;
}

// Four values of a material of the selected object ("n,r,g,b,a"; for the empty text int
// register 1 and float registers 1..4). Values the text leaves out keep theirs.
void SetMaterialQuad(const char* parms, float (zntlmtrl::*term)[4]) {
  int n = 0;
  float v[4];
  zntlmtrl* mat = nullptr;
  if (!parms[0]) {
    mat = SelectedMaterial(IntReg(1));
    if (!mat) return;
    for (int i = 0; i < 4; i++) v[i] = FloatReg(i + 1);
  } else {
    if (std::sscanf(parms, "%d", &n) != 1) return;
    mat = SelectedMaterial(n);
    if (!mat) return;
    std::memcpy(v, mat->*term, sizeof v);
    std::sscanf(parms, "%d,%f,%f,%f,%f", &n, &v[0], &v[1], &v[2], &v[3]);
  }
  std::memcpy(mat->*term, v, sizeof v);
}

// Reads up to k floats ("%f,%f,..."), or float registers 1..k for the empty text. Values the
// text leaves out keep what `values` holds.
void ReadFloats(const char* parms, float* values, int k) {
  if (!parms[0]) {
    for (int i = 0; i < k; i++) values[i] = FloatReg(i + 1);
    return;
  }
  float v[5] = {};
  for (int i = 0; i < k && i < 5; i++) v[i] = values[i];
  std::sscanf(parms, "%f,%f,%f,%f,%f", &v[0], &v[1], &v[2], &v[3], &v[4]);
  for (int i = 0; i < k && i < 5; i++) values[i] = v[i];
}

// ambient, diffuse, specular: a material of the selected object, or the selected light.
void SetLightingTerm(const char* parms, GLenum lightTerm, float (zntlmtrl::*term)[4]) {
  if (selectionType == 1) {
    float rgba[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    ReadFloats(parms, rgba, 4);
    glLightfv(GL_LIGHT0 + selectedLight, lightTerm, rgba);
  } else if (selectionType == 0 && ObjectSelected()) {
    SetMaterialQuad(parms, term);
  }
}

// The quoted text of `parms` into `out`, or the bare text when there are no quotes.
void QuotedOrBare(const char* parms, char* out, size_t size) {
  out[0] = '\0';
  if (parms[0] == '"') {
    char fmt[32];
    std::snprintf(fmt, sizeof fmt, "\"%%%zu[^\"]\"", size - 1);
    if (std::sscanf(parms, fmt, out) != 1) out[0] = '\0';
  } else {
    ZNK_CopyString(out, parms, size);
  }
}
}  // namespace

// ---- Materials of the selected object ----

char* znkinstr_col(char* parms, char* buffer) {
  if (!ObjectSelected()) return nullptr;
  int n = 0;
  float rgb[3] = {0.0f, 0.0f, 0.0f};
  if (!parms[0]) {
    n = IntReg(1);
    for (int i = 0; i < 3; i++) rgb[i] = FloatReg(i + 1);
  } else {
    std::sscanf(parms, "%d,", &n);
  }
  if (n < 1) n = 1;
  zntlmtrl* mat = SelectedMaterial(n);
  if (!mat) return nullptr;
  if (parms[0]) {
    rgb[0] = mat->red;
    rgb[1] = mat->green;
    rgb[2] = mat->blue;
    int ignored = 0;
    std::sscanf(parms, "%d,%f,%f,%f", &ignored, &rgb[0], &rgb[1], &rgb[2]);
  }
  mat->red = rgb[0];
  mat->green = rgb[1];
  mat->blue = rgb[2];
  mat->mapType = 0;
  return nullptr;
}

char* znkinstr_alpha(char* parms, char* buffer) {
  if (!ObjectSelected()) return nullptr;
  int n = 0;
  float a = 1.0f;
  if (!parms[0]) {
    n = IntReg(1);
    if (n == 0) n = 1;
    a = FloatReg(1);
  } else {
    std::sscanf(parms, "%d,", &n);
    if (n < 1 || n > 8) n = 1;
    zntlmtrl* mat = SelectedMaterial(n);
    if (!mat) return nullptr;
    a = mat->alpha;
    int ignored = 0;
    std::sscanf(parms, "%d,%f", &ignored, &a);
  }
  zntlmtrl* mat = SelectedMaterial(n);
  if (!mat) return nullptr;
  mat->alpha = a;
  mat->transparencyMode = 1;
  return nullptr;
}

char* znkinstr_wire(char* parms, char* buffer) {
  if (!ObjectSelected()) {
    gWireMesh = ZNK_EqualString(parms, "true") ? 1 : 0;
    return nullptr;
  }
  zntlmtrl* probe = nullptr;
  float w = 0.0f;
  int n = 0;
  if (!parms[0]) {
    n = IntReg(1);
    w = FloatReg(1);
  } else {
    if (std::sscanf(parms, "%d", &n) != 1) return nullptr;
    probe = SelectedMaterial(n);
    if (!probe) return nullptr;
    w = probe->wireSize;
    std::sscanf(parms, "%d,%f", &n, &w);
  }
  zntlmtrl* mat = SelectedMaterial(n);
  if (mat) mat->wireSize = w;
  return nullptr;
}

char* znkinstr_smooth(char* parms, char* buffer) {
  if (!ObjectSelected()) return nullptr;
  int n = 0;
  int flag = 0;
  if (!parms[0]) {
    n = IntReg(1);
    flag = *BoolRegister(1) ? 1 : 0;
  } else {
    char word[16] = "";
    std::sscanf(parms, "%d,%15s", &n, word);
    flag = ZNK_EqualString(word, "true") ? 1 : 0;
  }
  zntlmtrl* mat = SelectedMaterial(n);
  if (mat) mat->shadeModel = static_cast<unsigned char>(flag);
  return nullptr;
}

char* znkinstr_shininess(char* parms, char* buffer) {
  if (!ObjectSelected()) return nullptr;
  int n = 0;
  float s = 0.0f;
  if (!parms[0]) {
    n = IntReg(1);
    s = FloatReg(1);
  } else {
    // A value the text leaves out is 0.
    std::sscanf(parms, "%d,%f", &n, &s);
  }
  zntlmtrl* mat = SelectedMaterial(n);
  if (mat) mat->matShininess = s;
  return nullptr;
}

char* znkinstr_emission(char* parms, char* buffer) {
  if (ObjectSelected()) SetMaterialQuad(parms, &zntlmtrl::matEmission);
  return nullptr;
}

char* znkinstr_ambient(char* parms, char* buffer) {
  SetLightingTerm(parms, GL_AMBIENT, &zntlmtrl::matAmbient);
  return nullptr;
}

char* znkinstr_diffuse(char* parms, char* buffer) {
  SetLightingTerm(parms, GL_DIFFUSE, &zntlmtrl::matDiffuse);
  return nullptr;
}

char* znkinstr_specular(char* parms, char* buffer) {
  SetLightingTerm(parms, GL_SPECULAR, &zntlmtrl::matSpecular);
  return nullptr;
}

char* znkinstr_tex(char* parms, char* buffer) {
  if (!ObjectSelected()) return nullptr;
  int n = 0;
  char file[1024] = "";
  if (!parms[0]) {
    n = IntReg(1);
    ZNK_CopyString(file, StringRegister(1), sizeof file);
  } else if (std::sscanf(parms, "%d,\"%1023[^\"]\"", &n, file) < 2) {
    return nullptr;
  }
  zntlmtrl* mat = SelectedMaterial(n);
  if (!mat) return nullptr;
  FixPathString(file);
  mat->materialTexture = GetTextureByName(file);
  mat->mapType = 4;
  return nullptr;
}

char* znkinstr_anim(char* parms, char* buffer) {
  if (!ObjectSelected()) return nullptr;
  int m = 0, a = 0, restart = 0;
  if (std::sscanf(parms, "%d,%d,%d", &m, &a, &restart) < 2) return nullptr;
  zntlmtrl* mat = SelectedMaterial(m);
  if (!mat || a < 1 || a > kNumTextureAnimations) return nullptr;
  const animatedTexture& anim = gTextureAnimations[a - 1];
  if (!anim.isAnim || anim.numFrames < 1) return nullptr;
  if (mat->animationStart == 0 || restart != 0) mat->animationStart = static_cast<int32_t>(gCurrentTime);
  // A rate of 0 or less would divide by zero: such an animation stays on its first frame.
  uint32_t elapsed = gCurrentTime - static_cast<uint32_t>(mat->animationStart);
  int frames = anim.numFrames < kMaxAnimationFrames ? anim.numFrames : kMaxAnimationFrames;
  uint32_t frame = anim.sampleRate > 0 ? (elapsed / static_cast<uint32_t>(anim.sampleRate)) % frames : 0;
  mat->materialTexture = anim.textures[frame];
  mat->mapType = 4;
  return nullptr;
}

// ---- Object flags ----

char* znkinstr_hud(char* parms, char* buffer) {
  if (selHuman) selHuman->HUD = FlagParameter(parms);
  return nullptr;
}

char* znkinstr_lux(char* parms, char* buffer) {
  if (selHuman) selHuman->lux = FlagParameter(parms);
  return nullptr;
}

// ---- Textures ----

char* znkinstr_loadtex(char* parms, char* buffer) {
  char name[1024];
  QuotedOrBare(parms, name, sizeof name);
  FixPathString(name);
  // An empty name names no file: it fails like any missing one.
  LoadTextureAsLoadtex(name, buffer);
  return nullptr;
}

char* znkinstr_loadanim(char* parms, char* buffer) {
  int slot = 0;
  char folder[1024] = "";
  char unusedName[256] = "";
  if (std::sscanf(parms, "%d,\"%1023[^\"]\",\"%255[^\"]\"", &slot, folder, unusedName) < 2) return nullptr;
  if (slot < 1 || slot > kNumTextureAnimations) return nullptr;
  char path[2048];
  std::snprintf(path, sizeof path, "%s%s", routePath, folder);
  FixPathString(path);
  // The loader adds the separator before each frame's name itself.
  size_t len = std::strlen(path);
  while (len > 1 && path[len - 1] == kDirectoryDevider) path[--len] = '\0';
  LoadAnimationFromFolder(path, &gTextureAnimations[slot - 1]);
  return nullptr;
}

// ---- Scene colours ----

char* znkinstr_rgb(char* parms, char* buffer) {
  float c[3] = {baseCol1, baseCol2, baseCol3};
  ReadFloats(parms, c, 3);
  baseCol1 = c[0];
  baseCol2 = c[1];
  baseCol3 = c[2];
  return nullptr;
}

char* znkinstr_backcol(char* parms, char* buffer) {
  float c[3] = {backCol.x, backCol.y, backCol.z};
  ReadFloats(parms, c, 3);
  backCol = {c[0], c[1], c[2]};
  return nullptr;
}

char* znkinstr_fogcol(char* parms, char* buffer) {
  ReadFloats(parms, fogColor, 3);
  return nullptr;
}

// ---- Lights ----

char* znkinstr_light(char* parms, char* buffer) {
  if (ZNK_EqualString(parms, "none")) {
    selectionType = 0;
    return nullptr;
  }
  int n = 0;
  if (!parms[0])
    n = IntReg(1);
  else if (std::sscanf(parms, "%d", &n) != 1)
    return nullptr;
  selectedLight = LightIndexOfNumber(n);
  selectionType = 1;
  if (gScriptCommandSelChange) {
    SelectGroupEntities(&gAllEntities, 0);
    MarkGroupEntity(&gAllEntities, selectedLight);
  }
  return nullptr;
}

char* znkinstr_lighton(char* parms, char* buffer) {
  if (FlagParameter(parms))
    glEnable(GL_LIGHT0 + selectedLight);
  else
    glDisable(GL_LIGHT0 + selectedLight);
  return nullptr;
}

char* znkinstr_attenuation(char* parms, char* buffer) {
  int k = 0;
  float v = 1.0f;
  if (!parms[0]) {
    k = IntReg(1);
    v = FloatReg(1);
  } else {
    if (std::sscanf(parms, "%d", &k) != 1) return nullptr;
    if (std::sscanf(parms, "%d,%f", &k, &v) < 2) v = 1.0f;
  }
  int term = k % 3;
  if (term < 0) term += 3;
  glLightf(GL_LIGHT0 + selectedLight, GL_CONSTANT_ATTENUATION + term, v);
  return nullptr;
}

char* znkinstr_spotlight(char* parms, char* buffer) {
  // Values the text leaves out are 0 (so four values give the exponent 0).
  float v[5] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  if (!parms[0]) {
    for (int i = 0; i < 5; i++) v[i] = FloatReg(i + 1);
  } else {
    std::sscanf(parms, "%f,%f,%f,%f,%f", &v[0], &v[1], &v[2], &v[3], &v[4]);
  }
  float* dir = LightSpotDirections[selectedLight];
  dir[0] = v[0];
  dir[1] = v[1];
  dir[2] = v[2];
  const GLenum light = GL_LIGHT0 + selectedLight;
  glLightfv(light, GL_SPOT_DIRECTION, dir);
  glLightf(light, GL_SPOT_CUTOFF, v[3]);
  glLightf(light, GL_SPOT_EXPONENT, v[4]);
  return nullptr;
}

// ---- Camera ----

char* znkinstr_fov(char* parms, char* buffer) {
  int n = 1;
  if (parms[0]) std::sscanf(parms, "%d", &n);
  if (n < 1) n = 1;
  double* reg = FloatRegister(n);
  if (!reg) return nullptr;
  float fov = static_cast<float>(*reg);
  // A field of view of 0 or less, or of 180 or more, makes no projection: keep the old one.
  if (!(fov > 0.0f && fov < 180.0f)) return nullptr;
  gFOV = fov;
  SetPerspectiveView(gFOV);
  return nullptr;
}

char* znkinstr_ortho(char* parms, char* buffer) {
  float previous[4];
  std::memcpy(previous, gIsoSizes, sizeof previous);
  if (parms[0]) std::sscanf(parms, "%f,%f,%f,%f", &gIsoSizes[0], &gIsoSizes[1], &gIsoSizes[2], &gIsoSizes[3]);
  // A box without width or height makes no projection: keep the old box and view.
  if (!SetOrthographicView()) std::memcpy(gIsoSizes, previous, sizeof previous);
  return nullptr;
}

char* znkinstr_fullscreen(char* parms, char* buffer) { return nullptr; }
