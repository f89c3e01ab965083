#include "engine/tile_layout.h"

#include <vector>

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(TileLayout, SidesOfWholePixelsWithinTheBudget) {
  const struct {
    int width, height, antialiasing;
    uint64_t budget;
    int side, columns, rows;
  } cases[] = {
      {320, 240, 1, 512000, 67, 5, 4},
      {640, 480, 2, 512000, 66, 10, 8},
      {960, 720, 3, 512000, 66, 15, 11},
      {1280, 960, 4, 512000, 64, 20, 15},
      {150, 100, 1, 512000, 67, 3, 2},
      {50, 40, 1, 512000, 72, 1, 1},
      {640, 480, 1, uint64_t(1) << 40, 72, 9, 7},  // every worker still gets tiles
      {1920, 1440, 3, uint64_t(1) << 40, 72, 27, 20},
      {300, 300, 4, 112 * 4, 4, 75, 75},  // a tiny budget still gives one pixel
      {0, 10, 1, 512000, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const TileLayout layout = layoutTiles(c.width, c.height, c.antialiasing, c.budget);
    EXPECT_EQ(layout.side, c.side) << c.width;
    EXPECT_EQ(layout.columns, c.columns) << c.width;
    EXPECT_EQ(layout.rows, c.rows) << c.width;
    EXPECT_TRUE(layout.side == c.antialiasing || layout.records * 112 <= c.budget);
  }
}

TEST(TileLayout, TilesRunColumnByColumnAndTheLastOnesAreNarrower) {
  const TileLayout layout = layoutTiles(150, 100, 1, 512000);
  const TileLayout::Bounds second = layout.tile(1), last = layout.tile(5);
  EXPECT_EQ((std::vector<int>{second.x0, second.y0, second.x1, second.y1}),
            (std::vector<int>{0, 67, 67, 100}));
  EXPECT_EQ((std::vector<int>{last.x0, last.y0, last.x1, last.y1}),
            (std::vector<int>{134, 67, 150, 100}));
}

}  // namespace
}  // namespace engine
