#include <map>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"
#include "attractor_scripts.h"
#include "engine/voxel_walk.h"

namespace engine {
namespace {

using lang::testing::Interpreter;
using lang::testing::sceneOf;
using Cell = std::tuple<int, int, int>;

struct Voxels {
  VoxelGrid grid;
  std::map<Cell, uint32_t> cells;  // occupied ones with their packed colour
  std::vector<int> slabStarts;
  bool done = false;
};

Voxels voxelsOf(Interpreter& s, int longest, int workers = 1) {
  Voxels v;
  EXPECT_TRUE(s.scene->prepare()) << s.scene->renderError;
  const std::optional<VoxelGrid> grid = attractorGrid(*s.scene, longest);
  if (!grid) return v;
  v.grid = *grid;
  v.done = voxelize(*s.scene, v.grid, workers, [&v](const VoxelSlab& slab) {
    v.slabStarts.push_back(slab.firstLayer);
    for (int k = slab.firstLayer; k < slab.firstLayer + slab.layers; ++k)
      for (int j = 0; j < slab.depth; ++j)
        for (int i = 0; i < slab.width; ++i)
          if (const uint32_t c = slab.at(i, j, k)) v.cells[{i, j, k}] = c;
    return true;
  });
  return v;
}

TEST(VoxelGrid, LongestSideGetsTheCellCountAndTheOthersCoverTheirSide) {
  const struct {
    Vec3 size;
    int longest;
    int counts[3];
  } cases[] = {
      {{2, 2, 2}, 16, {16, 16, 16}}, {{4, 1, 2}, 8, {8, 2, 4}}, {{1, 3, 0.9}, 10, {4, 10, 3}},
      {{0, 0, 5}, 5, {1, 1, 5}},     {{0, 0, 0}, 7, {1, 1, 1}},
  };
  for (const auto& c : cases) {
    Box box;
    box.addBall({1, 2, 3}, 0);
    box.addBall(Vec3(1, 2, 3) + c.size, 0);
    const VoxelGrid grid = VoxelGrid::over(box, c.longest);
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(grid.counts[axis], c.counts[axis]) << axis;
    EXPECT_EQ(grid.origin, Vec3(1, 2, 3));
  }
}

// A solid fills exactly the cells of its box; the sponge of a grid that
// matches its level n fills 20^n of them, whatever the slabs and workers.
TEST(Voxelize, FillsTheCellsThatTheAttractorMeets) {
  const struct {
    const std::string* script;
    int longest, workers;
    size_t cells;
  } cases[] = {
      {&testing::kSolidCube, 8, 1, 8 * 8 * 8},        {&testing::kSolidCube, 20, 2, 20 * 20 * 20},
      {&testing::kSolidCube, 13, 3, 13 * 13 * 13},    {&testing::kMengerSponge, 9, 1, 400},
      {&testing::kMengerSponge, 27, 2, 20 * 20 * 20},
  };
  for (const auto& c : cases) {
    auto s = sceneOf(*c.script);
    const Voxels v = voxelsOf(*s, c.longest, c.workers);
    ASSERT_TRUE(v.done) << c.longest;
    EXPECT_EQ(v.cells.size(), c.cells) << c.longest;
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(v.grid.counts[axis], c.longest);
    EXPECT_NEAR(v.grid.cellSize, 2.0 / c.longest, 0.5 * 2.0 / c.longest / c.longest);
    // Every slab once, each a whole number of blocks.
    std::multiset<int> starts(v.slabStarts.begin(), v.slabStarts.end());
    for (int k = 0; k < c.longest; k += kSlabLayers) EXPECT_EQ(starts.count(k), 1u) << k;
    EXPECT_EQ(starts.size(), size_t((c.longest + kSlabLayers - 1) / kSlabLayers));
  }
}

// The sponge's level-3 holes stay empty: the centre cross and each face
// centre of a level-1 block.
TEST(Voxelize, LeavesTheSpongesHolesEmpty) {
  auto s = sceneOf(testing::kMengerSponge);
  const Voxels v = voxelsOf(*s, 27);
  const Cell holes[] = {{13, 13, 13}, {13, 13, 0}, {0, 13, 13}, {4, 4, 0}, {1, 1, 1}, {4, 1, 1}};
  const Cell solids[] = {{0, 0, 0}, {26, 26, 26}, {2, 0, 0}, {9, 0, 0}};
  for (const Cell& c : holes) EXPECT_FALSE(v.cells.count(c)) << std::get<0>(c);
  for (const Cell& c : solids) EXPECT_TRUE(v.cells.count(c)) << std::get<0>(c);
}

TEST(Voxelize, KeepsEachMaterialsColourInItsCells) {
  auto s = sceneOf(testing::kTwoColouredCubes);
  const Voxels v = voxelsOf(*s, 24);
  ASSERT_EQ(v.grid.counts[0], 24);
  const struct {
    Cell cell;
    uint32_t colour;
  } cases[] = {
      {{0, 0, 0}, 0xFF0000}, {{7, 7, 7}, 0xFF0000}, {{16, 3, 4}, 0x0000FF}, {{23, 7, 0}, 0x0000FF}};
  for (const auto& c : cases) {
    ASSERT_TRUE(v.cells.count(c.cell)) << std::get<0>(c.cell);
    EXPECT_EQ(v.cells.at(c.cell), VoxelSlab::kOccupied | c.colour) << std::get<0>(c.cell);
  }
  EXPECT_FALSE(v.cells.count({11, 3, 3}));  // the gap between them
  EXPECT_EQ(v.cells.size(), 2u * 8 * 8 * 8);
}

TEST(Voxelize, ConformalSetsGiveVoxelsInsideTheirBound) {
  auto s = sceneOf(testing::kEightSpheres, 40, 30, FractalType::Conformal);
  const Voxels v = voxelsOf(*s, 32);
  ASSERT_TRUE(v.done);
  EXPECT_GT(v.cells.size(), 100u);
  EXPECT_LT(v.cells.size(), size_t(v.grid.cellCount()) / 2);
  // The eight spheres lie in the cube of the corners, radius 0.99 around each.
  EXPECT_GT(v.grid.origin.x, -2.0);
  EXPECT_LT(v.grid.origin.x + 32 * v.grid.cellSize, 2.0 + 1e-9);
}

TEST(Voxelize, StopsWhenCanceledAndWhenTheSinkRefuses) {
  for (const bool byFlag : {true, false}) {
    auto s = sceneOf(testing::kSolidCube);
    ASSERT_TRUE(s->scene->prepare());
    const std::optional<VoxelGrid> grid = attractorGrid(*s->scene, 16);
    ASSERT_TRUE(grid);
    int slabs = 0;
    if (byFlag) s->scene->canceled = true;
    EXPECT_FALSE(voxelize(*s->scene, *grid, 1, [&slabs](const VoxelSlab&) {
      ++slabs;
      return false;
    }));
    EXPECT_EQ(slabs, byFlag ? 0 : 1);
  }
}

}  // namespace
}  // namespace engine
