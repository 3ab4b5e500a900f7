// Particle systems (their simulation and drawing arrive with the particle work).
#include "effects/particles.h"

void InitParticleAndTextLists() {}
void particle_idle() {}
