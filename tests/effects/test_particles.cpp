// Particle systems: life spans, emission, the end of a system, fading, ground, gravity, the
// particles command's fields, and the drawn alpha of fading particles.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <string>

#include "commands/commands.h"
#include "effects/particles.h"
#include "objects/vector_math.h"
#include "platform/platform.h"
#include "render/frame.h"
#include "script/variables.h"
#include "shell/timed_tasks.h"
#include "support/level_builder.h"
#include "support/test_support.h"
#include "world/level_mesh.h"

namespace {
class Particles : public ::testing::Test {
 protected:
  void SetUp() override {
    InitParticleAndTextLists();
    gCurrentTime = 10000;
    gOldTime = 10000;
    RANROT_init(1);
    gParticlesAnimated = 0;
    gParticlesOnPlane = 0;
  }
  void TearDown() override { FreeParticleSystems(); }

  // Steps the game clock in 20 ms passes, running the particles each pass.
  void Advance(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 20) {
      gOldTime = gCurrentTime;
      gCurrentTime += 20;
      particle_idle();
    }
  }
  int CountParticles(const particle_system* s) {
    int n = 0;
    for (particle* p = s->baseParticle.next; p; p = p->next) n++;
    return n;
  }
  int CountSystems() {
    int n = 0;
    for (particle_system* s = baseParticleSystem.next; s; s = s->next) n++;
    return n;
  }
  ParticleSystemSettings Emitter(int count, float life, float interval) {
    ParticleSystemSettings s;
    s.count = count;
    s.life = life;
    s.interval = interval;
    s.size = 1.0f;
    return s;
  }
};
}  // namespace

TEST_F(Particles, BurstParticlesLiveWholeSecondsAndEmittedOnesTheirFullLife) {
  particle_system* burst = CreateParticleSystem(Emitter(5, 1.9f, 0.0f));
  ASSERT_NE(burst, nullptr);
  EXPECT_EQ(CountParticles(burst), 5);
  EXPECT_EQ(burst->baseParticle.next->lifeSpan, 1000);
  EXPECT_EQ(burst->lifeSpan, 2400);

  particle_system* emitter = CreateParticleSystem(Emitter(3, 1.9f, 0.1f));
  Advance(100);
  ASSERT_GE(CountParticles(emitter), 1);
  EXPECT_EQ(emitter->baseParticle.next->lifeSpan, 1900);
}

TEST_F(Particles, EmitterOfTwentyAtATenthEndsAfterHalfASecondPlusEmissionPlusLife) {
  particle_system* s = CreateParticleSystem(Emitter(20, 1.9f, 0.1f));
  EXPECT_EQ(s->lifeSpan, 4400);
  Advance(1000);
  EXPECT_EQ(s->numParticles, 10);  // ten a second
  Advance(1500);
  EXPECT_EQ(s->numParticles, 20);  // and no more than twenty
  Advance(4380 - 2500);
  EXPECT_EQ(CountSystems(), 1);
  Advance(20);
  EXPECT_EQ(CountSystems(), 0);
}

TEST_F(Particles, UnlimitedEmitterRunsOnAndUnlimitedBurstMakesNothing) {
  EXPECT_EQ(CreateParticleSystem(Emitter(-1, 1.0f, 0.0f)), nullptr);
  EXPECT_EQ(CountSystems(), 0);
  particle_system* s = CreateParticleSystem(Emitter(-1, 0.5f, 0.5f));
  Advance(10000);
  EXPECT_EQ(CountSystems(), 1);
  EXPECT_EQ(s->numParticles, 20);  // two a second
  EXPECT_LE(CountParticles(s), 2);  // each lives half a second
}

// New particles go after the last one, also once every particle has died and the list
// emptied: the list keeps birth order and its end is where the next one is linked.
TEST_F(Particles, EmittedParticlesAreLinkedAtTheEndAfterTheListEmpties) {
  particle_system* s = CreateParticleSystem(Emitter(-1, 0.1f, 0.2f));
  for (int round = 0; round < 6; round++) {
    Advance(100);
    int n = CountParticles(s);
    EXPECT_LE(n, 1);
    Advance(100);
  }
  EXPECT_EQ(s->numParticles, 6);
  particle_system* t = CreateParticleSystem(Emitter(-1, 10.0f, 0.04f));
  Advance(400);
  long previousBirth = 0;
  particle* last = nullptr;
  for (particle* p = t->baseParticle.next; p; p = p->next) {
    EXPECT_GE(p->spawnTime, previousBirth);
    previousBirth = p->spawnTime;
    last = p;
  }
  EXPECT_EQ(CountParticles(t), 10);
  EXPECT_EQ(t->lastParticle, last);
}

