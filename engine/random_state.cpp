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

void RandomState::seed(double v) {
  const double a = v * 4096.0;
  const uint32_t s2 = uint32_t(truncate32(a));
  const double b = (a - truncate32(a)) * 16384.0;
  const uint32_t s1 = uint32_t(truncate32(b));
  const uint32_t s0 = uint32_t(truncate32((b - truncate32(b)) * 16384.0));
  *this = fromLimbs(s0, s1, s2);
}

}  // namespace engine
