// Particle systems: bursts and emitters that move, fade, fall and are drawn as billboards.
#pragma once

void InitParticleAndTextLists();
void particle_idle();

// The frame's particle pass: every system's particles as quads on the camera's `right` and
// `up` axes (or in their system's plane), with the GL state the frame has set for them.
void DrawParticleSystems(const float right[3], const float up[3]);
