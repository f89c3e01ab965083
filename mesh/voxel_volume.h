#pragma once

#include <atomic>
#include <cstdint>

#include <openvdb/openvdb.h>

#include "engine/voxel_grid.h"

namespace engine {
struct VoxelSlab;
}

namespace mesh {

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
  // Named "colour", with the cells' material colours (0 to 1) at the
  // surface. The first cell's colour is the background and is not stored:
  // most scenes have one material, and a colour voxel takes three times the
  // memory of a level set voxel.
  openvdb::Vec3SGrid::Ptr colours() const { return colours_; }
  const openvdb::math::Transform& transform() const { return occupancy_->transform(); }

 private:
  openvdb::MaskGrid::Ptr occupancy_;
  openvdb::Vec3SGrid::Ptr colours_;
  uint32_t firstColour_ = 0;  // of the first cell added; 0 before
};

}  // namespace mesh
