// Particle systems: creation with the random set-up of each particle, the per-step update
// (gravity, orbit, motion, growth, animation, fading, ground, emission) and freeing.
#include "effects/particles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "render/textures.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "world/line_queries.h"
#include "world/object_collision.h"

particle_system baseParticleSystem;
particle_system* particleSystemPtr = nullptr;
particle* particlePtr = nullptr;
int gParticlesAnimated = 0;
int gParticlesOnPlane = 0;
vector_type gParticlesRotation = {0.0f, 0.0f, 0.0f};

namespace {
// No single command or step makes more particles than this: a tiny interval or a huge count
// in a script would otherwise allocate without bound.
constexpr long kMaxParticlesPerBatch = 100000;

// The height of the level surface straight below `pos` (from half a unit above it to 1000
// below); false when the segment meets no level geometry first.
bool GroundHeightBelow(vector_type pos, float* y) {
  vector_type from = {pos.x, pos.y + 0.5f, pos.z};
  vector_type to = {pos.x, pos.y - 1000.0f, pos.z};
  if (StandardCollision(from, to) != 1) return false;
  *y = s2;
  return true;
}

// Milliseconds from `then` to now, as an unsigned 32-bit difference.
uint32_t Since(long then) { return gCurrentTime - static_cast<uint32_t>(then); }

const animatedTexture* AnimationOf(const particle_system* system) {
  if (system->whichAnim < 0 || system->whichAnim >= kNumTextureAnimations) return nullptr;
  const animatedTexture* a = &gTextureAnimations[system->whichAnim];
  return a->numFrames > 0 ? a : nullptr;
}

void SetUpParticle(particle_system* system, long lifeSpan) {
  particle* p = new particle();
  particle* last = system->lastParticle ? system->lastParticle : &system->baseParticle;
  last->next = p;
  system->lastParticle = p;
  p->parent = system;
  if (system->animating) {
    if (const animatedTexture* a = AnimationOf(system)) p->theTexture = static_cast<int>(a->textures[0]);
  }
  p->spawnTime = p->lastMove = gCurrentTime;
  p->lifeSpan = lifeSpan;
  p->weight = system->defaultWeight;
  p->fading = 0;

  float r = ParticleRandom() / 100.0f;
  p->size = (system->size + r * system->sizeToleration) * 0.5f;
  if (p->size < 0.0f) p->size = 0.0f;
  p->startSize = p->size;

  p->moveVector = system->moveVector;
  system->numParticles += 1;

  if (system->effectType & kParticleSpread) {
    float ax = ParticleRandom() / 100.0f * system->effectParam;
    float ay = ParticleRandom() / 100.0f * system->effectParam;
    float az = ParticleRandom() / 100.0f * system->effectParam;
    p->moveVector = RotateVector(p->moveVector, fastVector_Set(0, 0, 0), ax, ay, az);
  }
  if (system->effectType & kParticleRandomDirection) {
    vector_type d;
    d.x = ParticleRandom() / 100.0f;
    d.y = ParticleRandom() / 100.0f;
    d.z = ParticleRandom() / 100.0f;
    float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length == 0.0f) length = 1.0f;
    p->moveVector = {d.x / length * system->effectParam, d.y / length * system->effectParam,
                     d.z / length * system->effectParam};
  }
  p->pos.x = system->pos.x + system->posToleration * (ParticleRandom() / 100.0f);
  p->pos.y = system->pos.y + system->posToleration * (ParticleRandom() / 100.0f);
  p->pos.z = system->pos.z + system->posToleration * (ParticleRandom() / 100.0f);
}

void FreeParticles(particle_system* system) {
  particle* p = system->baseParticle.next;
  while (p) {
    particle* next = p->next;
    delete p;
    p = next;
  }
  system->baseParticle.next = nullptr;
  system->lastParticle = nullptr;
}

// Ages and moves the particles of one system; removes those whose life has passed.
void UpdateParticles(particle_system* system) {
  const animatedTexture* animation = system->animating ? AnimationOf(system) : nullptr;
  particle* previous = &system->baseParticle;
  particle* p = previous->next;
  while (p) {
    uint32_t age = Since(p->spawnTime);
    float t = age / 1000.0f;
    // The whole fall since birth, taken off again in every step.
    p->pos.y -= t * 4.905f * t * 0.625f * p->weight;

    float d = Since(p->lastMove) / 1000.0f;
    if (system->effectType & kParticleOrbit)
      p->pos = RotateVectorArbitrary(p->pos, system->pos, p->moveVector.x, p->moveVector.y, p->moveVector.z,
                                     d * system->effectParam2 * 90.0f);
    if (system->effectType & (kParticleSpread | kParticleRandomDirection)) {
      p->pos.x += p->moveVector.x * d;
      p->pos.y += p->moveVector.y * d;
      p->pos.z += p->moveVector.z * d;
    }
    p->lastMove = gCurrentTime;

    if ((system->effectType & kParticleGrow) && p->lifeSpan > 0) {
      p->size = (static_cast<float>(age) / static_cast<float>(p->lifeSpan) * system->effectParam2 + 1.0f) * p->startSize;
      if (p->size < 0.0f) p->size = 0.0f;
    }
    if (animation && animation->sampleRate > 0) {
      uint32_t frame = (age / static_cast<uint32_t>(animation->sampleRate)) % static_cast<uint32_t>(animation->numFrames);
      p->theTexture = static_cast<int>(animation->textures[frame]);
    }
    if (!p->fading && system->fadeOutTime != 0 && static_cast<long>(age) >= p->lifeSpan - system->fadeOutTime)
      p->fading = 1;
    if (p->pos.y <= system->ground && !p->fading) p->lifeSpan = static_cast<long>(age) + system->fadeOutTime;

    if (static_cast<long>(age) >= p->lifeSpan) {
      previous->next = p->next;
      delete p;
      p = previous->next;
      continue;
    }
    previous = p;
    p = p->next;
  }
  system->lastParticle = previous == &system->baseParticle ? nullptr : previous;
}

