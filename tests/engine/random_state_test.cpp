#include "engine/random_state.h"

#include <cmath>

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(RandomState, OneStepMultipliesByFiveToTheSeventeenth) {
  RandomState r = RandomState::fromValue(1);
  r.next();
  EXPECT_EQ(r, (RandomState{11973, 2800, 2842}));
  EXPECT_EQ(r.value(), 762939453125ull);

  // The limb arithmetic agrees with a plain 64-bit product over many steps.
  uint64_t x = 0x123456789ull;
  r = RandomState::fromValue(x);
  for (int i = 0; i < 1000; ++i) {
    r.next();
    x = (x * 762939453125ull) & RandomState::kModulusMask;
    ASSERT_EQ(r.value(), x) << "step " << i;
  }
}

TEST(RandomState, SeedThenUnitGivesTheValueTruncatedTo40Bits) {
  RandomState r;
  r.seed(0.5);
  EXPECT_EQ(r.unit(), 0.5);
  r.seed(0.1);
  EXPECT_NEAR(r.unit(), 0.1, 0x1p-40);
  EXPECT_LE(r.unit(), 0.1);
}

TEST(RandomState, SeedOutsideTheUnitIntervalStillGivesAValidState) {
  for (double v : {-3.7, 1.0, 1e30, -1e30, std::nan("")}) {
    RandomState r;
    r.seed(v);
    EXPECT_LT(r.s0, 1u << 14);
    EXPECT_LT(r.s1, 1u << 14);
    EXPECT_LT(r.s2, 1u << 12);
  }
}

TEST(RandomState, ProductIsModulo2To40) {
  const RandomState a = RandomState::fromValue((uint64_t{1} << 39) + 3);
  const RandomState b = RandomState::fromValue(2);
  EXPECT_EQ((a * b).value(), 6u);
}

}  // namespace
}  // namespace engine
