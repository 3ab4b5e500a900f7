// The sound layer's front: the loaded samples, the channels and the listener, handed on to
// OpenAL and, for the null and capture backends, to the software mixer paced by the game clock.
#include "sound/sound.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "shell/output.h"
#include "shell/timed_tasks.h"
#include "sound/openal_backend.h"
#include "sound/sound_capture.h"
#include "sound/sound_mixer.h"
#include "sound/sound_state.h"

int gFMODIsOn = 0;

namespace {

SoundOptions gSoundOptions;
bool gInitialised = false;
bool gSoftMix = false;  // channels advance by game time through the software mixer
int gMixRate = kSoundMixRate;
std::vector<SoundChannel> gChannels;
std::vector<std::unique_ptr<FSOUND_SAMPLE>> gSamples;  // every sample the layer owns
SoundListener gListener;
SoundCapture gCapture;
uint64_t gStartSerial = 0;
uint32_t gMixClock = 0;       // gCurrentTime up to which the mix has run
uint64_t gMixedMs = 0;        // game milliseconds mixed since start
uint64_t gMixedFrames = 0;    // output frames mixed since start
FSOUND_SAMPLE* gBeepSample = nullptr;

bool ValidChannel(int channel) { return gInitialised && channel >= 0 && channel < static_cast<int>(gChannels.size()); }

bool KnownSample(const FSOUND_SAMPLE* sptr) {
  if (!sptr) return false;
  for (const auto& s : gSamples)
    if (s.get() == sptr) return true;
  return false;
}

bool ChannelBusy(int i) {
  const SoundChannel& ch = gChannels[i];
  if (!ch.sample) return false;
  if (ch.paused || gSoftMix) return true;
  return SndAL_IsSounding(i);
}

void FreeChannel(int i) {
  gChannels[i].sample = nullptr;
  gChannels[i].paused = false;
  if (SndAL_IsOpen()) SndAL_Stop(i);
}

int ChooseFreeChannel() {
  int oldest = 0;
  for (int i = 0; i < static_cast<int>(gChannels.size()); ++i) {
    if (!ChannelBusy(i)) return i;
    if (gChannels[i].startSerial < gChannels[oldest].startSerial) oldest = i;
  }
  return oldest;
}

// Mixes the game time that passed since the last call; the capture file receives it.
void AdvanceMix() {
  uint32_t elapsed = gCurrentTime - gMixClock;  // wraps like the clock
  gMixClock = gCurrentTime;
  gMixedMs += elapsed;
  const uint64_t target = gMixedMs * static_cast<uint64_t>(gMixRate) / 1000;
  constexpr size_t kBlock = 4096;
  std::vector<float> block;
  while (gMixedFrames < target) {
    size_t frames = static_cast<size_t>(std::min<uint64_t>(target - gMixedFrames, kBlock));
    block.assign(frames * 2, 0.0f);
    SND_MixChannels(gChannels.data(), static_cast<int>(gChannels.size()), gListener, gMixRate, block.data(), frames);
    SND_CaptureWrite(&gCapture, block.data(), frames);
    gMixedFrames += frames;
  }
}

FSOUND_SAMPLE* AddSample(SoundData data, unsigned int mode) {
  auto sample = std::make_unique<FSOUND_SAMPLE>();
  sample->data = std::move(data);
  sample->mode = mode;
  sample->loopStart = 0;
  sample->loopEnd = static_cast<int>(sample->data.frames()) - 1;
  SndAL_UploadSample(sample.get());
  gSamples.push_back(std::move(sample));
  return gSamples.back().get();
}

FSOUND_SAMPLE* MakeBeepSample() {
  // 880 Hz for 150 ms with 5 ms fades, so it neither clicks nor lingers.
  SoundData data;
  data.rate = kSoundMixRate;
  data.channels = 1;
  const int frames = kSoundMixRate * 150 / 1000;
  const int fade = kSoundMixRate * 5 / 1000;
  data.pcm.resize(frames);
  for (int i = 0; i < frames; ++i) {
    double envelope = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
    data.pcm[i] = static_cast<int16_t>(std::lround(12000.0 * envelope * std::sin(2.0 * 3.14159265358979323846 * 880.0 * i / kSoundMixRate)));
  }
  return AddSample(std::move(data), FSOUND_16BITS | FSOUND_MONO | FSOUND_SIGNED | FSOUND_LOOP_OFF);
}

}  // namespace

