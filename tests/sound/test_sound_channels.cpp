// The layer's channels on the null device: which channel a sound takes, how one-shots end
// and loops go on by game time, loop points, positions, freeing samples, and loading.
#include <gtest/gtest.h>

#include "sound_test_helpers.h"
#include "support/test_support.h"

namespace {

using zt::NullSoundLayer;
using zt::Sine;
using zt::TempDir;
using zt::Wav16;

constexpr unsigned int kLoad3D = 0x1130;

// A mono sample of `ms` milliseconds at 44.1 kHz loaded from a temporary WAV file.
FSOUND_SAMPLE* LoadTone(const TempDir& dir, const std::string& name, int ms, int channels = 1) {
  std::string path = dir.Write(name, Wav16(44100, channels, Sine(44100, 44100 * ms / 1000, 500, 0.5, channels)));
  return FSOUND_Sample_Load(-1, path.c_str(), kLoad3D, 0, 0);
}

TEST(SoundChannels, LoadingNeedsTheLayerAndMakesPositionedSamplesMono) {
  TempDir dir;
  std::string path = dir.Write("s.wav", Wav16(44100, 2, Sine(44100, 441, 500, 0.5, 2)));
  EXPECT_EQ(FSOUND_Sample_Load(-1, path.c_str(), kLoad3D, 0, 0), nullptr);  // not started
  NullSoundLayer layer;
  ASSERT_TRUE(layer.ok);
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(-1, path.c_str(), kLoad3D, 0, 0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(s), 441u);
  EXPECT_EQ(FSOUND_Sample_GetMode(s), kLoad3D);
  int start = -1, end = -1;
  ASSERT_TRUE(FSOUND_Sample_GetLoopPoints(s, &start, &end));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 440);
}

TEST(SoundChannels, MissingFileIsSilentMalformedFileIsReported) {
  TempDir dir;
  NullSoundLayer layer;
  zt::ConsoleCapture console;
  EXPECT_EQ(FSOUND_Sample_Load(-1, (dir.path() + "/none.wav").c_str(), kLoad3D, 0, 0), nullptr);
  EXPECT_EQ(console.text(), "");
  std::string bad = dir.Write("bad.ogg", "OggS but nothing after it");
  EXPECT_EQ(FSOUND_Sample_Load(-1, bad.c_str(), kLoad3D, 0, 0), nullptr);
  EXPECT_EQ(console.text(), "// Could not read the sound file \"" + bad + "\".\n");
}

TEST(SoundChannels, FreeChannelsAreTakenInOrderAndChosenOnesAsAsked) {
  TempDir dir;
  NullSoundLayer layer;
  FSOUND_SAMPLE* s = LoadTone(dir, "t.wav", 100);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0), 0);
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0), 1);
  EXPECT_EQ(FSOUND_PlaySoundEx(5, s, nullptr, 0), 5);
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0), 2);
  EXPECT_EQ(FSOUND_PlaySoundEx(31, s, nullptr, 1), 31);
  EXPECT_TRUE(FSOUND_GetPaused(31));
  EXPECT_FALSE(FSOUND_IsPlaying(31));
  // Out of range or nothing to play: no channel.
  EXPECT_EQ(FSOUND_PlaySoundEx(32, s, nullptr, 0), -1);
  EXPECT_EQ(FSOUND_PlaySoundEx(-2, s, nullptr, 0), -1);
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, nullptr, nullptr, 0), -1);
  // A stopped channel is free again and is the lowest free one.
  EXPECT_TRUE(FSOUND_StopSound(1));
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0), 1);
  // Every other call on a channel out of range does nothing.
  const float pos[3] = {1, 2, 3};
  EXPECT_FALSE(FSOUND_StopSound(-1));
  EXPECT_FALSE(FSOUND_3D_SetAttributes(-1, pos, nullptr));
  EXPECT_FALSE(FSOUND_SetVolume(40, 255));
  EXPECT_FALSE(FSOUND_SetPaused(-1, 0));
}

TEST(SoundChannels, WhenAllAreBusyTheOldestSoundGivesWay) {
  TempDir dir;
  NullSoundLayer layer;
  FSOUND_SAMPLE* a = LoadTone(dir, "a.wav", 1000);
  FSOUND_SAMPLE* b = LoadTone(dir, "b.wav", 1000);
  for (int i = 0; i < kSoundMaxChannels; ++i) ASSERT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, a, nullptr, 0), i);
  FSOUND_PlaySoundEx(0, a, nullptr, 0);  // channel 0 restarted: now channel 1 is the oldest
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, b, nullptr, 0), 1);
  EXPECT_EQ(FSOUND_GetCurrentSample(1), b);
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, b, nullptr, 0), 2);
}

