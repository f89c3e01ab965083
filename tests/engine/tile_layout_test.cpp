#include "engine/tile_layout.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(TileLayout, DefaultBudgetGivesTheTileSidesOfWholePixels) {
  EXPECT_EQ(layoutTiles(320, 240, 1, 512000).side, 67);
  EXPECT_EQ(layoutTiles(640, 480, 2, 512000).side, 66);
  EXPECT_EQ(layoutTiles(960, 720, 3, 512000).side, 66);
  EXPECT_EQ(layoutTiles(1280, 960, 4, 512000).side, 64);
  // The records of a tile stay within the budget.
  EXPECT_LE(layoutTiles(320, 240, 1, 512000).records * 112, 512000u);
}

TEST(TileLayout, TilesRunColumnByColumnAndTheLastOnesAreNarrower) {
  const TileLayout layout = layoutTiles(150, 100, 1, 512000);
  ASSERT_EQ(layout.side, 67);
  EXPECT_EQ(layout.columns, 3);
  EXPECT_EQ(layout.rows, 2);
  const TileLayout::Bounds second = layout.tile(1);
  EXPECT_EQ(second.x0, 0);
  EXPECT_EQ(second.y0, 67);
  EXPECT_EQ(second.y1, 100);
  const TileLayout::Bounds last = layout.tile(5);
  EXPECT_EQ(last.x0, 134);
  EXPECT_EQ(last.x1, 150);
  EXPECT_EQ(last.y1, 100);
}

TEST(TileLayout, AnImageWithinTheBudgetIsOneTile) {
  const TileLayout layout = layoutTiles(50, 40, 1, 512000);
  EXPECT_EQ(layout.count(), 1);
  EXPECT_EQ(layout.records, 2000u);
}

TEST(TileLayout, ALargeBudgetStillGivesEveryWorkerTiles) {
  const TileLayout layout = layoutTiles(640, 480, 1, uint64_t(1) << 40);
  EXPECT_EQ(layout.side, TileLayout::kMaxSide);
  EXPECT_GE(layout.count(), 16);
  EXPECT_EQ(layout.records, size_t(TileLayout::kMaxSide) * TileLayout::kMaxSide);
  // Whole pixels with antialiasing as well.
  EXPECT_EQ(layoutTiles(1920, 1440, 3, uint64_t(1) << 40).side % 3, 0);
}

TEST(TileLayout, ATinyBudgetStillGivesOnePixel) {
  const TileLayout layout = layoutTiles(300, 300, 4, 112 * 4);
  EXPECT_EQ(layout.side, 4);
  EXPECT_GE(layout.records, 16u);
  EXPECT_EQ(layoutTiles(0, 10, 1, 512000).count(), 0);
}

}  // namespace
}  // namespace engine
