// The sound layer: the calls the engine makes of its sound library, over a chosen backend.
#pragma once
#include <string>

#include "objects/vector_math.h"

extern int gFMODIsOn;  // sound commands do nothing while this is 0

// Chosen before FSOUND_Init: the null device for headless runs, and an optional WAV file
// that receives everything played, mixed for the listener.
struct SoundOptions {
  bool nullDevice = false;
  std::string captureFile;
};
void SND_Configure(const SoundOptions& options);

struct FSOUND_SAMPLE;

bool FSOUND_Init(int mixrate, int maxchannels, unsigned int flags);
void FSOUND_Close();
void FSOUND_3D_Listener_SetAttributes(const float* pos, const float* vel, float fx, float fy, float fz, float tx,
                                      float ty, float tz);
