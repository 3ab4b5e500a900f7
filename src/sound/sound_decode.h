// Decoding of sound files into 16-bit frames through libsndfile, and the mix-down to one
// channel that positioned playback needs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SoundData {
  int rate = 0;                // frames per second
  int channels = 0;            // interleaved channels per frame
  std::vector<int16_t> pcm;    // frames * channels values
  size_t frames() const { return channels > 0 ? pcm.size() / static_cast<size_t>(channels) : 0; }
};

// Longest sample the layer accepts, in values (frames times channels): about 12 minutes of
// 44.1 kHz stereo. Longer files are cut there.
constexpr size_t kMaxSoundValues = size_t(1) << 26;

enum SoundDecodeResult { kSoundDecoded, kSoundFileMissing, kSoundUndecodable };

// Decodes the file at `path`. On failure `error` says why and `out` is left empty.
SoundDecodeResult SND_DecodeFile(const char* path, SoundData* out, std::string* error);
// Decodes a whole file held in memory.
SoundDecodeResult SND_DecodeMemory(const void* data, size_t size, SoundData* out, std::string* error);

// Averages the channels of every frame into one (rounded to nearest).
void SND_MixDownToMono(SoundData* data);