// Times beyond the int range stop at its end, NaN times count as 0, and an interval so small
// that the count of due particles is infinite makes one capped batch.
TEST_F(Particles, HugeAndNaNTimesSaturate) {
  const float nan = std::nanf("");
  particle_system* forever = CreateParticleSystem(Emitter(5, 1e30f, 0.0f));
  EXPECT_EQ(forever->lifeSpan, 2147483647);
  EXPECT_EQ(forever->baseParticle.next->lifeSpan, 2147483647);
  particle_system* never = CreateParticleSystem(Emitter(5, nan, 0.0f));
  EXPECT_EQ(never->lifeSpan, 0);
  EXPECT_EQ(never->defaultLifeSpan, 0);
  ParticleSystemSettings fading = Emitter(1, 1e30f, 0.0f);
  fading.fade = 1e29f;
  EXPECT_EQ(CreateParticleSystem(fading)->fadeOutTime, 2147483647);

  particle_system* flood = CreateParticleSystem(Emitter(50, 1.0f, 1e-30f));
  particle_system* infinite = CreateParticleSystem(Emitter(50, 1.0f, 1e-45f));  // 20 ms / 1e-45 s overflows
  Advance(20);
  EXPECT_EQ(flood->numParticles, 100000);
  EXPECT_EQ(flood->lastTime, 10020);
  EXPECT_EQ(infinite->numParticles, 100000);
  EXPECT_EQ(infinite->lastTime, 2147483647);
  Advance(20);
  EXPECT_EQ(flood->numParticles, 100000);  // the count is reached: no second batch
  EXPECT_EQ(CountParticles(forever), 5);
}

TEST_F(Particles, FadeLongerThanLifeGivesNoFading) {
  ParticleSystemSettings s = Emitter(1, 1.0f, 0.0f);
  s.fade = 2.0f;
  EXPECT_EQ(CreateParticleSystem(s)->fadeOutTime, 0);
  s.fade = 0.25f;
  particle_system* fading = CreateParticleSystem(s);
  EXPECT_EQ(fading->fadeOutTime, 250);
  Advance(740);
  EXPECT_EQ(fading->baseParticle.next->fading, 0);
  Advance(20);
  EXPECT_EQ(fading->baseParticle.next->fading, 1);
}

TEST_F(Particles, WithoutEffectsOnlyGravityMovesAndWeightZeroStays) {
  ParticleSystemSettings s = Emitter(1, 5.0f, 0.0f);
  s.moveVector = {3.0f, 0.0f, 0.0f};
  s.pos = {1.0f, 2.0f, 3.0f};
  particle_system* still = CreateParticleSystem(s);
  s.weight = 1.0f;
  particle_system* falling = CreateParticleSystem(s);
  Advance(1000);
  const particle* p = still->baseParticle.next;
  EXPECT_FLOAT_EQ(p->pos.x, 1.0f);
  EXPECT_FLOAT_EQ(p->pos.y, 2.0f);
  const particle* q = falling->baseParticle.next;
  EXPECT_FLOAT_EQ(q->pos.x, 1.0f);  // no effect bits: the velocity is not applied
  EXPECT_LT(q->pos.y, 2.0f - 1.0f);  // the whole fall taken off again every step
}

TEST_F(Particles, SpreadingParticlesMoveByTheirVelocity) {
  ParticleSystemSettings s = Emitter(1, 5.0f, 0.0f);
  s.effectType = kParticleSpread;
  s.effectParam = 0.0f;  // no spread angle: the base velocity unchanged
  s.moveVector = {2.0f, 0.0f, 0.0f};
  particle_system* system = CreateParticleSystem(s);
  Advance(500);
  EXPECT_NEAR(system->baseParticle.next->pos.x, 1.0f, 1e-4);
}

TEST_F(Particles, ReachingTheGroundStartsTheFadeThere) {
  ParticleSystemSettings s = Emitter(1, 10.0f, 0.0f);
  s.fade = 0.5f;
  s.weight = 1.0f;
  s.pos = {0.0f, 1.0f, 0.0f};
  particle_system* system = CreateParticleSystem(s);
  system->ground = 0.0f;  // a floor one unit below the emitter
  particle* p = system->baseParticle.next;
  while (p->pos.y > 0.0f) Advance(20);
  long age = gCurrentTime - p->spawnTime;
  EXPECT_EQ(p->lifeSpan, age + 500);
  Advance(500);
  EXPECT_EQ(system->baseParticle.next, nullptr);
}

