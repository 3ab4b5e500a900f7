// Particle benchmark: a burst of 100,000 particles made by one command, an emitter that adds
// 100,000 particles a step to one system for ten steps (a million in one list), and the
// steps that age and move them; measured against linking the same number of bare particle
// records one after another, the least any particle list can cost. Prints times and ratios.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench_support.h"
#include "effects/particles.h"
#include "objects/vector_math.h"
#include "shell/timed_tasks.h"

namespace {

const auto Now = bench::WallSeconds;

// The peer: `count` records allocated and linked at the end of a list through a tail pointer.
double LinkBareRecords(long count) {
  double t0 = Now();
  particle head{};
  particle* tail = &head;
  for (long i = 0; i < count; i++) {
    particle* p = new particle();
    p->spawnTime = i;
    tail->next = p;
    tail = p;
  }
  double t = Now() - t0;
  for (particle* p = head.next; p;) {
    particle* next = p->next;
    delete p;
    p = next;
  }
  return t;
}

ParticleSystemSettings Settings(int count, float interval) {
  ParticleSystemSettings s;
  s.count = count;
  s.life = 100.0f;
  s.interval = interval;
  s.posToleration = 1.0f;
  s.size = 0.05f;
  s.effectType = kParticleSpread;
  s.effectParam = 30.0f;
  s.moveVector = {0.0f, 1.0f, 0.0f};
  return s;
}

void Report(const char* what, double engine, double peer) {
  std::printf("%-48s %9.2f ms   bare links %8.2f ms   ratio %6.2f\n", what, engine * 1000.0, peer * 1000.0,
              engine / peer);
}

}  // namespace

int main() {
  RANROT_init(1);
  InitParticleAndTextLists();
  gCurrentTime = 1000;

  double t0 = Now();
  CreateParticleSystem(Settings(100000, 0.0f));
  Report("one command: a burst of 100,000", Now() - t0, LinkBareRecords(100000));

  // 20 ms steps; an interval of 0.2 microseconds is due 100,000 times a step.
  CreateParticleSystem(Settings(1000000, 0.0000002f));
  double emitting = 0.0;
  for (int step = 0; step < 10; step++) {
    gOldTime = gCurrentTime;
    gCurrentTime += 20;
    double s0 = Now();
    particle_idle();
    emitting += Now() - s0;
  }
  Report("ten steps emitting 100,000 each into one system", emitting, LinkBareRecords(1000000));

  gOldTime = gCurrentTime;
  gCurrentTime += 20;
  t0 = Now();
  particle_idle();
  std::printf("%-48s %9.2f ms for 1,100,000 particles\n", "one step moving every particle", (Now() - t0) * 1000.0);
  FreeParticleSystems();
  return 0;
}
