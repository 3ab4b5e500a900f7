// Software mixing of the channels for the listener (null and capture backends).
#include "sound/sound_mixer.h"

#include <algorithm>
#include <cmath>

namespace {

float SampleValue(const SoundData& data, size_t frame) {
  const int channels = data.channels;
  if (channels == 1) return data.pcm[frame];
  float sum = 0.0f;
  for (int c = 0; c < channels; ++c) sum += data.pcm[frame * channels + c];
  return sum / channels;
}

// Puts a looping cursor that ran past the loop end back into the loop.
double WrapIntoLoop(double cursor, int loopStart, int loopEnd) {
  const double end = static_cast<double>(loopEnd) + 1.0;
  const double length = end - loopStart;
  if (cursor < end || length <= 0.0) return cursor;
  return loopStart + std::fmod(cursor - end, length);
}

vector_type Cross(vector_type a, vector_type b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

StereoGains SND_ChannelGains(const SoundChannel& channel, const SoundListener& listener) {
  vector_type rel = channel.position;
  if (!channel.headRelative) {
    rel.x -= listener.position.x;
    rel.y -= listener.position.y;
    rel.z -= listener.position.z;
  }
  const FSOUND_SAMPLE* s = channel.sample;
  const float minD = s ? std::max(s->minDistance, 1.0e-6f) : 1.0f;
  const float maxD = s ? std::max(s->maxDistance, minD) : 1.0e9f;
  const double dist = std::sqrt(double(rel.x) * rel.x + double(rel.y) * rel.y + double(rel.z) * rel.z);
  const double clamped = std::min<double>(std::max<double>(dist, minD), maxD);
  double gain = minD / clamped;  // inverse distance, rolloff 1
  gain *= std::clamp(channel.volume, 0, 255) / 255.0;

  double pan = 0.0;  // -1 full left .. +1 full right
  if (!channel.headRelative || dist > 0.0) {
    vector_type right = Cross(listener.up, listener.forward);
    double len = std::sqrt(double(right.x) * right.x + double(right.y) * right.y + double(right.z) * right.z);
    if (dist > 1.0e-6 && len > 1.0e-6) {
      pan = (rel.x * right.x + rel.y * right.y + rel.z * right.z) / (dist * len);
      pan = std::clamp(pan, -1.0, 1.0);
    }
  }
  const double angle = (pan + 1.0) * 0.25 * 3.14159265358979323846;
  return {static_cast<float>(gain * std::cos(angle)), static_cast<float>(gain * std::sin(angle))};
}

void SND_MixChannels(SoundChannel* channels, int count, const SoundListener& listener, int outRate, float* stereo,
                     size_t frames) {
  if (outRate <= 0) return;
  for (int i = 0; i < count; ++i) {
    SoundChannel& ch = channels[i];
    if (!ch.sample || ch.paused) continue;
    const SoundData& data = ch.sample->data;
    const size_t length = data.frames();
    if (length == 0) {
      ch.sample = nullptr;
      continue;
    }
    const StereoGains g = SND_ChannelGains(ch, listener);
    const double step = static_cast<double>(data.rate) / outRate;
    const bool loops = ch.looping;
    const int loopStart = ch.sample->loopStart;
    const int loopEnd = ch.sample->loopEnd;
    for (size_t f = 0; f < frames; ++f) {
      if (ch.cursor < 0.0) ch.cursor = 0.0;
      size_t index = static_cast<size_t>(ch.cursor);
      if (index >= length) {
        if (!loops) {
          ch.sample = nullptr;
          break;
        }
        ch.cursor = WrapIntoLoop(ch.cursor, loopStart, loopEnd);
        index = std::min(static_cast<size_t>(ch.cursor), length - 1);
      }
      const double frac = ch.cursor - static_cast<double>(index);
      size_t nextIndex = index + 1;
      if (loops && nextIndex > static_cast<size_t>(loopEnd)) nextIndex = static_cast<size_t>(loopStart);
      float a = SampleValue(data, index);
      float b = nextIndex < length ? SampleValue(data, nextIndex) : 0.0f;
      float v = static_cast<float>((a + (b - a) * frac) / 32768.0);
      stereo[2 * f] += v * g.left;
      stereo[2 * f + 1] += v * g.right;
      ch.cursor += step;
      if (loops) ch.cursor = WrapIntoLoop(ch.cursor, loopStart, loopEnd);
    }
  }
}
