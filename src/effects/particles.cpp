// Particle systems (their simulation and drawing arrive with the particle work).
#include "effects/particles.h"

void InitParticleAndTextLists() {}
void particle_idle() {}
// Particle systems do not exist yet, so the particle pass has nothing to draw.
void DrawParticleSystems(const float right[3], const float up[3]) {}
