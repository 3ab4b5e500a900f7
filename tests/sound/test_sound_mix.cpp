// What the listener hears: attenuation and panning of the software mixer, and the capture
// file, which follows the game clock so that equal runs give equal files.
#include <gtest/gtest.h>

#include "sound/sound_mixer.h"
#include "sound_test_helpers.h"
#include "support/test_support.h"

namespace {

using zt::NullSoundLayer;
using zt::Rms;
using zt::Sine;
using zt::TempDir;
using zt::Wav16;

SoundChannel ChannelAt(FSOUND_SAMPLE* s, float x, float y, float z) {
  SoundChannel c;
  c.sample = s;
  c.position = {x, y, z};
  return c;
}

TEST(SoundMix, InverseDistanceClampedBetweenMinimumAndMaximum) {
  FSOUND_SAMPLE s;
  s.minDistance = 4.0f;
  s.maxDistance = 1000.0f;
  SoundListener l;
  auto total = [&](float z) {
    StereoGains g = SND_ChannelGains(ChannelAt(&s, 0, 0, z), l);
    return std::sqrt(g.left * g.left + g.right * g.right);
  };
  EXPECT_NEAR(total(0.0f), 1.0, 1e-6);  // inside the minimum distance: full
  EXPECT_NEAR(total(2.0f), 1.0, 1e-6);
  EXPECT_NEAR(total(4.0f), 1.0, 1e-6);
  EXPECT_NEAR(total(8.0f), 0.5, 1e-6);
  EXPECT_NEAR(total(400.0f), 0.01, 1e-6);
  EXPECT_NEAR(total(1000.0f), 0.004, 1e-6);
  EXPECT_NEAR(total(5000.0f), 0.004, 1e-6);  // beyond the maximum: no further fall
}

TEST(SoundMix, PanFollowsTheListenersRightHandSide) {
  FSOUND_SAMPLE s;
  s.minDistance = 4.0f;
  SoundListener l;  // facing +z, top +y: right is +x
  StereoGains right = SND_ChannelGains(ChannelAt(&s, 5, 0, 0), l);
  StereoGains left = SND_ChannelGains(ChannelAt(&s, -5, 0, 0), l);
  StereoGains front = SND_ChannelGains(ChannelAt(&s, 0, 0, 5), l);
  StereoGains behind = SND_ChannelGains(ChannelAt(&s, 0, 0, -5), l);
  StereoGains frontRight = SND_ChannelGains(ChannelAt(&s, 3, 0, 3), l);
  EXPECT_GT(right.right, 0.7f);
  EXPECT_NEAR(right.left, 0.0f, 1e-6);
  EXPECT_NEAR(left.right, 0.0f, 1e-6);
  EXPECT_GT(left.left, 0.7f);
  EXPECT_NEAR(front.left, front.right, 1e-6);
  EXPECT_NEAR(behind.left, behind.right, 1e-6);
  EXPECT_GT(frontRight.right, frontRight.left);
  EXPECT_GT(frontRight.left, 0.0f);
  // Equal power: the pan keeps the total level.
  EXPECT_NEAR(right.right * right.right, front.left * front.left + front.right * front.right, 1e-5);

  // Turned round (facing -z), the same sound is on the left; the position is relative to it.
  l.forward = {0, 0, -1};
  StereoGains turned = SND_ChannelGains(ChannelAt(&s, 5, 0, 0), l);
  EXPECT_GT(turned.left, 0.7f);
  l.forward = {0, 0, 1};
  l.position = {10, 0, 0};
  StereoGains moved = SND_ChannelGains(ChannelAt(&s, 5, 0, 0), l);
  EXPECT_GT(moved.left, 0.7f);
  // Volume scales both sides.
  SoundChannel quiet = ChannelAt(&s, 5, 0, 0);
  quiet.volume = 51;
  EXPECT_NEAR(SND_ChannelGains(quiet, SoundListener()).right, right.right * 0.2f, 1e-5);
}

TEST(SoundMix, MixResamplesAndFollowsLoopPoints) {
  FSOUND_SAMPLE s;
  s.data.rate = 22050;
  s.data.channels = 1;
  s.data.pcm = {0, 16384, 16384, 0, -16384};
  s.loopStart = 1;
  s.loopEnd = 2;
  s.minDistance = 4.0f;
  SoundChannel c = ChannelAt(&s, 0, 0, 0);
  c.looping = true;
  std::vector<float> out(2 * 8, 0.0f);
  SND_MixChannels(&c, 1, SoundListener(), 44100, out.data(), 8);
  const float g = std::sqrt(0.5f);
  // Half-rate playback interpolates between frames; the loop stays on frames 1 and 2.
  EXPECT_NEAR(out[0], 0.0f, 1e-6);
  EXPECT_NEAR(out[2], 0.25f * g, 1e-4);
  EXPECT_NEAR(out[4], 0.5f * g, 1e-4);
  for (int f = 4; f < 8; ++f) EXPECT_NEAR(out[2 * f], 0.5f * g, 1e-4) << f;
  EXPECT_EQ(c.sample, &s);

  // Without the loop the sample runs out and frees the channel.
  SoundChannel once = ChannelAt(&s, 0, 0, 0);
  std::vector<float> more(2 * 16, 0.0f);
  SND_MixChannels(&once, 1, SoundListener(), 44100, more.data(), 16);
  EXPECT_EQ(once.sample, nullptr);
  EXPECT_NEAR(more[2 * 8], -0.5f * g, 1e-4);
  EXPECT_EQ(more[2 * 12], 0.0f);
}

// Plays a tone on the right for 200 ms of game time in 20 ms steps, capturing into `path`.
void CaptureRightTone(const TempDir& dir, const std::string& path) {
  std::string wav = dir.Write("tone.wav", Wav16(22050, 1, Sine(22050, 22050 / 10, 400, 0.5)));
  NullSoundLayer layer(path);
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(-1, wav.c_str(), 0x1130, 0, 0);
  ASSERT_NE(s, nullptr);
  FSOUND_Sample_SetMinMaxDistance(s, 4.0f, 1000.0f);
  int c = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 1);
  const float pos[3] = {5, 0, 0};
  FSOUND_3D_SetAttributes(c, pos, nullptr);
  FSOUND_SetPaused(c, 0);
  for (int i = 0; i < 10; ++i) layer.Advance(20);
}