void SND_Configure(const SoundOptions& options) { gSoundOptions = options; }

bool FSOUND_Init(int mixrate, int maxchannels, unsigned int flags) {
  if (gInitialised) FSOUND_Close();
  gMixRate = mixrate > 0 && mixrate <= 192000 ? mixrate : kSoundMixRate;
  const int channels = std::clamp(maxchannels, 1, kSoundMaxChannels);
  gChannels.assign(static_cast<size_t>(channels), SoundChannel());
  gListener = SoundListener();
  gStartSerial = 0;
  gMixClock = gCurrentTime;
  gMixedMs = 0;
  gMixedFrames = 0;

  bool ok = true;
  if (!gSoundOptions.nullDevice) ok = SndAL_Open(channels);
  const bool capturing = !gSoundOptions.captureFile.empty();
  if (capturing && !SND_CaptureOpen(&gCapture, gSoundOptions.captureFile.c_str(), gMixRate))
    OutputToConsoleF("// Could not write the sound capture file \"%s\".\n", gSoundOptions.captureFile.c_str());
  gSoftMix = capturing || !SndAL_IsOpen();
  gInitialised = true;
  return ok;
}

void FSOUND_Close() {
  if (!gInitialised) return;
  if (gSoftMix) AdvanceMix();
  for (int i = 0; i < static_cast<int>(gChannels.size()); ++i) FreeChannel(i);
  for (auto& s : gSamples) SndAL_FreeSample(s.get());
  gSamples.clear();
  gBeepSample = nullptr;
  SndAL_Close();
  SND_CaptureClose(&gCapture);
  gChannels.clear();
  gInitialised = false;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length) {
  if (!gInitialised || !name) return nullptr;
  SoundData data;
  std::string error;
  SoundDecodeResult result = SND_DecodeFile(name, &data, &error);
  if (result == kSoundFileMissing) return nullptr;
  if (result != kSoundDecoded) {
    // The decoder's reason differs between library versions, so it stays off the console.
    OutputToConsoleF("// Could not read the sound file \"%s\".\n", name);
    return nullptr;
  }
  if ((mode & FSOUND_MONO) || (mode & FSOUND_HW3D)) SND_MixDownToMono(&data);
  return AddSample(std::move(data), mode);
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sptr) {
  if (!KnownSample(sptr)) return;
  for (int i = 0; i < static_cast<int>(gChannels.size()); ++i)
    if (gChannels[i].sample == sptr) FreeChannel(i);
  SndAL_FreeSample(sptr);
  if (sptr == gBeepSample) gBeepSample = nullptr;
  gSamples.erase(std::remove_if(gSamples.begin(), gSamples.end(), [&](const auto& s) { return s.get() == sptr; }),
                 gSamples.end());
}

bool FSOUND_Sample_SetMinMaxDistance(FSOUND_SAMPLE* sptr, float mindistance, float maxdistance) {
  if (!KnownSample(sptr) || !(mindistance > 0.0f) || !(maxdistance >= mindistance)) return false;
  sptr->minDistance = mindistance;
  sptr->maxDistance = maxdistance;
  return true;
}

bool FSOUND_Sample_SetMode(FSOUND_SAMPLE* sptr, unsigned int mode) {
  if (!KnownSample(sptr)) return false;
  const unsigned int loopBits = FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI;
  unsigned int loop = mode & loopBits;
  if (!loop) loop = FSOUND_LOOP_OFF;
  sptr->mode = (sptr->mode & ~loopBits) | loop;
  return true;
}

bool FSOUND_Sample_SetLoopPoints(FSOUND_SAMPLE* sptr, int loopstart, int loopend) {
  if (!KnownSample(sptr)) return false;
  const int last = static_cast<int>(sptr->data.frames()) - 1;
  loopstart = std::clamp(loopstart, 0, last);
  loopend = std::clamp(loopend, 0, last);
  if (loopstart > loopend) return false;
  sptr->loopStart = loopstart;
  sptr->loopEnd = loopend;
  std::vector<int> users;
  for (int i = 0; i < static_cast<int>(gChannels.size()); ++i)
    if (gChannels[i].sample == sptr) users.push_back(i);
  SndAL_SetLoopPoints(sptr, users.data(), static_cast<int>(users.size()));
  return true;
}

