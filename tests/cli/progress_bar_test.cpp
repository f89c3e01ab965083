#include "progress_bar.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

using std::chrono::seconds;

TEST(ProgressLine, FillsThirtyCellsAndShowsThePercentageAndTheTimes) {
  EXPECT_EQ(progressLine(0.5, seconds(3), std::nullopt),
            "[------------------------------]   0.50% 0:03");
  EXPECT_EQ(progressLine(50.0, seconds(75), std::nullopt),
            "[###############---------------]  50.00% 1:15, 1:15 left");
  EXPECT_EQ(progressLine(20.0, seconds(1000), std::nullopt),
            "[######------------------------]  20.00% 16:40, 1:06:40 left");
  EXPECT_EQ(progressLine(100.0, seconds(2), 3u),
            "[##############################] 100.00% 0:02, 0:00 left, Frame 3");
  EXPECT_EQ(progressLine(100.5, seconds(2), std::nullopt),
            progressLine(100.0, seconds(2), std::nullopt));
}

}  // namespace
}  // namespace cli
