// Fuzz target of the sound file reader: any bytes decode or are refused, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sound/sound_decode.h"

// Leaks inside the decoding libraries themselves (libvorbis keeps a block on some malformed
// Ogg streams even after sf_close) are theirs, not the reader's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libvorbis\nleak:libogg\nleak:libFLAC\nleak:libmpg123\nleak:libopus\nleak:libsndfile\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SoundData sound;
  std::string error;
  if (SND_DecodeMemory(data, size, &sound, &error) == kSoundDecoded) SND_MixDownToMono(&sound);
  return 0;
}
