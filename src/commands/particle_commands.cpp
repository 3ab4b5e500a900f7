// Particle commands: creating particle systems (or clearing them all) and the flags and
// plane rotation that systems created afterwards take.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands/commands.h"
#include "effects/particles.h"
#include "render/textures.h"
#include "script/variables.h"

namespace {
constexpr int kFieldLength = 1024;

// Reads the next comma-ended field of `*cursor` into `field` (bounded) and moves past the
// comma; false when nothing is left. A field in double quotes may hold commas.
bool NextField(const char** cursor, char* field) {
  const char* p = *cursor;
  if (!*p) return false;
  int n = 0;
  if (*p == '"') {
    const char* close = std::strchr(p + 1, '"');
    if (close) {
      for (const char* q = p; q <= close; q++)
        if (n < kFieldLength - 1) field[n++] = *q;
      p = close + 1;
      while (*p && *p != ',') p++;
    }
  }
  while (*p && *p != ',') {
    if (n < kFieldLength - 1) field[n++] = *p;
    p++;
  }
  field[n] = '\0';
  *cursor = *p == ',' ? p + 1 : p;
  return true;
}

float RegisterFloat(int n) { return static_cast<float>(*FloatRegister(n)); }
}  // namespace

char* znkinstr_particles(char* parms, char* buffer) {
  if (!std::strcmp(parms, "clear")) {
    FreeParticleSystems();
    return nullptr;
  }
  char fields[13][kFieldLength] = {};
  const char* cursor = parms;
  int got = 0;
  while (got < 13 && NextField(&cursor, fields[got])) got++;
  if (got < 13) return nullptr;

  ParticleSystemSettings s;
  s.count = std::atoi(fields[0]);
  s.life = static_cast<float>(std::atof(fields[1]));
  s.fade = static_cast<float>(std::atof(fields[2]));
  s.interval = static_cast<float>(std::atof(fields[3]));
  s.posToleration = static_cast<float>(std::atof(fields[4]));
  s.size = static_cast<float>(std::atof(fields[5]));
  s.sizeToleration = static_cast<float>(std::atof(fields[6]));
  s.weight = static_cast<float>(std::atof(fields[7]));
  s.effectType = std::atoi(fields[8]);
  s.effectParam = static_cast<float>(std::atof(fields[9]));
  s.effectParam2 = static_cast<float>(std::atof(fields[10]));
  if (gParticlesAnimated) {
    s.animSlot = std::atoi(fields[11]);
  } else {
    char name[kFieldLength] = "";
    std::sscanf(fields[11], "\"%1023[^\"]\"", name);
    s.texture = static_cast<int>(GetTextureByName(name));
  }
  char lux[6] = "";
  std::sscanf(fields[12], "%5s", lux);
  s.lux = !std::strcmp(lux, "true");
  s.pos = {RegisterFloat(1), RegisterFloat(2), RegisterFloat(3)};
  s.moveVector = {RegisterFloat(4), RegisterFloat(5), RegisterFloat(6)};
  CreateParticleSystem(s);
  return nullptr;
}

char* znkinstr_partinfo(char* parms, char* buffer) {
  if (!parms[0]) {
    gParticlesAnimated = *BoolRegister(1) != 0;
    gParticlesOnPlane = *BoolRegister(2) != 0;
    gParticlesRotation = {RegisterFloat(1), RegisterFloat(2), RegisterFloat(3)};
    return nullptr;
  }
  char animated[6] = "", onPlane[6] = "";
  float x = 0, y = 0, z = 0;
  if (std::sscanf(parms, "%5[^,],%5[^,],%f,%f,%f", animated, onPlane, &x, &y, &z) < 2) return nullptr;
  gParticlesAnimated = !std::strcmp(animated, "true");
  gParticlesOnPlane = !std::strcmp(onPlane, "true");
  gParticlesRotation = {x, y, z};
  return nullptr;
}
