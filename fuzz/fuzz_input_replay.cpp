// libFuzzer target for the --input replay reader: any file must load or be refused with a
// message, and the changes it holds must apply pass by pass without leaving the key table.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "shell/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/zyntrel-fuzz-replay-" + std::to_string(getpid()) + ".txt";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  if (LoadInputReplay(path))
    for (long pass = 0; pass < 64; pass++) ApplyReplayedInput(pass);
  return 0;
}
