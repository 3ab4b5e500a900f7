// Screenshots: draws one frame (optionally several jittered passes averaged in the
// context's accumulation buffer, or in memory when it has none), reads it back and writes it as a PNG file of our own making.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

extern uint32_t crc_table[256];
extern int crc_table_computed;

void make_crc_table();
uint32_t update_crc(uint32_t crc, const unsigned char* buf, int len);
uint32_t crc(const unsigned char* buf, int len);

// Projections shifted by a sub-pixel amount (pixdx, pixdy in pixels) for jittered passes.
void accFrustum(double left, double right, double bottom, double top, double near2, double far2, double pixdx,
                double pixdy, double eyedx, double eyedy, double focus);
void accPerspective(double fovy, double aspect, double near2, double far2, double pixdx, double pixdy,
                    double eyedx, double eyedy, double focus);

// The PNG file bytes of an image given bottom row first as RGBA (what GL reads back);
// the file holds RGB, or RGBA with `alphaChannel`, top row first.
std::vector<unsigned char> EncodeScreenshotPNG(const unsigned char* rgbaBottomUp, int width, int height,
                                               int alphaChannel);

// Draws the frame, reads the screen back and writes the file. numFSAA 2, 4, 8, 15 or 16
// averages that many jittered passes; `supersamplingAA` asks for 16 passes when numFSAA is 0.
// Returns 1 when the file was written; failures are reported with a "//" line.
int SaveScreenshotToPNG(const char* fullPath, int alphaChannel, int supersamplingAA, int numFSAA);
