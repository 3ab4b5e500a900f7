// The drawing task: one frame of camera, lights, level, objects, particles, transparent
// level, head-up-display objects and text overlay, then the buffer swap.
#pragma once
#include "objects/vector_math.h"

extern vector_type backCol;   // clear colour; the clear alpha is always 0
extern float fogColor[4];
extern float gAlpha;          // global alpha of object and particle colours
extern int gWireMesh;         // the level mesh is drawn as a wire frame

// ZNK_Init: the quadrics for bones and for the eight lights.
struct GLUquadric;
extern GLUquadric* boneBall;
extern GLUquadric* gLightQuadrics[8];
void InitRenderQuadrics();

// Draws one frame and presents it; nothing at all while a level switch is pending. Returns 1.
int DrawGLScene();
// The two halves of DrawGLScene, for a caller that reads the frame back before it is
// presented (after the swap a window's back buffer is undefined): the drawing, false when
// a level switch skips the frame, and the swap with the frame count.
bool DrawFrameUnpresented();
void PresentFrame();
