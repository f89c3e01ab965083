#include "random_state.h"

#include <cmath>

namespace engine {

namespace {

// Truncation toward zero to a 32-bit integer; values the integer cannot hold
// (and NaN) are clamped instead of being undefined.
int32_t truncate32(double v) {
  if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;
  if (!(v < 2147483648.0)) return INT32_MAX;
  return int32_t(v);
}

}  // namespace

void RandomState::next() {
  // Limbs of the multiplier 5^17 = 762939453125 are 11973, 2800 and 2842; the
  // third row is written with the negative remainders that keep 32 bits enough.
  const uint32_t t0 = 11973u * s0;
  const uint32_t t1 = 2800u * s0 + 11973u * s1 + (t0 >> 14);
  const uint32_t t2 = (t1 >> 14) - 1254u * s0 - 1296u * s1 - 315u * s2;
  s0 = t0 & 0x3FFF;
  s1 = t1 & 0x3FFF;
  s2 = t2 & 0xFFF;
}

double RandomState::unit() const {
  return s2 * 0x1p-12 + s1 * 0x1p-26 + s0 * 0x1p-40;
}

void RandomState::seed(double v) {
  const double a = v * 4096.0;
  s2 = uint32_t(truncate32(a)) & 0xFFF;
  const double b = (a - truncate32(a)) * 16384.0;
  s1 = uint32_t(truncate32(b)) & 0x3FFF;
  s0 = uint32_t(truncate32((b - truncate32(b)) * 16384.0)) & 0x3FFF;
}

}  // namespace engine
