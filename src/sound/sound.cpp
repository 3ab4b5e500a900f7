// Sound layer entry points; the backends arrive with the sound work.
#include "sound/sound.h"

int gFMODIsOn = 0;

namespace {
SoundOptions gSoundOptions;
}

void SND_Configure(const SoundOptions& options) { gSoundOptions = options; }

bool FSOUND_Init(int mixrate, int maxchannels, unsigned int flags) { return true; }

void FSOUND_Close() {}

void FSOUND_3D_Listener_SetAttributes(const float* pos, const float* vel, float fx, float fy, float fz, float tx,
                                      float ty, float tz) {}
