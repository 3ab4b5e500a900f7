// Writing the capture WAV file.
#include "sound/sound_capture.h"

#include <cmath>
#include <vector>

namespace {

void Put16(unsigned char* p, uint32_t v) {
  p[0] = v & 0xFF;
  p[1] = (v >> 8) & 0xFF;
}
void Put32(unsigned char* p, uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

void WriteHeader(SoundCapture* capture) {
  // A WAV file's sizes are 32-bit: a capture beyond 4 GB keeps the largest size it can say.
  uint64_t dataBytes = capture->frames * 4;
  if (dataBytes > 0xFFFFFFFFull - 36) dataBytes = 0xFFFFFFFFull - 36;
  unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  Put32(h + 4, static_cast<uint32_t>(36 + dataBytes));
  Put32(h + 16, 16);
  Put16(h + 20, 1);  // PCM
  Put16(h + 22, 2);  // stereo
  Put32(h + 24, static_cast<uint32_t>(capture->rate));
  Put32(h + 28, static_cast<uint32_t>(capture->rate) * 4);
  Put16(h + 32, 4);
  Put16(h + 34, 16);
  h[36] = 'd';
  h[37] = 'a';
  h[38] = 't';
  h[39] = 'a';
  Put32(h + 40, static_cast<uint32_t>(dataBytes));
  std::fseek(capture->file, 0, SEEK_SET);
  std::fwrite(h, 1, sizeof h, capture->file);
  std::fseek(capture->file, 0, SEEK_END);
}

}  // namespace

bool SND_CaptureOpen(SoundCapture* capture, const char* path, int rate) {
  SND_CaptureClose(capture);
  capture->file = std::fopen(path, "wb");
  if (!capture->file) return false;
  capture->rate = rate;
  capture->frames = 0;
  WriteHeader(capture);
  return true;
}

void SND_CaptureWrite(SoundCapture* capture, const float* stereo, size_t frames) {
  if (!capture->file || frames == 0) return;
  std::vector<unsigned char> bytes(frames * 4);
  for (size_t i = 0; i < frames * 2; ++i) {
    float v = stereo[i] * 32767.0f;
    if (!(v == v)) v = 0.0f;
    if (v > 32767.0f) v = 32767.0f;
    if (v < -32768.0f) v = -32768.0f;
    long s = std::lround(v);
    Put16(&bytes[i * 2], static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(s))));
  }
  std::fwrite(bytes.data(), 1, bytes.size(), capture->file);
  capture->frames += frames;
}

void SND_CaptureClose(SoundCapture* capture) {
  if (!capture->file) return;
  WriteHeader(capture);
  std::fclose(capture->file);
  capture->file = nullptr;
}
