// OpenAL Soft backend of the sound layer.
#include "sound/openal_backend.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <vector>

namespace {

ALCdevice* gDevice = nullptr;
ALCcontext* gContext = nullptr;
std::vector<ALuint> gSources;
bool gHaveLoopPoints = false;

bool ValidSource(int index) { return gContext && index >= 0 && index < static_cast<int>(gSources.size()); }

void ApplyLoopPoints(const FSOUND_SAMPLE* sample) {
  if (!gHaveLoopPoints || !sample->alBuffer) return;
  const int frames = static_cast<int>(sample->data.frames());
  if (sample->loopStart < 0 || sample->loopEnd >= frames || sample->loopStart > sample->loopEnd) return;
  ALint points[2] = {sample->loopStart, sample->loopEnd + 1};  // OpenAL's end is exclusive
  alBufferiv(sample->alBuffer, AL_LOOP_POINTS_SOFT, points);
  alGetError();
}

void PlacePosition(ALuint source, const SoundChannel& channel) {
  alSourcei(source, AL_SOURCE_RELATIVE, channel.headRelative ? AL_TRUE : AL_FALSE);
  alSource3f(source, AL_POSITION, channel.position.x, channel.position.y, -channel.position.z);
  alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
}

}  // namespace

bool SndAL_Open(int channels) {
  SndAL_Close();
  gDevice = alcOpenDevice(nullptr);
  if (!gDevice) return false;
  gContext = alcCreateContext(gDevice, nullptr);
  if (!gContext || !alcMakeContextCurrent(gContext)) {
    SndAL_Close();
    return false;
  }
  alGetError();
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  alDopplerFactor(0.0f);
  gHaveLoopPoints = alIsExtensionPresent("AL_SOFT_loop_points") == AL_TRUE;
  gSources.assign(static_cast<size_t>(channels), 0);
  alGenSources(channels, gSources.data());
  if (alGetError() != AL_NO_ERROR) {
    gSources.clear();
    SndAL_Close();
    return false;
  }
  return true;
}

void SndAL_Close() {
  if (gContext) {
    if (!gSources.empty()) {
      for (ALuint s : gSources) alSourceStop(s);
      alDeleteSources(static_cast<ALsizei>(gSources.size()), gSources.data());
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(gContext);
  }
  gSources.clear();
  gContext = nullptr;
  if (gDevice) alcCloseDevice(gDevice);
  gDevice = nullptr;
}

bool SndAL_IsOpen() { return gContext != nullptr; }

void SndAL_UploadSample(FSOUND_SAMPLE* sample) {
  if (!gContext || sample->data.pcm.empty()) return;
  const ALenum format = sample->data.channels == 1 ? AL_FORMAT_MONO16 : sample->data.channels == 2 ? AL_FORMAT_STEREO16 : 0;
  if (!format) return;  // other layouts play only through the software mixer
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, format, sample->data.pcm.data(), static_cast<ALsizei>(sample->data.pcm.size() * sizeof(int16_t)),
               sample->data.rate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return;
  }
  sample->alBuffer = buffer;
  ApplyLoopPoints(sample);
}

void SndAL_FreeSample(FSOUND_SAMPLE* sample) {
  if (!gContext || !sample->alBuffer) return;
  alDeleteBuffers(1, &sample->alBuffer);
  alGetError();
  sample->alBuffer = 0;
}

void SndAL_Start(int index, const SoundChannel& channel) {
  if (!ValidSource(index)) return;
  ALuint source = gSources[index];
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  if (!channel.sample || !channel.sample->alBuffer) return;
  alSourcei(source, AL_BUFFER, static_cast<ALint>(channel.sample->alBuffer));
  alSourcei(source, AL_LOOPING, channel.looping ? AL_TRUE : AL_FALSE);
  alSourcef(source, AL_REFERENCE_DISTANCE, channel.sample->minDistance);
  alSourcef(source, AL_MAX_DISTANCE, channel.sample->maxDistance);
  alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
  alSourcef(source, AL_GAIN, std::clamp(channel.volume, 0, 255) / 255.0f);
  PlacePosition(source, channel);
  alSourcei(source, AL_SAMPLE_OFFSET, static_cast<ALint>(channel.cursor));
  if (!channel.paused) alSourcePlay(source);
  alGetError();
}

void SndAL_Stop(int index) {
  if (!ValidSource(index)) return;
  alSourceStop(gSources[index]);
  alSourcei(gSources[index], AL_BUFFER, 0);
  alGetError();
}

void SndAL_SetPaused(int index, bool paused) {
  if (!ValidSource(index)) return;
  ALint state = AL_STOPPED;
  alGetSourcei(gSources[index], AL_SOURCE_STATE, &state);
  if (paused && state == AL_PLAYING) alSourcePause(gSources[index]);
  if (!paused && (state == AL_PAUSED || state == AL_INITIAL)) alSourcePlay(gSources[index]);
  alGetError();
}

void SndAL_SetVolume(int index, int volume) {
  if (!ValidSource(index)) return;
  alSourcef(gSources[index], AL_GAIN, std::clamp(volume, 0, 255) / 255.0f);
}

void SndAL_SetPosition(int index, const SoundChannel& channel) {
  if (!ValidSource(index)) return;
  PlacePosition(gSources[index], channel);
}

void SndAL_SetOffset(int index, unsigned int frame) {
  if (!ValidSource(index)) return;
  alSourcei(gSources[index], AL_SAMPLE_OFFSET, static_cast<ALint>(std::min<unsigned int>(frame, 0x7FFFFFFF)));
  alGetError();
}

unsigned int SndAL_GetOffset(int index) {
  if (!ValidSource(index)) return 0;
  ALint offset = 0;
  alGetSourcei(gSources[index], AL_SAMPLE_OFFSET, &offset);
  return offset > 0 ? static_cast<unsigned int>(offset) : 0;
}

bool SndAL_IsSounding(int index) {
  if (!ValidSource(index)) return false;
  ALint state = AL_STOPPED;
  alGetSourcei(gSources[index], AL_SOURCE_STATE, &state);
  return state == AL_PLAYING || state == AL_PAUSED;
}

void SndAL_SetLoopPoints(FSOUND_SAMPLE* sample, const int* users, int userCount) {
  if (!gContext || !sample->alBuffer) return;
  struct Saved {
    int index;
    ALint state, offset;
  };
  std::vector<Saved> saved;
  for (int i = 0; i < userCount; ++i) {
    if (!ValidSource(users[i])) continue;
    ALuint source = gSources[users[i]];
    Saved s{users[i], AL_STOPPED, 0};
    alGetSourcei(source, AL_SOURCE_STATE, &s.state);
    alGetSourcei(source, AL_SAMPLE_OFFSET, &s.offset);
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    saved.push_back(s);
  }
  ApplyLoopPoints(sample);
  for (const Saved& s : saved) {
    ALuint source = gSources[s.index];
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->alBuffer));
    alSourcei(source, AL_SAMPLE_OFFSET, s.offset);
    if (s.state == AL_PLAYING) alSourcePlay(source);
    if (s.state == AL_PAUSED) {
      alSourcePlay(source);
      alSourcePause(source);
    }
  }
  alGetError();
}

void SndAL_SetListener(const SoundListener& l) {
  if (!gContext) return;
  alListener3f(AL_POSITION, l.position.x, l.position.y, -l.position.z);
  alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
  const ALfloat orientation[6] = {l.forward.x, l.forward.y, -l.forward.z, l.up.x, l.up.y, -l.up.z};
  alListenerfv(AL_ORIENTATION, orientation);
}
