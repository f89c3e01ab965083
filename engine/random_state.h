#pragma once

#include <cstdint>

namespace engine {

// Multiplicative congruential generator X := X * 5^17 mod 2^40. Drives
// "rnd", the colour states of set members and sphere nodes, and the random
// member picks. Seeds are cut into limbs of 14, 14 and 12 bits (the lowest
// first); the state itself is kept whole, so that a node's split multiplies
// states with one product.
struct RandomState {
  uint64_t x = 0;  // below 2^40

  static constexpr uint64_t kModulusMask = (uint64_t{1} << 40) - 1;
  static constexpr uint64_t kMultiplier = 762939453125;  // 5^17

  // One generator step.
  void next() { x = (x * kMultiplier) & kModulusMask; }
  // The state as a double in [0, 1).
  double unit() const { return double(x) * 0x1p-40; }
  // Sets the state from v in [0, 1); unit() then gives v truncated to 40 bits.
  void seed(double v);

  uint64_t value() const { return x; }
  static constexpr RandomState fromValue(uint64_t v) { return {v & kModulusMask}; }
  // The state of limbs s0, s1 (14 bits each) and s2 (12 bits), lowest first.
  static constexpr RandomState fromLimbs(uint32_t s0, uint32_t s1, uint32_t s2) {
    return {(uint64_t{s0} & 0x3FFF) | (uint64_t{s1} & 0x3FFF) << 14 | (uint64_t{s2} & 0xFFF) << 28};
  }
  // Product of the two 40-bit numbers modulo 2^40.
  RandomState operator*(const RandomState& b) const { return {(x * b.x) & kModulusMask}; }
  bool operator==(const RandomState&) const = default;
};

}  // namespace engine
