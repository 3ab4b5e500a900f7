// The sound commands: slots, playing once or looping on the script's channel, placing and
// stopping, loop points, register defaults, and doing nothing while sound is off.
#include <gtest/gtest.h>

#include <cstring>

#include "commands/commands.h"
#include "commands/sound_commands.h"
#include "script/variables.h"
#include "sound_test_helpers.h"
#include "support/test_support.h"

namespace {

using zt::NullSoundLayer;
using zt::Rms;
using zt::Sine;
using zt::TempDir;
using zt::Wav16;

// Runs a command with a parameter text (copied, since commands may scan in place).
void Cmd(char* (*command)(char*, char*), const std::string& parms) {
  std::vector<char> text(parms.begin(), parms.end());
  text.push_back('\0');
  command(text.data(), nullptr);
}

class SoundCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    tone = dir.Write("tone.wav", Wav16(44100, 1, Sine(44100, 44100 / 10, 400)));
    low = dir.Write("low.wav", Wav16(44100, 2, Sine(44100, 44100 / 5, 200, 0.5, 2)));
    std::memset(&gScriptVars, 0, sizeof gScriptVars);
    gScriptChannel = -1;
  }
  void TearDown() override {
    for (FSOUND_SAMPLE*& s : gAllSamples) s = nullptr;  // the layer freed them on close
    gScriptChannel = -1;
  }
  TempDir dir;
  std::string tone, low;
};

TEST_F(SoundCommands, SlotsAreZeroBasedUpTo255) {
  NullSoundLayer layer;
  Cmd(znkinstr_sndload, "\"" + tone + "\",256");
  Cmd(znkinstr_sndload, "\"" + tone + "\",-1");
  for (FSOUND_SAMPLE* s : gAllSamples) EXPECT_EQ(s, nullptr);
  Cmd(znkinstr_sndload, "\"" + tone + "\",0");
  Cmd(znkinstr_sndload, "\"" + low + "\",255");
  ASSERT_NE(gAllSamples[0], nullptr);
  ASSERT_NE(gAllSamples[255], nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(gAllSamples[255]), 44100u / 5);  // mixed down to mono frames
  Cmd(znkinstr_sndplay, "256,0,0,0");
  Cmd(znkinstr_sndplay, "7,0,0,0");  // empty slot
  EXPECT_FALSE(FSOUND_IsPlaying(0));
  Cmd(znkinstr_sndplay, "0,0,0,0");
  EXPECT_TRUE(FSOUND_IsPlaying(0));
  EXPECT_EQ(FSOUND_GetCurrentSample(0), gAllSamples[0]);
}

TEST_F(SoundCommands, LoadingIntoAnOccupiedSlotFreesTheFirstSample) {
  NullSoundLayer layer;
  Cmd(znkinstr_sndload, "\"" + tone + "\",3");
  FSOUND_SAMPLE* first = gAllSamples[3];
  Cmd(znkinstr_sndplay, "3,0,0,0");
  ASSERT_TRUE(FSOUND_IsPlaying(0));
  Cmd(znkinstr_sndload, "\"" + low + "\",3");
  EXPECT_NE(gAllSamples[3], nullptr);
  EXPECT_FALSE(FSOUND_IsPlaying(0));                      // the first sample's sound went with it
  EXPECT_EQ(FSOUND_Sample_GetLength(first), 0u);          // no longer a sample of the layer
  EXPECT_EQ(FSOUND_Sample_GetLength(gAllSamples[3]), 44100u / 5);
  // A failed load leaves the slot empty, also when it held a sample.
  Cmd(znkinstr_sndload, "\"" + dir.path() + "/none.wav\",3");
  EXPECT_EQ(gAllSamples[3], nullptr);
  Cmd(znkinstr_sndplay, "3,0,0,0");
  EXPECT_FALSE(FSOUND_IsPlaying(0));
}

TEST_F(SoundCommands, PlaySetsDistancesModeAndPosition) {
  NullSoundLayer layer;
  Cmd(znkinstr_sndload, "\"" + tone + "\",1");
  Cmd(znkinstr_sndplay, "1,5,0,0");
  EXPECT_EQ(FSOUND_Sample_GetMode(gAllSamples[1]), 0x1131u);  // loaded positioned, plays once
  EXPECT_TRUE(FSOUND_IsPlaying(0));
  EXPECT_EQ(FSOUND_GetVolume(0), 255);
  Cmd(znkinstr_sndloop, "1,0,0,5");
  EXPECT_EQ(FSOUND_Sample_GetMode(gAllSamples[1]), 0x1132u);
  EXPECT_TRUE(FSOUND_IsPlaying(1));  // a free channel each time while the channel is -1
  layer.Advance(250);
  EXPECT_FALSE(FSOUND_IsPlaying(0));  // the 100 ms one-shot is over
  EXPECT_TRUE(FSOUND_IsPlaying(1));   // the loop goes on
  // With the default channel -1, stopping cannot reach the loop.
  Cmd(znkinstr_sndstop, "-1");
  EXPECT_TRUE(FSOUND_IsPlaying(1));
}

