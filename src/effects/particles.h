// Particle systems: bursts and emitters of textured squares that move, grow, orbit, fall,
// fade and are drawn facing the camera or in a turned plane.
#pragma once
#include "objects/vector_math.h"

struct particle_system;

struct particle {
  vector_type pos;
  vector_type moveVector;  // units per second
  long lifeSpan;           // ms from spawnTime
  float startSize;
  float size;
  int effectedByLight;
  int fading;  // 1 once the fade-out began
  long spawnTime;
  long lastMove;
  particle_system* parent;
  float weight;  // gravity factor
  int theTexture;  // current animation frame (animated systems)
  particle* next;
};

// Effect bits.
constexpr int kParticleSpread = 1;
constexpr int kParticleRandomDirection = 2;
constexpr int kParticleGrow = 4;
constexpr int kParticleOrbit = 8;

struct particle_system {
  vector_type pos;
  vector_type moveVector;  // base velocity of new particles
  vector_type particleRotation;
  particle baseParticle;  // list head; its next is the first particle
  particle* lastParticle;  // the last particle, null while there is none: new ones go after it
  int theTexture;
  long spawnTime;
  long lifeSpan;         // of the system, ms
  long defaultLifeSpan;  // of each emitted particle, ms
  long fadeOutTime;      // ms; 0 = no fading
  float emissionRate;    // seconds between particles; 0 = burst
  long lastTime;         // emission accounted up to here, ms
  float posToleration;
  float sizeToleration;
  float size;
  int numParticles;  // emitted so far
  int maxParticles;  // negative = unlimited
  float ground;      // fading starts below this height; -1000 without a surface below
  int effectType;
  float effectParam;
  float effectParam2;
  float defaultWeight;
  int lux;
  int animating;
  int whichAnim;  // 0-based texture animation slot
  int particlesOnPlane;
  particle_system* next;
};

extern particle_system baseParticleSystem;
extern particle_system* particleSystemPtr;
extern particle* particlePtr;

// Flags and rotation copied into systems created afterwards (the partinfo command).
extern int gParticlesAnimated;
extern int gParticlesOnPlane;
extern vector_type gParticlesRotation;

// Everything a new system takes from the particles command's fields.
struct ParticleSystemSettings {
  int count = 0;
  float life = 0, fade = 0, interval = 0, posToleration = 0, size = 0, sizeToleration = 0, weight = 0;
  int effectType = 0;
  float effectParam = 0, effectParam2 = 0;
  int texture = 0;    // GL texture (systems that are not animated)
  int animSlot = 0;   // 1-based texture animation slot (animated systems)
  int lux = 0;
  vector_type pos = {0, 0, 0};
  vector_type moveVector = {0, 0, 0};
};

void InitParticleAndTextLists();

// Creates a system (and a burst's particles); null when the settings create nothing.
particle_system* CreateParticleSystem(const ParticleSystemSettings& settings);

// One logic step of every system: age, move, grow, animate, fade, emit, end.
void particle_idle();

// Frees every particle of every system and every system.
void FreeParticleSystems();

// The particle pass of the frame (drawn by the renderer): every system's particles as
// textured squares along the given right and up axes or in the system's own plane.
void DrawParticleSystems(vector_type cameraRight, vector_type cameraUp);

// The random offset of particle set-up: an integer in -100..99.
int ParticleRandom();