int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sptr, void* dsp, signed char startpaused) {
  if (!gInitialised || !KnownSample(sptr)) return -1;
  if (channel == FSOUND_FREE) channel = ChooseFreeChannel();
  if (!ValidChannel(channel)) return -1;
  FreeChannel(channel);
  SoundChannel& ch = gChannels[channel];
  ch.sample = sptr;
  ch.paused = startpaused != 0;
  ch.looping = SampleLoops(sptr);
  ch.headRelative = false;
  ch.volume = 255;
  ch.cursor = 0.0;
  ch.startSerial = ++gStartSerial;
  SndAL_Start(channel, ch);
  return channel;
}

bool FSOUND_StopSound(int channel) {
  if (!ValidChannel(channel)) return false;
  FreeChannel(channel);
  return true;
}

bool FSOUND_SetPaused(int channel, signed char paused) {
  if (!ValidChannel(channel) || !gChannels[channel].sample) return false;
  gChannels[channel].paused = paused != 0;
  SndAL_SetPaused(channel, paused != 0);
  return true;
}

bool FSOUND_SetVolume(int channel, int vol) {
  if (!ValidChannel(channel)) return false;
  gChannels[channel].volume = std::clamp(vol, 0, 255);
  SndAL_SetVolume(channel, gChannels[channel].volume);
  return true;
}

bool FSOUND_SetCurrentPosition(int channel, unsigned int offset) {
  if (!ValidChannel(channel) || !gChannels[channel].sample) return false;
  SoundChannel& ch = gChannels[channel];
  const size_t frames = ch.sample->data.frames();
  if (offset >= frames) return false;
  ch.cursor = offset;
  SndAL_SetOffset(channel, offset);
  return true;
}

bool FSOUND_3D_SetAttributes(int channel, const float* pos, const float* vel) {
  if (!ValidChannel(channel)) return false;
  if (pos) {
    for (int i = 0; i < 3; ++i)
      if (!std::isfinite(pos[i])) return false;
    gChannels[channel].position = {pos[0], pos[1], pos[2]};
    SndAL_SetPosition(channel, gChannels[channel]);
  }
  return true;
}

void FSOUND_3D_Listener_SetAttributes(const float* pos, const float* vel, float fx, float fy, float fz, float tx,
                                      float ty, float tz) {
  if (!gInitialised) return;
  if (pos && std::isfinite(pos[0]) && std::isfinite(pos[1]) && std::isfinite(pos[2]))
    gListener.position = {pos[0], pos[1], pos[2]};
  gListener.forward = {fx, fy, fz};
  gListener.up = {tx, ty, tz};
  SndAL_SetListener(gListener);
  if (gSoftMix) AdvanceMix();
}

bool FSOUND_IsPlaying(int channel) { return ValidChannel(channel) && ChannelBusy(channel) && !gChannels[channel].paused; }

bool FSOUND_GetPaused(int channel) { return ValidChannel(channel) && gChannels[channel].sample && gChannels[channel].paused; }

int FSOUND_GetVolume(int channel) { return ValidChannel(channel) ? gChannels[channel].volume : 0; }

unsigned int FSOUND_GetCurrentPosition(int channel) {
  if (!ValidChannel(channel) || !ChannelBusy(channel)) return 0;
  if (gSoftMix) return static_cast<unsigned int>(gChannels[channel].cursor);
  return SndAL_GetOffset(channel);
}

FSOUND_SAMPLE* FSOUND_GetCurrentSample(int channel) {
  return ValidChannel(channel) && ChannelBusy(channel) ? gChannels[channel].sample : nullptr;
}

unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sptr) {
  return KnownSample(sptr) ? static_cast<unsigned int>(sptr->data.frames()) : 0;
}

unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sptr) { return KnownSample(sptr) ? sptr->mode : 0; }

bool FSOUND_Sample_GetLoopPoints(FSOUND_SAMPLE* sptr, int* loopstart, int* loopend) {
  if (!KnownSample(sptr)) return false;
  if (loopstart) *loopstart = sptr->loopStart;
  if (loopend) *loopend = sptr->loopEnd;
  return true;
}

void SND_Beep() {
  if (!gInitialised || !gFMODIsOn) return;
  if (!gBeepSample) gBeepSample = MakeBeepSample();
  int channel = FSOUND_PlaySoundEx(FSOUND_FREE, gBeepSample, nullptr, 1);
  if (channel < 0) return;
  gChannels[channel].headRelative = true;
  gChannels[channel].position = {0.0f, 0.0f, 0.0f};
  SndAL_SetPosition(channel, gChannels[channel]);
  FSOUND_SetPaused(channel, 0);
}
