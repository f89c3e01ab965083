#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include <openvdb/openvdb.h>

#include "engine/voxel_grid.h"

namespace engine {
struct VoxelSlab;
}

namespace mesh {

// How many cells inwards from a cut through the occupied cells the level
// set of the cells on one side differs from the level set of all: it is
// made with a dilation and an erosion of one cell and three steps of a
// stencil one cell wide. A block more, to spare.
inline constexpr int kLevelSetReach = 16;

// The occupied cells of a voxel grid as sparse OpenVDB grids, filled slab
// by slab: the occupancy, whose solid blocks collapse into tiles as each
// slab is added, and the colours of the cells at the surface. Voxel (i, j, k)
// is the grid's cell (i, j, k); the transform puts it at the cell's centre
// in the script's coordinates.
class VoxelVolume {
 public:
  explicit VoxelVolume(const engine::VoxelGrid& grid);

  void add(const engine::VoxelSlab& slab);

  uint64_t occupiedCells() const { return occupancy_->activeVoxelCount(); }
  // The narrow-band signed distance whose zero lies on the faces between
  // occupied and empty cells; null when stopped.
  openvdb::FloatGrid::Ptr levelSet(const std::atomic<bool>& canceled) const;
  // The same for the cells of the layers from `first` up to before `end`
  // only: around the layers' faces it differs from the whole level set,
  // and agrees with it from kLevelSetReach layers inside on.
  openvdb::FloatGrid::Ptr levelSet(const std::atomic<bool>& canceled, int first, int end) const;
  // Blocks of 8x8x8 cells at the surface (those neither empty nor full), by
  // their layer of blocks along z.
  std::vector<uint64_t> surfaceBlocksByLayer() const;
  // Named "colour", with the cells' material colours (0 to 1) at the
  // surface. The first cell's colour is the background and is not stored:
  // most scenes have one material, and a colour voxel takes three times the
  // memory of a level set voxel.
  openvdb::Vec3SGrid::Ptr colours() const { return colours_; }
  const openvdb::math::Transform& transform() const { return occupancy_->transform(); }

 private:
  static openvdb::FloatGrid::Ptr levelSetOf(const openvdb::MaskGrid& cells,
                                            const std::atomic<bool>& canceled);

  openvdb::MaskGrid::Ptr occupancy_;
  openvdb::Vec3SGrid::Ptr colours_;
  uint32_t firstColour_ = 0;  // of the first cell added; 0 before
};

}  // namespace mesh
