// The OpenAL backend: one source per channel, one buffer per sample. Positions arrive in the
// engine's left-handed frame and are passed on with z negated, since OpenAL is right-handed.
#pragma once
#include "sound/sound_state.h"

// Opens the default device with `channels` sources; false when there is no device.
bool SndAL_Open(int channels);
void SndAL_Close();
bool SndAL_IsOpen();

void SndAL_UploadSample(FSOUND_SAMPLE* sample);
void SndAL_FreeSample(FSOUND_SAMPLE* sample);  // its channels must be stopped first

// Sets up source `index` for the channel's sample, position, volume and loop; plays it unless
// the channel is paused.
void SndAL_Start(int index, const SoundChannel& channel);
void SndAL_Stop(int index);
void SndAL_SetPaused(int index, bool paused);
void SndAL_SetVolume(int index, int volume);
void SndAL_SetPosition(int index, const SoundChannel& channel);
void SndAL_SetOffset(int index, unsigned int frame);
unsigned int SndAL_GetOffset(int index);
bool SndAL_IsSounding(int index);  // playing or paused on the device

// Re-applies a sample's loop points; the sources using it (listed by index) are detached and
// put back at their position around the change, as a buffer in use cannot change.
void SndAL_SetLoopPoints(FSOUND_SAMPLE* sample, const int* users, int userCount);

void SndAL_SetListener(const SoundListener& listener);
