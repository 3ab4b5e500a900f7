// Sound file decoding: libsndfile reads the file as normalised floats in blocks (never
// trusting the frame count of the header for an allocation), which become 16-bit values.
#include "sound/sound_decode.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/game_paths.h"

namespace {

constexpr int kMaxFileChannels = 64;
constexpr int kMaxFileRate = 768000;
constexpr sf_count_t kBlockFrames = 4096;

int16_t FloatToPcm16(float v) {
  if (!(v == v)) return 0;  // NaN in a float file
  float scaled = v * 32768.0f;
  if (scaled >= 32767.0f) return 32767;
  if (scaled <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lround(scaled));
}

SoundDecodeResult ReadOpened(SNDFILE* file, const SF_INFO& info, SoundData* out, std::string* error) {
  if (info.channels < 1 || info.channels > kMaxFileChannels) {
    *error = "unsupported channel count";
    return kSoundUndecodable;
  }
  if (info.samplerate < 1 || info.samplerate > kMaxFileRate) {
    *error = "unsupported sample rate";
    return kSoundUndecodable;
  }
  SoundData data;
  data.rate = info.samplerate;
  data.channels = info.channels;
  std::vector<float> block(static_cast<size_t>(kBlockFrames) * info.channels);
  const size_t maxFrames = kMaxSoundValues / static_cast<size_t>(info.channels);
  for (;;) {
    size_t have = data.frames();
    if (have >= maxFrames) break;
    sf_count_t want = kBlockFrames;
    if (maxFrames - have < static_cast<size_t>(want)) want = static_cast<sf_count_t>(maxFrames - have);
    sf_count_t got = sf_readf_float(file, block.data(), want);
    if (got <= 0) break;
    size_t values = static_cast<size_t>(got) * info.channels;
    for (size_t i = 0; i < values; ++i) data.pcm.push_back(FloatToPcm16(block[i]));
    if (got < want) break;
  }
  if (data.pcm.empty()) {
    *error = "no sound data";
    return kSoundUndecodable;
  }
  *out = std::move(data);
  return kSoundDecoded;
}

// A file held in memory, read through libsndfile's virtual I/O.
struct MemoryFile {
  const unsigned char* data;
  sf_count_t size;
  sf_count_t pos;
};

sf_count_t MemLength(void* user) { return static_cast<MemoryFile*>(user)->size; }

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
  MemoryFile* m = static_cast<MemoryFile*>(user);
  sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
  sf_count_t target = base + offset;
  if (target < 0 || target > m->size) return -1;
  m->pos = target;
  return m->pos;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
  MemoryFile* m = static_cast<MemoryFile*>(user);
  if (count <= 0 || m->pos >= m->size) return 0;
  sf_count_t n = m->size - m->pos < count ? m->size - m->pos : count;
  std::memcpy(ptr, m->data + m->pos, static_cast<size_t>(n));
  m->pos += n;
  return n;
}

sf_count_t MemWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t MemTell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

}  // namespace

SoundDecodeResult SND_DecodeFile(const char* path, SoundData* out, std::string* error) {
  *out = SoundData();
  FILE* opened = path ? OpenGameFile(path) : nullptr;
  if (!opened) {
    *error = "file not found";
    return kSoundFileMissing;
  }
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  // The decoder reads through the opened descriptor, which stays open until it is done.
  SNDFILE* file = sf_open_fd(fileno(opened), SFM_READ, &info, 0);
  if (!file) {
    *error = sf_strerror(nullptr);
    std::fclose(opened);
    return kSoundUndecodable;
  }
  SoundDecodeResult result = ReadOpened(file, info, out, error);
  sf_close(file);
  std::fclose(opened);
  return result;
}

SoundDecodeResult SND_DecodeMemory(const void* data, size_t size, SoundData* out, std::string* error) {
  *out = SoundData();
  MemoryFile memory{static_cast<const unsigned char*>(data), static_cast<sf_count_t>(size), 0};
  SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
  if (!file) {
    *error = sf_strerror(nullptr);
    return kSoundUndecodable;
  }
  SoundDecodeResult result = ReadOpened(file, info, out, error);
  sf_close(file);
  return result;
}

void SND_MixDownToMono(SoundData* data) {
  if (data->channels <= 1) return;
  const size_t frames = data->frames();
  const int channels = data->channels;
  for (size_t f = 0; f < frames; ++f) {
    long sum = 0;
    for (int c = 0; c < channels; ++c) sum += data->pcm[f * channels + c];
    double mean = static_cast<double>(sum) / channels;
    data->pcm[f] = static_cast<int16_t>(std::lround(mean));
  }
  data->pcm.resize(frames);
  data->pcm.shrink_to_fit();
  data->channels = 1;
}