TEST(SoundMix, CaptureHearsASoundOnTheRightForItsLengthOnly) {
  TempDir dir;
  std::string path = dir.path() + "/capture.wav";
  CaptureRightTone(dir, path);
  zt::StereoCapture cap = zt::ReadStereo(path);
  ASSERT_EQ(cap.rate, 44100);
  EXPECT_EQ(cap.left.size(), 44100u * 200 / 1000);
  double right = Rms(cap.right, cap.rate, 0, 100);
  EXPECT_NEAR(right, 0.5 / std::sqrt(2.0) * 0.8, 0.02);  // 5 units away with minimum 4
  EXPECT_LT(Rms(cap.left, cap.rate, 0, 100), 0.001);
  EXPECT_LT(Rms(cap.right, cap.rate, 110, 200), 0.001);  // the 100 ms tone is over
}

TEST(SoundMix, EqualRunsGiveEqualCaptures) {
  TempDir dir;
  CaptureRightTone(dir, dir.path() + "/one.wav");
  CaptureRightTone(dir, dir.path() + "/two.wav");
  std::string one = zt::ReadFile(dir.path() + "/one.wav");
  EXPECT_GT(one.size(), 44u);
  EXPECT_EQ(one, zt::ReadFile(dir.path() + "/two.wav"));
}

TEST(SoundMix, PausedAndSilencedChannelsAreNotHeardAndTheBeepIsCentred) {
  TempDir dir;
  std::string path = dir.path() + "/capture.wav";
  {
    std::string wav = dir.Write("tone.wav", Wav16(44100, 1, Sine(44100, 44100, 400, 0.5)));
    NullSoundLayer layer(path);
    FSOUND_SAMPLE* s = FSOUND_Sample_Load(-1, wav.c_str(), 0x1130, 0, 0);
    int paused = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 1);
    int quiet = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
    FSOUND_SetVolume(quiet, 0);
    layer.Advance(100);
    EXPECT_TRUE(FSOUND_GetPaused(paused));
    SND_Beep();
    layer.Advance(300);
  }
  zt::StereoCapture cap = zt::ReadStereo(path);
  EXPECT_LT(Rms(cap.left, cap.rate, 0, 100), 1e-6);
  double l = Rms(cap.left, cap.rate, 110, 240), r = Rms(cap.right, cap.rate, 110, 240);
  EXPECT_GT(l, 0.05);
  EXPECT_NEAR(l, r, 1e-4);
  EXPECT_LT(Rms(cap.left, cap.rate, 260, 400), 1e-6);  // the beep is short
}

TEST(SoundMix, BeepIsSilentWhereSoundIsOff) {
  TempDir dir;
  std::string path = dir.path() + "/capture.wav";
  {
    NullSoundLayer layer(path);
    gFMODIsOn = 0;
    SND_Beep();
    layer.Advance(100);
  }
  zt::StereoCapture cap = zt::ReadStereo(path);
  ASSERT_FALSE(cap.left.empty());
  EXPECT_EQ(Rms(cap.left, cap.rate, 0, 100), 0.0);
}

}  // namespace