void Emit(particle_system* system) {
  if (system->emissionRate == 0.0f) return;
  // Single precision throughout, so that an interval of 0.1 s gives one particle per 100 ms.
  float n = std::trunc((Since(system->lastTime) / 1000.0f) / system->emissionRate);
  if (!(n > 0.0f)) return;
  if (system->maxParticles >= 0 && system->numParticles >= system->maxParticles) return;
  system->lastTime = TruncateToInt(system->lastTime + n * system->emissionRate * 1000.0f);
  long count = n > kMaxParticlesPerBatch ? kMaxParticlesPerBatch : TruncateToInt(n);
  for (long i = 0; i < count; i++) SetUpParticle(system, system->defaultLifeSpan);
}
}  // namespace

int ParticleRandom() { return std::abs(MyRandom() % 200) - 100; }

void InitParticleAndTextLists() {
  baseParticleSystem = particle_system();
  particleSystemPtr = &baseParticleSystem;
  particlePtr = nullptr;
}

particle_system* CreateParticleSystem(const ParticleSystemSettings& s) {
  if (s.count < 0 && s.interval == 0.0f) return nullptr;
  particle_system* system = new particle_system();
  particle_system* last = &baseParticleSystem;
  while (last->next) last = last->next;
  last->next = system;

  system->lux = s.lux;
  system->spawnTime = system->lastTime = gCurrentTime;
  if (s.interval == 0.0f) {
    system->lifeSpan = TruncateToInt((s.life + 0.5f) * 1000.0f);
  } else {
    // Room for the last emitted particle's whole life: life + 0.5 s + the emission time.
    system->lifeSpan = TruncateToInt((s.life + 0.5f + s.count * s.interval) * 1000.0f);
  }
  system->defaultLifeSpan = TruncateToInt(s.life * 1000.0f);
  system->emissionRate = s.interval;
  system->animating = gParticlesAnimated;
  system->particleRotation = gParticlesRotation;
  system->particlesOnPlane = gParticlesOnPlane;
  if (system->animating)
    system->whichAnim = s.animSlot - 1;
  else
    system->theTexture = s.texture;
  system->size = s.size;
  system->posToleration = s.posToleration;
  system->sizeToleration = s.sizeToleration;
  system->effectType = s.effectType;
  system->effectParam = s.effectParam;
  system->effectParam2 = s.effectParam2;
  system->defaultWeight = s.weight;
  system->numParticles = 0;
  system->maxParticles = s.count;
  system->fadeOutTime = (s.life < s.fade || s.fade < 0.0f) ? 0 : TruncateToInt(s.fade * 1000.0f);
  system->pos = s.pos;
  system->moveVector = s.moveVector;

  system->ground = -1000.0f;
  float groundY;
  if (GroundHeightBelow(system->pos, &groundY)) system->ground = groundY;

  if (s.interval == 0.0f) {
    long lifeSpan = TruncateToInt(std::trunc(s.life) * 1000.0f);
    long count = s.count > kMaxParticlesPerBatch ? kMaxParticlesPerBatch : s.count;
    for (long i = 0; i < count; i++) SetUpParticle(system, lifeSpan);
  }
  return system;
}

void particle_idle() {
  particle_system* previous = &baseParticleSystem;
  particle_system* system = previous->next;
  while (system) {
    UpdateParticles(system);
    Emit(system);
    if (system->maxParticles >= 0 && static_cast<long>(Since(system->spawnTime)) >= system->lifeSpan) {
      previous->next = system->next;
      FreeParticles(system);
      delete system;
      system = previous->next;
      continue;
    }
    previous = system;
    system = system->next;
  }
}

void FreeParticleSystems() {
  particle_system* system = baseParticleSystem.next;
  while (system) {
    particle_system* next = system->next;
    FreeParticles(system);
    delete system;
    system = next;
  }
  baseParticleSystem.next = nullptr;
}

