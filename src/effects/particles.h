// Particle systems: bursts and emitters that move, fade, fall and are drawn as billboards.
#pragma once

void InitParticleAndTextLists();
void particle_idle();
