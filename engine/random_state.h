#pragma once

#include <cstdint>

namespace engine {

// Multiplicative congruential generator X := X * 5^17 mod 2^40, kept in limbs
// of 14, 14 and 12 bits (s0 lowest). Drives "rnd", the colour states of set
// members and sphere nodes, and the random member picks.
struct RandomState {
  uint32_t s0 = 0, s1 = 0, s2 = 0;

  static constexpr uint64_t kModulusMask = (uint64_t{1} << 40) - 1;

  // One generator step.
  void next();
  // The state as a double in [0, 1).
  double unit() const;
  // Sets the state from v in [0, 1); unit() then gives v truncated to 40 bits.
  void seed(double v);

  uint64_t value() const { return uint64_t{s0} | (uint64_t{s1} << 14) | (uint64_t{s2} << 28); }
  static RandomState fromValue(uint64_t x) {
    return {uint32_t(x & 0x3FFF), uint32_t((x >> 14) & 0x3FFF), uint32_t((x >> 28) & 0xFFF)};
  }
  // Product of the two 40-bit numbers modulo 2^40.
  RandomState operator*(const RandomState& b) const {
    return fromValue((value() * b.value()) & kModulusMask);
  }
  bool operator==(const RandomState&) const = default;
};

}  // namespace engine
