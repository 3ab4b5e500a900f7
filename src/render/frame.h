// The drawing task: one frame of camera, lights, level, objects, particles and overlay.
#pragma once

int DrawGLScene();
void InitRenderQuadrics();
