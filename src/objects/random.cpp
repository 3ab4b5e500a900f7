// RANROT: the engine's random generator, two 32-bit words stepped by shifts and adds.
#include <cstdint>

#include "objects/vector_math.h"

uint32_t gRANROT_m_high = 0;
uint32_t gRANROT_m_low = 0;

uint32_t RANROT_init(uint32_t seed) {
  gRANROT_m_low = seed;
  gRANROT_m_high = ~seed;
  return gRANROT_m_high;
}

uint32_t RANROT_rand() {
  // The high word shifted right with its sign kept, plus the high word shifted left: for a
  // negative high word this is not a rotation.
  int32_t high = static_cast<int32_t>(gRANROT_m_high);
  uint32_t shiftedRight = static_cast<uint32_t>(high >> 16);
  gRANROT_m_high = shiftedRight + (gRANROT_m_high << 16);
  gRANROT_m_high += gRANROT_m_low;
  gRANROT_m_low += gRANROT_m_high;
  return gRANROT_m_high;
}

int MyRandom() { return static_cast<int>(RANROT_rand()); }
