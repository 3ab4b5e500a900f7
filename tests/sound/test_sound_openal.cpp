// The OpenAL backend, heard through OpenAL Soft's wave-file device: positions and the
// listener's facing arrive in OpenAL's right-handed frame, so +x stays on the right.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "sound_test_helpers.h"
#include "support/test_support.h"

namespace {

using zt::Rms;
using zt::Sine;
using zt::TempDir;
using zt::Wav16;

// OpenAL Soft reads its configuration once per process, so every case shares one device file.
const std::string& DeviceFile() {
  static TempDir dir;
  static std::string file = [] {
    std::string out = dir.path() + "/device.wav";
    std::string conf = dir.Write("alsoft.conf",
                                 "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\n"
                                 "frequency=44100\nhrtf=false\n[wave]\nfile=" + out + "\n");
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    return out;
  }();
  return file;
}

struct Heard {
  double left, right;
};

// Plays a tone at `pos` for the listener at `listener` facing `forward`, through the device.
Heard HearOnDevice(const float pos[3], const float listener[3], float fz) {
  const std::string& out = DeviceFile();
  TempDir dir;
  std::string tone = dir.Write("tone.wav", Wav16(44100, 1, Sine(44100, 44100, 500, 0.5)));
  SoundOptions options;  // the real device
  SND_Configure(options);
  gFMODIsOn = 1;
  if (!FSOUND_Init(kSoundMixRate, kSoundMaxChannels, 0)) {
    ADD_FAILURE() << "OpenAL Soft's wave device did not open";
    return {0, 0};
  }
  FSOUND_3D_Listener_SetAttributes(listener, nullptr, 0, 0, fz, 0, 1, 0);
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(-1, tone.c_str(), 0x1130, 0, 0);
  EXPECT_NE(s, nullptr);
  FSOUND_Sample_SetMinMaxDistance(s, 4.0f, 1000.0f);
  int c = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 1);
  FSOUND_3D_SetAttributes(c, pos, nullptr);
  FSOUND_SetVolume(c, 255);
  FSOUND_SetPaused(c, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_TRUE(FSOUND_IsPlaying(c));
  FSOUND_Close();
  SND_Configure(SoundOptions());
  gFMODIsOn = 0;
  zt::StereoCapture cap = zt::ReadStereo(out);
  EXPECT_GT(cap.left.size(), 4410u);
  int ms = cap.rate ? static_cast<int>(cap.left.size() * 1000 / cap.rate) : 0;
  return {Rms(cap.left, cap.rate, 0, ms), Rms(cap.right, cap.rate, 0, ms)};
}

TEST(SoundOpenAL, PlusXIsOnTheRightOfTheDefaultListener) {
  const float right[3] = {5, 0, 0}, origin[3] = {0, 0, 0};
  Heard h = HearOnDevice(right, origin, 1.0f);
  EXPECT_GT(h.right, 0.02);
  EXPECT_GT(h.right, 2.0 * h.left);
}

TEST(SoundOpenAL, TurningTheListenerRoundPutsItOnTheLeft) {
  const float right[3] = {5, 0, 0}, origin[3] = {0, 0, 0};
  Heard h = HearOnDevice(right, origin, -1.0f);
  EXPECT_GT(h.left, 0.02);
  EXPECT_GT(h.left, 2.0 * h.right);
}

TEST(SoundOpenAL, ASoundInFrontIsCentredAndPositionsAreRelativeToTheListener) {
  const float ahead[3] = {10, 0, 5}, listener[3] = {10, 0, 0};
  Heard h = HearOnDevice(ahead, listener, 1.0f);
  EXPECT_GT(h.left, 0.02);
  EXPECT_NEAR(h.left, h.right, 0.2 * h.left);
}

}  // namespace
