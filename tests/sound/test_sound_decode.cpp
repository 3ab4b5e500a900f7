// Decoding sound files of every supported format, the mix-down to mono, and files that are
// not sound at all.
#include <gtest/gtest.h>

#include "sound/sound_decode.h"
#include "sound_test_helpers.h"
#include "support/test_support.h"

namespace {

using zt::Sine;
using zt::TempDir;
using zt::Wav16;

TEST(SoundDecode, WavValuesArriveUnchanged) {
  TempDir dir;
  std::vector<int16_t> values = {0, 1, -1, 32767, -32768, 1234, -4321};
  std::string path = dir.Write("a.wav", Wav16(8000, 1, values));
  SoundData data;
  std::string error;
  ASSERT_EQ(SND_DecodeFile(path.c_str(), &data, &error), kSoundDecoded) << error;
  EXPECT_EQ(data.rate, 8000);
  EXPECT_EQ(data.channels, 1);
  EXPECT_EQ(data.pcm, values);
}

TEST(SoundDecode, StereoMixesDownToTheMeanOfEachFrame) {
  SoundData data;
  data.rate = 100;
  data.channels = 2;
  data.pcm = {1000, -1000, 300, 100, 32767, 32767, -32768, -32768, 3, 4};
  SND_MixDownToMono(&data);
  EXPECT_EQ(data.channels, 1);
  EXPECT_EQ(data.pcm, (std::vector<int16_t>{0, 200, 32767, -32768, 4}));  // 3.5 rounds away from 0

  SoundData mono;
  mono.channels = 1;
  mono.pcm = {5, 6};
  SND_MixDownToMono(&mono);
  EXPECT_EQ(mono.pcm, (std::vector<int16_t>{5, 6}));
}

TEST(SoundDecode, EveryCompressedFormatDecodesToItsTone) {
  TempDir dir;
  const int rate = 22050, frames = 11025;
  std::vector<int16_t> tone = Sine(rate, frames, 441.0, 0.5);
  struct Format {
    const char* name;
    int format;
    double tolerance;  // lossy formats shift the values
  } formats[] = {
      {"t.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 0.0},
      {"t.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.0},
      {"t.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.05},
      {"t.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.1},
  };
  for (const Format& f : formats) {
    SCOPED_TRACE(f.name);
    std::string path = dir.path() + "/" + f.name;
    if (!zt::WriteSoundFile(path, f.format, rate, 1, tone)) {
      ADD_FAILURE() << "libsndfile cannot write " << f.name;
      continue;
    }
    SoundData data;
    std::string error;
    ASSERT_EQ(SND_DecodeFile(path.c_str(), &data, &error), kSoundDecoded) << error;
    EXPECT_EQ(data.rate, rate);
    EXPECT_NEAR(static_cast<double>(data.frames()), frames, frames * 0.1);
    if (f.tolerance == 0.0) {
      EXPECT_EQ(data.pcm, tone);
    } else {
      // The tone survives: its level matches and it crosses zero at 441 Hz.
      double sum = 0;
      int crossings = 0;
      for (size_t i = 0; i < data.pcm.size(); ++i) {
        sum += double(data.pcm[i]) * data.pcm[i];
        if (i && (data.pcm[i - 1] < 0) != (data.pcm[i] < 0)) ++crossings;
      }
      double rms = std::sqrt(sum / data.pcm.size()) / 32768.0;
      EXPECT_NEAR(rms, 0.5 / std::sqrt(2.0), 0.05);
      double hz = crossings / 2.0 * rate / data.pcm.size();
      EXPECT_NEAR(hz, 441.0, 441.0 * f.tolerance);
    }
  }
}

TEST(SoundDecode, FloatFilesAreScaledAndNaNBecomesSilence) {
  TempDir dir;
  std::string path = dir.path() + "/f.wav";
  SF_INFO info{};
  info.samplerate = 1000;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  sf_command(f, SFC_SET_CLIPPING, nullptr, SF_FALSE);
  const float values[] = {0.5f, -0.25f, 2.0f, -3.0f, NAN};
  sf_writef_float(f, values, 5);
  sf_close(f);
  SoundData data;
  std::string error;
  ASSERT_EQ(SND_DecodeFile(path.c_str(), &data, &error), kSoundDecoded) << error;
  ASSERT_EQ(data.pcm.size(), 5u);
  EXPECT_EQ(data.pcm[0], 16384);
  EXPECT_EQ(data.pcm[1], -8192);
  EXPECT_EQ(data.pcm[2], 32767);  // beyond full scale: clipped
  EXPECT_EQ(data.pcm[3], -32768);
  EXPECT_EQ(data.pcm[4], 0);
}

TEST(SoundDecode, MissingAndMalformedFilesAreToldApart) {
  TempDir dir;
  SoundData data;
  std::string error;
  EXPECT_EQ(SND_DecodeFile((dir.path() + "/none.wav").c_str(), &data, &error), kSoundFileMissing);
  EXPECT_EQ(SND_DecodeFile(nullptr, &data, &error), kSoundFileMissing);

  std::string good = Wav16(8000, 1, Sine(8000, 800, 300));
  std::vector<std::string> bad = {
      "",
      "RIFF",
      "not a sound file at all, just some text",
      good.substr(0, 30),                          // header cut inside the fmt chunk
      good.substr(0, 44),                          // a data chunk without data
      std::string("RIFF\xff\xff\xff\x7fWAVEfmt \x10\0\0\0\x01\0\0\0\x40\x1f\0\0", 28),  // no channels
  };
  std::string hugeClaim = good;
  hugeClaim[40] = hugeClaim[41] = hugeClaim[42] = '\xff';  // data size far beyond the file
  hugeClaim[43] = '\x7f';
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    std::string path = dir.Write("bad" + std::to_string(i) + ".wav", bad[i]);
    EXPECT_EQ(SND_DecodeFile(path.c_str(), &data, &error), kSoundUndecodable);
    EXPECT_TRUE(data.pcm.empty());
    EXPECT_EQ(SND_DecodeMemory(bad[i].data(), bad[i].size(), &data, &error), kSoundUndecodable);
  }
  // A header that claims more data than there is gives what there is.
  ASSERT_EQ(SND_DecodeMemory(hugeClaim.data(), hugeClaim.size(), &data, &error), kSoundDecoded) << error;
  EXPECT_EQ(data.frames(), 800u);
}

TEST(SoundDecode, MemoryAndFileAgree) {
  TempDir dir;
  std::string bytes = Wav16(11025, 2, Sine(11025, 500, 200, 0.3, 2));
  std::string path = dir.Write("s.wav", bytes);
  SoundData fromFile, fromMemory;
  std::string error;
  ASSERT_EQ(SND_DecodeFile(path.c_str(), &fromFile, &error), kSoundDecoded);
  ASSERT_EQ(SND_DecodeMemory(bytes.data(), bytes.size(), &fromMemory, &error), kSoundDecoded);
  EXPECT_EQ(fromFile.pcm, fromMemory.pcm);
  EXPECT_EQ(fromMemory.channels, 2);
  EXPECT_EQ(fromMemory.frames(), 500u);
}

}  // namespace