TEST_F(Particles, CommandReadsItsThirteenFieldsAndTheRegisters) {
  *FloatRegister(1) = 1.0;
  *FloatRegister(2) = 2.0;
  *FloatRegister(3) = 3.0;
  *FloatRegister(4) = 0.0;
  *FloatRegister(5) = 1.0;
  *FloatRegister(6) = 0.0;
  char line[] = "4,1.5,0.5,0,0.2,0.3,0.1,1,6,2.5,0.75,\"Textures/a,b.png\",true";
  znkinstr_particles(line, nullptr);
  particle_system* s = baseParticleSystem.next;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->maxParticles, 4);
  EXPECT_EQ(s->defaultLifeSpan, 1500);
  EXPECT_EQ(s->fadeOutTime, 500);
  EXPECT_FLOAT_EQ(s->posToleration, 0.2f);
  EXPECT_FLOAT_EQ(s->size, 0.3f);
  EXPECT_EQ(s->effectType, 6);
  EXPECT_FLOAT_EQ(s->effectParam2, 0.75f);
  EXPECT_EQ(s->lux, 1);
  EXPECT_FLOAT_EQ(s->pos.z, 3.0f);
  EXPECT_FLOAT_EQ(s->moveVector.y, 1.0f);
  EXPECT_EQ(CountParticles(s), 4);
  char clear[] = "clear";
  znkinstr_particles(clear, nullptr);
  EXPECT_EQ(CountSystems(), 0);
}

TEST_F(Particles, PartinfoSetsTheFlagsForLaterSystems) {
  char text[] = "true,false,10,20,30";
  znkinstr_partinfo(text, nullptr);
  EXPECT_EQ(gParticlesAnimated, 1);
  EXPECT_EQ(gParticlesOnPlane, 0);
  EXPECT_FLOAT_EQ(gParticlesRotation.y, 20.0f);
  *BoolRegister(1) = 0;
  *BoolRegister(2) = 1;
  char empty[] = "";
  znkinstr_partinfo(empty, nullptr);
  EXPECT_EQ(gParticlesAnimated, 0);
  EXPECT_EQ(gParticlesOnPlane, 1);
}

TEST(ParticleRandom, StaysInItsRange) {
  RANROT_init(12345);
  for (int i = 0; i < 10000; i++) {
    int r = ParticleRandom();
    ASSERT_GE(r, -100);
    ASSERT_LE(r, 99);
  }
}

TEST(ParticleDrawing, FadingParticleIsDrawnWithTheComputedAlpha) {
  zt::HeadlessGL gl(64, 64);
  ASSERT_TRUE(gl.ok());
  InitParticleAndTextLists();
  gCurrentTime = 5000;
  ParticleSystemSettings s;
  s.count = 1;
  s.life = 2.0f;
  s.fade = 1.0f;
  s.size = 4.0f;  // the set-up halves it: a square of side 2
  s.lux = 1;
  s.pos = {0.0f, 0.0f, -2.0f};
  particle_system* system = CreateParticleSystem(s);
  particle* p = system->baseParticle.next;
  ASSERT_NE(p, nullptr);
  p->fading = 1;
  p->lifeSpan = 2000;
  p->spawnTime = 5000 - 1500;  // half a second left of a one-second fade: alpha 0.5

  glViewport(0, 0, 64, 64);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.01, 0.01, -0.01, 0.01, 0.01, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawParticleSystems(fastVector_Set(1, 0, 0), fastVector_Set(0, 1, 0));
  unsigned char pixel[4];
  glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_NEAR(pixel[0], 128, 3);
  p->spawnTime = 5000 - 1000;  // a whole second left: alpha 1, fully opaque
  glClear(GL_COLOR_BUFFER_BIT);
  DrawParticleSystems(fastVector_Set(1, 0, 0), fastVector_Set(0, 1, 0));
  glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_GE(pixel[0], 250);
  glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 0);  // outside the square
  FreeParticleSystems();
}

TEST(ParticleGround, SystemAboveAFloorFadesAtTheFloorsHeight) {
  wt::ResetLevel();
  wt::AddFloor(-10, -10, 10, 10, -2.0f);
  GenerateLevelFromMesh();
  InitParticleAndTextLists();
  ParticleSystemSettings s;
  s.count = 1;
  s.life = 1.0f;
  s.pos = {0.0f, 3.0f, 0.0f};
  particle_system* above = CreateParticleSystem(s);
  EXPECT_NEAR(above->ground, -2.0f, 1e-4);
  s.pos = {50.0f, 3.0f, 0.0f};  // nothing below
  particle_system* beside = CreateParticleSystem(s);
  EXPECT_FLOAT_EQ(beside->ground, -1000.0f);
  FreeParticleSystems();
  wt::ResetLevel();
}