TEST_F(SoundCommands, ALoopOnChannelFiveSoundsUntilStoppedAndMovesWithChanpos) {
  std::string path = dir.path() + "/capture.wav";
  {
    NullSoundLayer layer(path);
    Cmd(znkinstr_sndload, "\"" + tone + "\",0");
    Cmd(znkinstr_channel, "5");
    EXPECT_EQ(gScriptChannel, 5);
    Cmd(znkinstr_sndloop, "0,5,0,0");
    EXPECT_TRUE(FSOUND_IsPlaying(5));
    for (int i = 0; i < 15; ++i) layer.Advance(20);  // 0..300 ms on the right
    Cmd(znkinstr_chanpos, "-5,0,0");
    for (int i = 0; i < 15; ++i) layer.Advance(20);  // 300..600 ms on the left
    Cmd(znkinstr_sndstop, "5");
    EXPECT_FALSE(FSOUND_IsPlaying(5));
    for (int i = 0; i < 15; ++i) layer.Advance(20);  // 600..900 ms silent
  }
  zt::StereoCapture cap = zt::ReadStereo(path);
  EXPECT_GT(Rms(cap.right, cap.rate, 150, 300), 0.2);  // beyond the 100 ms sample: looping
  EXPECT_LT(Rms(cap.left, cap.rate, 0, 300), 1e-6);
  EXPECT_GT(Rms(cap.left, cap.rate, 300, 600), 0.2);
  EXPECT_LT(Rms(cap.right, cap.rate, 300, 600), 1e-6);
  EXPECT_EQ(Rms(cap.left, cap.rate, 600, 900) + Rms(cap.right, cap.rate, 600, 900), 0.0);
}

TEST_F(SoundCommands, LoopPointsMoveTheScriptChannelToTheirStart) {
  NullSoundLayer layer;
  Cmd(znkinstr_sndload, "\"" + tone + "\",2");  // 4410 frames
  Cmd(znkinstr_channel, "3");
  Cmd(znkinstr_sndloop, "2,0,0,0");
  layer.Advance(50);
  Cmd(znkinstr_sndlooppoints, "2,100,600");
  int start = 0, end = 0;
  FSOUND_Sample_GetLoopPoints(gAllSamples[2], &start, &end);
  EXPECT_EQ(start, 100);
  EXPECT_EQ(end, 600);
  EXPECT_EQ(FSOUND_GetCurrentPosition(3), 100u);
  for (int i = 0; i < 20; ++i) {
    layer.Advance(3);
    EXPECT_LE(FSOUND_GetCurrentPosition(3), 600u);
    EXPECT_GE(FSOUND_GetCurrentPosition(3), 100u);
  }
  Cmd(znkinstr_sndlooppoints, "256,0,10");  // slot out of range: nothing
  FSOUND_Sample_GetLoopPoints(gAllSamples[2], &start, &end);
  EXPECT_EQ(end, 600);
}

TEST_F(SoundCommands, EmptyParametersComeFromTheRegisters) {
  NullSoundLayer layer;
  std::snprintf(gScriptVars.strings[0], kStringRegisterSize, "%s", tone.c_str());
  gScriptVars.ints[0] = 9;
  Cmd(znkinstr_sndload, "");
  ASSERT_NE(gAllSamples[9], nullptr);
  Cmd(znkinstr_channel, "");
  EXPECT_EQ(gScriptChannel, 9);
  gScriptVars.floats[0] = 1.0e300;  // beyond a float: clamped, not undefined
  gScriptVars.floats[1] = 2.0;
  gScriptVars.floats[2] = 3.0;
  Cmd(znkinstr_sndloop, "");
  EXPECT_TRUE(FSOUND_IsPlaying(9));
  gScriptVars.ints[1] = 10;
  gScriptVars.ints[2] = 20;
  Cmd(znkinstr_sndlooppoints, "");
  EXPECT_EQ(FSOUND_GetCurrentPosition(9), 10u);
  Cmd(znkinstr_chanpos, "");
  Cmd(znkinstr_sndstop, "");
  EXPECT_FALSE(FSOUND_IsPlaying(9));
  // Garbled parameters leave everything as it was.
  Cmd(znkinstr_channel, "five");
  EXPECT_EQ(gScriptChannel, 9);
  Cmd(znkinstr_sndload, "tone.wav,1");
  EXPECT_EQ(gAllSamples[1], nullptr);
}

TEST_F(SoundCommands, NothingHappensWhileSoundIsOff) {
  NullSoundLayer layer;
  gFMODIsOn = 0;
  Cmd(znkinstr_sndload, "\"" + tone + "\",0");
  EXPECT_EQ(gAllSamples[0], nullptr);
  Cmd(znkinstr_channel, "4");
  EXPECT_EQ(gScriptChannel, -1);
  gFMODIsOn = 1;
  Cmd(znkinstr_sndload, "\"" + tone + "\",0");
  Cmd(znkinstr_sndloop, "0,0,0,0");
  gFMODIsOn = 0;
  Cmd(znkinstr_sndstop, "0");
  EXPECT_TRUE(FSOUND_IsPlaying(0));
}

}  // namespace
