#include <set>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"
#include "attractor_scripts.h"
#include "engine/voxel_walk.h"

namespace engine {
namespace {

using lang::testing::Interpreter;
using lang::testing::sceneOf;

struct Voxels {
  VoxelGrid grid;
  size_t cells = 0;  // occupied ones
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
    for (const uint32_t cell : slab.cells) v.cells += cell != 0;
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
// matches its level n fills 20^n of them, its holes left empty, whatever the
// slabs and workers. (The colours of the cells reach the mesh test's PLY points.)
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
    EXPECT_EQ(v.cells, c.cells) << c.longest;
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(v.grid.counts[axis], c.longest);
    EXPECT_NEAR(v.grid.cellSize, 2.0 / c.longest, 0.5 * 2.0 / c.longest / c.longest);
    // Every slab once, each a whole number of blocks.
    std::multiset<int> starts(v.slabStarts.begin(), v.slabStarts.end());
    for (int k = 0; k < c.longest; k += kSlabLayers) EXPECT_EQ(starts.count(k), 1u) << k;
    EXPECT_EQ(starts.size(), size_t((c.longest + kSlabLayers - 1) / kSlabLayers));
  }
}

TEST(Voxelize, ConformalSetsGiveVoxelsInsideTheirBound) {
  auto s = sceneOf(testing::kEightSpheres, 40, 30, FractalType::Conformal);
  const Voxels v = voxelsOf(*s, 32);
  ASSERT_TRUE(v.done);
  EXPECT_GT(v.cells, 100u);
  EXPECT_LT(v.cells, size_t(v.grid.cellCount()) / 2);
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
