// The sound layer: the calls the engine makes of its sound library (samples, 32 channels,
// 3D positions relative to a listener), over OpenAL, a null device, or a capture file that
// receives everything played mixed for the listener.
#pragma once
#include <string>

#include "objects/vector_math.h"

extern int gFMODIsOn;  // sound commands do nothing while this is 0

// Chosen before FSOUND_Init: the null device for headless runs, and an optional WAV file
// that receives everything played, mixed for the listener, paced by the game clock.
struct SoundOptions {
  bool nullDevice = false;
  std::string captureFile;
};
void SND_Configure(const SoundOptions& options);

// Sample and loop modes, as the engine passes them: loading uses 0x1130 (positioned 16-bit
// mono signed), playing once 0x130 and looping 2.
constexpr unsigned int FSOUND_LOOP_OFF = 0x0001;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x0002;
constexpr unsigned int FSOUND_LOOP_BIDI = 0x0004;
constexpr unsigned int FSOUND_8BITS = 0x0008;
constexpr unsigned int FSOUND_16BITS = 0x0010;
constexpr unsigned int FSOUND_MONO = 0x0020;
constexpr unsigned int FSOUND_STEREO = 0x0040;
constexpr unsigned int FSOUND_SIGNED = 0x0100;
constexpr unsigned int FSOUND_HW3D = 0x1000;

constexpr int FSOUND_FREE = -1;  // PlaySoundEx: pick a free channel
constexpr int kSoundMixRate = 44100;
constexpr int kSoundMaxChannels = 32;

struct FSOUND_SAMPLE;  // a decoded sample; owned by the layer until FSOUND_Sample_Free

// Starts the layer with the configured backend. False when the sound device could not be
// opened (the layer then still accepts every call and plays nothing on the device).
bool FSOUND_Init(int mixrate, int maxchannels, unsigned int flags);
// Stops every channel, frees every sample, closes the device and finishes the capture file.
void FSOUND_Close();

// Decodes a sound file (WAV, AIFF, FLAC, Ogg Vorbis, MP3 where supported). With FSOUND_MONO in
// `mode` a multi-channel file is mixed down to one channel. `index` is accepted and unused;
// `offset` and `length` (bytes, 0 = the whole file) are accepted and unused. Null on failure:
// silently for a file that does not open, with a "//" console line for one that does not decode.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length);
void FSOUND_Sample_Free(FSOUND_SAMPLE* sptr);  // stops the channels that play it first
bool FSOUND_Sample_SetMinMaxDistance(FSOUND_SAMPLE* sptr, float mindistance, float maxdistance);
// Only the loop bits take effect (no loop bit means once); the sample stays positioned.
bool FSOUND_Sample_SetMode(FSOUND_SAMPLE* sptr, unsigned int mode);
// Loop start and end in samples, both inclusive; clamped to the sample's length.
bool FSOUND_Sample_SetLoopPoints(FSOUND_SAMPLE* sptr, int loopstart, int loopend);

// Plays a sample on `channel` (FSOUND_FREE: a free channel, else the one that started
// longest ago). Returns the channel used, or -1 for a null sample or a channel out of range.
int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sptr, void* dsp, signed char startpaused);
bool FSOUND_StopSound(int channel);
bool FSOUND_SetPaused(int channel, signed char paused);
bool FSOUND_SetVolume(int channel, int vol);  // 0..255
bool FSOUND_SetCurrentPosition(int channel, unsigned int offset);  // in samples
// Position in world units, in the engine's left-handed frame; velocity is accepted and unused.
bool FSOUND_3D_SetAttributes(int channel, const float* pos, const float* vel);

// Places the listener and, for the null and capture backends, advances the mix to the game
// clock (gCurrentTime), so a capture is the same under a fixed step whatever the wall time.
void FSOUND_3D_Listener_SetAttributes(const float* pos, const float* vel, float fx, float fy, float fz, float tx,
                                      float ty, float tz);

// Queries of a channel and a sample.
bool FSOUND_IsPlaying(int channel);
bool FSOUND_GetPaused(int channel);
int FSOUND_GetVolume(int channel);
unsigned int FSOUND_GetCurrentPosition(int channel);
FSOUND_SAMPLE* FSOUND_GetCurrentSample(int channel);
unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sptr);  // in samples
unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sptr);
bool FSOUND_Sample_GetLoopPoints(FSOUND_SAMPLE* sptr, int* loopstart, int* loopend);

// The system beep: a short alert tone at the listener; silent where sound is off.
void SND_Beep();
