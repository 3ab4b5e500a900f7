// Sound commands: loading samples into numbered slots, playing them once or looping as
// positioned sounds, loop points, choosing, moving and stopping channels.
#include "commands/sound_commands.h"

#include <cfloat>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands/commands.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/startup.h"
#include "sound/sound.h"

FSOUND_SAMPLE* gAllSamples[kNumSampleSlots] = {};
int gScriptChannel = -1;

namespace {

constexpr unsigned int kLoadMode = FSOUND_HW3D | FSOUND_SIGNED | FSOUND_MONO | FSOUND_16BITS;  // 0x1130
constexpr unsigned int kPlayOnceMode = FSOUND_SIGNED | FSOUND_MONO | FSOUND_16BITS;           // 0x130
constexpr unsigned int kPlayLoopMode = FSOUND_LOOP_NORMAL;                                    // 2
constexpr float kSoundMinDistance = 4.0f;
constexpr float kSoundMaxDistance = 1000.0f;

bool EmptyParms(const char* parms) { return !parms || !parms[0]; }

// A register's double as a float, without overflow; NaN becomes 0.
float RegisterFloat(int n) {
  double v = gScriptVars.floats[n - 1];
  if (!(v == v)) return 0.0f;
  if (v > FLT_MAX) return FLT_MAX;
  if (v < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(v);
}

FSOUND_SAMPLE* SlotSample(int slot) { return slot >= 0 && slot < kNumSampleSlots ? gAllSamples[slot] : nullptr; }

// Reads slot and position from the parameters or from int register 1 and float registers 1..3.
void ReadSlotAndPosition(const char* parms, int* slot, float pos[3]) {
  *slot = -1;
  pos[0] = pos[1] = pos[2] = 0.0f;
  if (EmptyParms(parms)) {
    *slot = gScriptVars.ints[0];
    for (int i = 0; i < 3; ++i) pos[i] = RegisterFloat(i + 1);
  } else {
    std::sscanf(parms, "%d,%f,%f,%f\n", slot, &pos[0], &pos[1], &pos[2]);
  }
}

void PlaySlot(char* parms, bool loop) {
  if (!gFMODIsOn) return;
  int slot;
  float pos[3];
  ReadSlotAndPosition(parms, &slot, pos);
  FSOUND_SAMPLE* sample = SlotSample(slot);
  if (!sample) return;
  FSOUND_Sample_SetMinMaxDistance(sample, kSoundMinDistance, kSoundMaxDistance);
  FSOUND_Sample_SetMode(sample, loop ? kPlayLoopMode : kPlayOnceMode);
  int channel = FSOUND_PlaySoundEx(gScriptChannel, sample, nullptr, 1);
  FSOUND_3D_SetAttributes(channel, pos, nullptr);
  FSOUND_SetVolume(channel, 255);
  FSOUND_SetPaused(channel, 0);
}

}  // namespace

char* znkinstr_sndload(char* parms, char* buffer) {
  if (!gFMODIsOn) return nullptr;
  std::string name;
  int slot = -1;
  if (EmptyParms(parms)) {
    name.assign(gScriptVars.strings[0], strnlen(gScriptVars.strings[0], kStringRegisterSize));
    slot = gScriptVars.ints[0];
  } else {
    static_assert(kMaxParmsLength == 479, "the scan width below fits the parameter text");
    char scanned[kMaxParmsLength + 1] = "";
    std::sscanf(parms, "\"%479[^\"]\",%d\n", scanned, &slot);
    name = scanned;
  }
  if (slot < 0 || slot >= kNumSampleSlots) return nullptr;
  std::string path = std::string(routePath) + name;
  FixPathString(&path[0]);
  if (gAllSamples[slot]) {
    FSOUND_Sample_Free(gAllSamples[slot]);
    gAllSamples[slot] = nullptr;
  }
  gAllSamples[slot] = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), kLoadMode, 0, 0);
  return nullptr;
}

char* znkinstr_sndplay(char* parms, char* buffer) {
  PlaySlot(parms, false);
  return nullptr;
}

char* znkinstr_sndloop(char* parms, char* buffer) {
  PlaySlot(parms, true);
  return nullptr;
}

char* znkinstr_sndlooppoints(char* parms, char* buffer) {
  if (!gFMODIsOn) return nullptr;
  int slot = -1, start = 0, end = 0;
  if (EmptyParms(parms)) {
    slot = gScriptVars.ints[0];
    start = gScriptVars.ints[1];
    end = gScriptVars.ints[2];
  } else {
    std::sscanf(parms, "%d,%d,%d", &slot, &start, &end);
  }
  FSOUND_SAMPLE* sample = SlotSample(slot);
  if (!sample) return nullptr;
  FSOUND_Sample_SetLoopPoints(sample, start, end);
  if (start >= 0) FSOUND_SetCurrentPosition(gScriptChannel, static_cast<unsigned int>(start));
  return nullptr;
}

char* znkinstr_sndstop(char* parms, char* buffer) {
  if (!gFMODIsOn) return nullptr;
  int channel = -1;
  if (EmptyParms(parms))
    channel = gScriptVars.ints[0];
  else
    std::sscanf(parms, "%d\n", &channel);
  FSOUND_StopSound(channel);
  return nullptr;
}

char* znkinstr_channel(char* parms, char* buffer) {
  if (!gFMODIsOn) return nullptr;
  if (EmptyParms(parms))
    gScriptChannel = gScriptVars.ints[0];
  else
    std::sscanf(parms, "%d\n", &gScriptChannel);
  return nullptr;
}

char* znkinstr_chanpos(char* parms, char* buffer) {
  if (!gFMODIsOn) return nullptr;
  float pos[3] = {0.0f, 0.0f, 0.0f};
  if (EmptyParms(parms)) {
    for (int i = 0; i < 3; ++i) pos[i] = RegisterFloat(i + 1);
  } else {
    std::sscanf(parms, "%f,%f,%f\n", &pos[0], &pos[1], &pos[2]);
  }
  FSOUND_3D_SetAttributes(gScriptChannel, pos, nullptr);
  return nullptr;
}
