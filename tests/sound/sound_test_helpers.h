// Helpers of the sound tests: writing sound files (by hand for WAV, through libsndfile for
// the other formats), reading a capture back, and a layer started on the null device.
#pragma once
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/timed_tasks.h"
#include "sound/sound.h"

namespace zt {

inline std::vector<int16_t> Sine(int rate, int frames, double hz, double amplitude = 0.5, int channels = 1) {
  std::vector<int16_t> v(static_cast<size_t>(frames) * channels);
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      v[f * channels + c] = static_cast<int16_t>(std::lround(32767 * amplitude * std::sin(2 * M_PI * hz * f / rate)));
  return v;
}

// A plain PCM WAV file of 16-bit values.
inline std::string Wav16(int rate, int channels, const std::vector<int16_t>& values) {
  auto u32 = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto u16 = [](std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  };
  std::string s = "RIFF";
  u32(s, 36 + static_cast<uint32_t>(values.size() * 2));
  s += "WAVEfmt ";
  u32(s, 16);
  u16(s, 1);
  u16(s, channels);
  u32(s, rate);
  u32(s, rate * channels * 2);
  u16(s, channels * 2);
  u16(s, 16);
  s += "data";
  u32(s, static_cast<uint32_t>(values.size() * 2));
  for (int16_t v : values) u16(s, static_cast<uint16_t>(v));
  return s;
}

// Writes `values` in a libsndfile format (e.g. SF_FORMAT_FLAC | SF_FORMAT_PCM_16); false when
// the library cannot write it.
inline bool WriteSoundFile(const std::string& path, int format, int rate, int channels,
                           const std::vector<int16_t>& values) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  sf_count_t frames = static_cast<sf_count_t>(values.size() / channels);
  bool ok = sf_writef_short(f, values.data(), frames) == frames;
  sf_close(f);
  return ok;
}

struct StereoCapture {
  int rate = 0;
  std::vector<float> left, right;  // -1..1
};

// Reads a stereo file (the capture, or a device's output) through libsndfile.
inline StereoCapture ReadStereo(const std::string& path) {
  StereoCapture c;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return c;
  c.rate = info.samplerate;
  std::vector<float> frame(static_cast<size_t>(info.channels));
  while (info.channels >= 2 && sf_readf_float(f, frame.data(), 1) == 1) {
    c.left.push_back(frame[0]);
    c.right.push_back(frame[1]);
  }
  sf_close(f);
  return c;
}

inline double Rms(const std::vector<float>& v, int rate, int fromMs, int toMs) {
  size_t a = static_cast<size_t>(static_cast<int64_t>(fromMs) * rate / 1000);
  size_t b = static_cast<size_t>(static_cast<int64_t>(toMs) * rate / 1000);
  if (b > v.size()) b = v.size();
  if (b <= a) return 0.0;
  double sum = 0.0;
  for (size_t i = a; i < b; ++i) sum += double(v[i]) * v[i];
  return std::sqrt(sum / (b - a));
}

// Starts the layer on the null device (optionally capturing) at game time 0, and closes it.
struct NullSoundLayer {
  explicit NullSoundLayer(const std::string& capture = "") {
    SoundOptions o;
    o.nullDevice = true;
    o.captureFile = capture;
    SND_Configure(o);
    gCurrentTime = 0;
    gFMODIsOn = 1;
    ok = FSOUND_Init(kSoundMixRate, kSoundMaxChannels, 0);
  }
  ~NullSoundLayer() {
    FSOUND_Close();
    SND_Configure(SoundOptions());
    gFMODIsOn = 0;
  }
  // Moves the game clock on by `ms` and places the listener (which advances the mix).
  void Advance(uint32_t ms, vector_type listener = {0, 0, 0}) {
    gCurrentTime += ms;
    const float pos[3] = {listener.x, listener.y, listener.z};
    FSOUND_3D_Listener_SetAttributes(pos, nullptr, 0, 0, 1, 0, 1, 0);
  }
  bool ok = false;
};

}  // namespace zt
