#include "engine/random_state.h"

#include <cmath>
#include <utility>

#include <gtest/gtest.h>

namespace engine {
namespace {

// The states follow X := X * 5^17 mod 2^40 (worked out apart, in exact
// integers), so that scenes keep their colours; products wrap at 2^40.
TEST(RandomState, StepsFollowTheGeneratorAndProductsWrap) {
  RandomState r = RandomState::fromValue(0x123456789);
  const std::pair<int, uint64_t> expected[] = {
      {1, 0x6c579f4a6d}, {2, 0x8eaeffdbe1}, {1000, 0x38bff746e9}};
  int steps = 0;
  for (const auto& [step, value] : expected) {
    for (; steps < step; ++steps) r.next();
    EXPECT_EQ(r.value(), value) << "step " << step;
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
}

}  // namespace
}  // namespace engine
