// The capture file: a stereo 16-bit PCM WAV file that receives the mixed sound; its sizes are
// filled in when it is finished.
#pragma once
#include <cstdint>
#include <cstdio>

struct SoundCapture {
  FILE* file = nullptr;
  int rate = 0;
  uint64_t frames = 0;  // stereo frames written
};

bool SND_CaptureOpen(SoundCapture* capture, const char* path, int rate);
// Appends `frames` stereo frames, each value clamped to 16 bits.
void SND_CaptureWrite(SoundCapture* capture, const float* stereo, size_t frames);
// Writes the final sizes and closes the file.
void SND_CaptureClose(SoundCapture* capture);
