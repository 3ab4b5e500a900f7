// The drawing task: one frame of camera, lights, level, objects, particles and overlay.
#pragma once

extern float gAlpha;  // global alpha of object and particle colours

int DrawGLScene();
void InitRenderQuadrics();
