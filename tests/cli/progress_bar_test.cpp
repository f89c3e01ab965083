#include "progress_bar.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(ProgressLine, FillsThirtyCellsAndShowsThePercentage) {
  EXPECT_EQ(progressLine(0.0, std::nullopt), "[------------------------------]   0.00%");
  EXPECT_EQ(progressLine(50.0, std::nullopt), "[###############---------------]  50.00%");
  EXPECT_EQ(progressLine(100.0, 3u), "[##############################] 100.00%, Frame 3");
  EXPECT_EQ(progressLine(100.5, std::nullopt), progressLine(100.0, std::nullopt));
}

}  // namespace
}  // namespace cli
