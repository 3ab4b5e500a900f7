// The software mixer: plays the channels for the listener into a stereo float buffer, with
// inverse-distance attenuation (clamped between the sample's minimum and maximum distance)
// and equal-power panning by the listener-relative direction. Drives the null and capture
// backends, so their channels advance and end by game time.
#pragma once
#include <cstddef>

#include "sound/sound_state.h"

struct StereoGains {
  float left, right;
};

// Gains of one channel for the listener, volume included. The listener's right is
// up x forward (with forward (0,0,1) and up (0,1,0): +x).
StereoGains SND_ChannelGains(const SoundChannel& channel, const SoundListener& listener);

// Adds `frames` stereo frames (interleaved left, right) of every playing, unpaused channel
// into `stereo` at `outRate`, and advances the channels; a one-shot channel that reaches the
// end of its sample becomes free.
void SND_MixChannels(SoundChannel* channels, int count, const SoundListener& listener, int outRate, float* stereo,
                     size_t frames);
