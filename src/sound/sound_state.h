// The layer's own records: a loaded sample, one of the 32 channels, and the listener. Shared
// by the layer's front (sound.cpp), the software mixer and the OpenAL backend.
#pragma once
#include <cstdint>

#include "objects/vector_math.h"
#include "sound/sound.h"
#include "sound/sound_decode.h"

struct FSOUND_SAMPLE {
  SoundData data;              // 16-bit frames, mono when loaded for positioned playback
  unsigned int mode = 0;       // load mode with the loop bits of the last SetMode
  float minDistance = 1.0f;    // full volume up to here
  float maxDistance = 1.0e9f;  // no further attenuation beyond here
  int loopStart = 0;           // first frame of the loop
  int loopEnd = 0;             // last frame of the loop (inclusive)
  unsigned int alBuffer = 0;   // OpenAL buffer name, 0 without a device
};

struct SoundChannel {
  FSOUND_SAMPLE* sample = nullptr;  // null: the channel is free
  bool paused = false;
  bool looping = false;             // taken from the sample's mode when play starts
  bool headRelative = false;        // positioned relative to the listener (the beep)
  vector_type position{0.0f, 0.0f, 0.0f};
  int volume = 255;
  double cursor = 0.0;              // playing position in frames of the sample
  uint64_t startSerial = 0;         // order of starting, to take the oldest channel when all are busy
};

struct SoundListener {
  vector_type position{0.0f, 0.0f, 0.0f};
  vector_type forward{0.0f, 0.0f, 1.0f};
  vector_type up{0.0f, 1.0f, 0.0f};
};

// A sample loops when its mode has a loop bit (bidirectional loops play as normal loops).
inline bool SampleLoops(const FSOUND_SAMPLE* s) { return (s->mode & (FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI)) != 0; }