TEST(SoundChannels, OneShotsEndByGameTimeAndLoopsGoOn) {
  TempDir dir;
  NullSoundLayer layer;
  FSOUND_SAMPLE* once = LoadTone(dir, "once.wav", 100);
  FSOUND_SAMPLE* loop = LoadTone(dir, "loop.wav", 100);
  FSOUND_Sample_SetMode(once, 0x130);
  FSOUND_Sample_SetMode(loop, 2);
  EXPECT_EQ(FSOUND_Sample_GetMode(loop) & 0x1000u, 0x1000u);  // still positioned
  int c1 = FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 0);
  int c2 = FSOUND_PlaySoundEx(FSOUND_FREE, loop, nullptr, 0);
  int paused = FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 1);
  layer.Advance(60);
  EXPECT_TRUE(FSOUND_IsPlaying(c1));
  EXPECT_NEAR(FSOUND_GetCurrentPosition(c1), 44100 * 60 / 1000, 1);
  EXPECT_EQ(FSOUND_GetCurrentPosition(paused), 0u);  // a paused channel does not advance
  layer.Advance(60);
  EXPECT_FALSE(FSOUND_IsPlaying(c1));
  EXPECT_EQ(FSOUND_GetCurrentSample(c1), nullptr);
  EXPECT_TRUE(FSOUND_IsPlaying(c2));
  EXPECT_NEAR(FSOUND_GetCurrentPosition(c2), 44100 * 20 / 1000, 1);  // wrapped round once
  EXPECT_TRUE(FSOUND_GetPaused(paused));
  // The freed one-shot's channel is the first free one again.
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 0), c1);
}

TEST(SoundChannels, LoopPointsKeepALoopInsideThemAndAreClamped) {
  TempDir dir;
  NullSoundLayer layer;
  FSOUND_SAMPLE* s = LoadTone(dir, "l.wav", 100);  // 4410 frames
  FSOUND_Sample_SetMode(s, 2);
  ASSERT_TRUE(FSOUND_Sample_SetLoopPoints(s, 1000, 1999));
  int c = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
  ASSERT_TRUE(FSOUND_SetCurrentPosition(c, 1000));
  for (int i = 0; i < 40; ++i) {
    layer.Advance(7);
    unsigned int p = FSOUND_GetCurrentPosition(c);
    ASSERT_GE(p, 1000u);
    ASSERT_LE(p, 1999u);
  }
  EXPECT_TRUE(FSOUND_IsPlaying(c));
  // Out-of-range points are clamped to the sample; a reversed pair is refused.
  ASSERT_TRUE(FSOUND_Sample_SetLoopPoints(s, -50, 100000));
  int start = 0, end = 0;
  FSOUND_Sample_GetLoopPoints(s, &start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 4409);
  EXPECT_FALSE(FSOUND_Sample_SetLoopPoints(s, 300, 200));
  FSOUND_Sample_GetLoopPoints(s, &start, &end);
  EXPECT_EQ(end, 4409);
  // A position beyond the sample is refused.
  EXPECT_FALSE(FSOUND_SetCurrentPosition(c, 4410));
  EXPECT_TRUE(FSOUND_SetCurrentPosition(c, 4409));
}

TEST(SoundChannels, FreeingASampleStopsItsChannelsOnly) {
  TempDir dir;
  NullSoundLayer layer;
  FSOUND_SAMPLE* a = LoadTone(dir, "a.wav", 500);
  FSOUND_SAMPLE* b = LoadTone(dir, "b.wav", 500);
  int ca = FSOUND_PlaySoundEx(FSOUND_FREE, a, nullptr, 0);
  int cb = FSOUND_PlaySoundEx(FSOUND_FREE, b, nullptr, 0);
  FSOUND_Sample_Free(a);
  EXPECT_FALSE(FSOUND_IsPlaying(ca));
  EXPECT_TRUE(FSOUND_IsPlaying(cb));
  // The freed handle is no longer one of the layer's: every call with it does nothing.
  FSOUND_Sample_Free(a);
  EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, a, nullptr, 0), -1);
  EXPECT_FALSE(FSOUND_Sample_SetMode(a, 2));
  layer.Advance(100);
  EXPECT_TRUE(FSOUND_IsPlaying(cb));
}

TEST(SoundChannels, ANewStartBeginsAfresh) {
  TempDir dir;
  NullSoundLayer layer;
  FSOUND_SAMPLE* s = LoadTone(dir, "a.wav", 500);
  int c = FSOUND_PlaySoundEx(7, s, nullptr, 0);
  FSOUND_SetVolume(c, 12);
  layer.Advance(100);
  EXPECT_EQ(FSOUND_PlaySoundEx(7, s, nullptr, 1), 7);
  EXPECT_EQ(FSOUND_GetVolume(7), 255);
  EXPECT_EQ(FSOUND_GetCurrentPosition(7), 0u);
  EXPECT_TRUE(FSOUND_SetVolume(7, 999));
  EXPECT_EQ(FSOUND_GetVolume(7), 255);
}

}  // namespace
