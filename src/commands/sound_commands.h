// State of the sound commands: the 256 sample slots scripts load into and the channel that
// playing, loop points, placing and stopping address.
#pragma once

struct FSOUND_SAMPLE;

constexpr int kNumSampleSlots = 256;

extern FSOUND_SAMPLE* gAllSamples[kNumSampleSlots];  // slots 0..255, null when empty
extern int gScriptChannel;                          // -1: each new sound takes a free channel
