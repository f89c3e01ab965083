#include "engine/random_state.h"

#include <cmath>

#include <gtest/gtest.h>

namespace engine {
namespace {

// Steps and products wrap at 2^40.
TEST(RandomState, StepsAndProductsAreModulo2To40) {
  uint64_t x = 0x123456789ull;
  RandomState r = RandomState::fromValue(x);
  for (int i = 0; i < 1000; ++i) {
    r.next();
    x = (x * 762939453125ull) & RandomState::kModulusMask;  // 5^17
    ASSERT_EQ(r.value(), x) << "step " << i;
  }
  const RandomState a = RandomState::fromValue((uint64_t{1} << 39) + 3);
  EXPECT_EQ((a * RandomState::fromValue(2)).value(), 6u);
}

TEST(RandomState, SeedThenUnitGivesTheValueTruncatedTo40Bits) {
  RandomState r;
  r.seed(0.5);
  EXPECT_EQ(r.unit(), 0.5);
  r.seed(0.1);
  EXPECT_NEAR(r.unit(), 0.1, 0x1p-40);
  EXPECT_LE(r.unit(), 0.1);
  // Seeds outside the unit interval still give a state below 2^40.
  for (double v : {-3.7, 1.0, 1e30, -1e30, std::nan("")}) {
    r.seed(v);
    EXPECT_LE(r.value(), RandomState::kModulusMask) << v;
  }
  // The limbs of a seed, lowest first.
  EXPECT_EQ(RandomState::fromLimbs(1, 2, 3).value(), 1u + (2u << 14) + (uint64_t{3} << 28));
}

}  // namespace
}  // namespace engine
