#include "shell/duration.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

constexpr uint64_t kMs = 10000, kSec = 1000 * kMs, kMin = 60 * kSec, kHour = 60 * kMin,
                   kDay = 24 * kHour;

TEST(Duration, WritesTheTwoLargestUnitsFromTheFirstNonZeroOne) {
  EXPECT_EQ(formatDuration(5 * kSec + 250 * kMs), "5 sec 250 ms");
  EXPECT_EQ(formatDuration(2 * kDay + 3 * kHour), "2 days 3 h");
  EXPECT_EQ(formatDuration(1 * kDay + 5 * kMin), "1 day 0 h");
  EXPECT_EQ(formatDuration(0), "0 ms");
  EXPECT_EQ(formatDuration(1 * kMin + 999 * kMs), "1 min 0 sec");
}

}  // namespace
}  // namespace shell
