#include "voxel_volume.h"

#include <openvdb/tools/TopologyToLevelSet.h>

#include "engine/voxel_walk.h"

namespace mesh {

namespace {

// Half the width of the level set's band, in voxels: the mesher needs only
// the voxels on either side of the surface.
constexpr int kBandHalfWidth = 1;

// Stops OpenVDB's operations when the build is stopped.
struct CancelInterrupter : openvdb::util::NullInterrupter {
  explicit CancelInterrupter(const std::atomic<bool>& flag) : canceled(flag) {}
  bool wasInterrupted(int = -1) override { return canceled; }
  const std::atomic<bool>& canceled;
};

openvdb::Vec3s colourOf(uint32_t cell) {
  return {float((cell >> 16) & 0xFF) / 255.0f, float((cell >> 8) & 0xFF) / 255.0f,
          float(cell & 0xFF) / 255.0f};
}

}  // namespace

VoxelVolume::VoxelVolume(const engine::VoxelGrid& grid) {
  openvdb::initialize();
  const double s = grid.cellSize;
  auto transform = openvdb::math::Transform::createLinearTransform(s);
  transform->postTranslate(
      openvdb::Vec3d(grid.origin.x + 0.5 * s, grid.origin.y + 0.5 * s, grid.origin.z + 0.5 * s));
  occupancy_ = openvdb::MaskGrid::create();
  occupancy_->setTransform(transform);
  colours_ = openvdb::Vec3SGrid::create();
  colours_->setTransform(transform->copy());
  colours_->setName("colour");
}

void VoxelVolume::add(const engine::VoxelSlab& slab) {
  auto occupied = occupancy_->getAccessor();
  auto colours = colours_->getAccessor();
  const int last = slab.firstLayer + slab.layers - 1;
  const auto empty = [&slab](int i, int j, int k) {
    return i < 0 || j < 0 || i >= slab.width || j >= slab.depth || !slab.at(i, j, k);
  };
  for (int k = slab.firstLayer; k <= last; ++k)
    for (int j = 0; j < slab.depth; ++j)
      for (int i = 0; i < slab.width; ++i) {
        const uint32_t cell = slab.at(i, j, k);
        if (!cell) continue;
        const openvdb::Coord at(i, j, k);
        occupied.setValueOn(at);
        if (!firstColour_) {
          firstColour_ = cell;
          colours_->tree().root().setBackground(colourOf(cell), /*updateChildNodes=*/false);
        }
        if (cell == firstColour_) continue;
        // The neighbours beyond the slab are unknown: its end layers count
        // as surface.
        const bool surface = k == slab.firstLayer || k == last || empty(i - 1, j, k) ||
                             empty(i + 1, j, k) || empty(i, j - 1, k) || empty(i, j + 1, k) ||
                             !slab.at(i, j, k - 1) || !slab.at(i, j, k + 1);
        if (surface) colours.setValue(at, colourOf(cell));
      }
  // Whole blocks of occupied cells become tiles.
  occupancy_->tree().prune();
}

openvdb::FloatGrid::Ptr VoxelVolume::levelSet(const std::atomic<bool>& canceled) const {
  return levelSetOf(*occupancy_, canceled);
}

openvdb::FloatGrid::Ptr VoxelVolume::levelSet(const std::atomic<bool>& canceled, int first,
                                              int end) const {
  const openvdb::MaskGrid::Ptr layers = occupancy_->deepCopy();
  const openvdb::CoordBBox box = occupancy_->evalActiveVoxelBoundingBox();
  layers->tree().clip(openvdb::CoordBBox(openvdb::Coord(box.min().x(), box.min().y(), first),
                                         openvdb::Coord(box.max().x(), box.max().y(), end - 1)));
  return levelSetOf(*layers, canceled);
}

std::vector<uint64_t> VoxelVolume::surfaceBlocksByLayer() const {
  using Leaf = openvdb::MaskGrid::TreeType::LeafNodeType;
  // Solid blocks are tiles, and count as layers without surface.
  const openvdb::CoordBBox box = occupancy_->evalActiveVoxelBoundingBox();
  std::vector<uint64_t> blocks(box.empty() ? 0 : size_t(box.max().z() / int(Leaf::DIM) + 1));
  for (auto leaf = occupancy_->tree().cbeginLeaf(); leaf; ++leaf)
    ++blocks[size_t(leaf->origin().z() / int(Leaf::DIM))];
  return blocks;
}

openvdb::FloatGrid::Ptr VoxelVolume::levelSetOf(const openvdb::MaskGrid& cells,
                                                const std::atomic<bool>& canceled) {
  CancelInterrupter interrupter(canceled);
  // No closing: a hole of one cell is part of the attractor's shape.
  openvdb::FloatGrid::Ptr grid =
      openvdb::tools::topologyToLevelSet(cells, kBandHalfWidth, /*closingSteps=*/0,
                                         /*dilation=*/0, /*smoothingSteps=*/0, &interrupter);
  if (canceled) return nullptr;
  grid->setName("surface");
  return grid;
}

}  // namespace mesh
