#include <gtest/gtest.h>

#include "mesh/slab_mesher.h"

namespace mesh {
namespace {

// Slabs gather whole layers of blocks up to the limit, a layer beyond it
// alone, and run to the end of the last layer (solid layers count none).
TEST(SlabLayers, GatherLayersUpToTheLimit) {
  const struct {
    std::vector<uint64_t> blocksByLayer;
    uint64_t limit;
    std::vector<int> starts;
  } cases[] = {
      {{}, 4, {0}},
      {{0, 0}, 4, {0, 16}},
      {{1, 2, 1}, 4, {0, 24}},
      {{3, 2, 2}, 4, {0, 8, 24}},
      {{9, 1, 9}, 4, {0, 8, 16, 24}},
      {{1, 1, 1}, 1, {0, 8, 16, 24}},
  };
  for (const auto& c : cases) EXPECT_EQ(slabLayers(c.blocksByLayer, c.limit), c.starts) << c.limit;
}

}  // namespace
}  // namespace mesh
