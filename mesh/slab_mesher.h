#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "mesh_writer.h"

namespace mesh {

class VoxelVolume;

// Blocks of 8x8x8 surface cells that one slab takes by default: some
// 230 MiB of level set, mesher and triangles. Each slab meshes a margin on
// either side as well, so thinner slabs cost time.
inline constexpr uint64_t kBlocksPerSlab = 1 << 13;

// How the surface of a voxel volume is meshed.
struct SlabMeshing {
  double adaptivity = 0.0;  // of the mesher, 0 to 1
  double scale = 1.0;       // the points are the volume's coordinates times this
  // Blocks of 8x8x8 surface cells that one slab takes, at least a layer of
  // them: the memory of the meshing grows with this, not with the surface.
  uint64_t blocksPerSlab = kBlocksPerSlab;
};

// The slabs of whole layers of blocks, from the blocks of each layer: the
// first layer of each slab and, last, the end of the last.
std::vector<int> slabLayers(const std::vector<uint64_t>& blocksByLayer, uint64_t blocksPerSlab);

// Meshes the surface of the occupied cells slab by slab along z and hands
// each slab's triangles to `writer` as a part of one closed mesh: no slab's
// level set or triangles are held beyond it. False when stopped.
bool meshInSlabs(const VoxelVolume& volume, const SlabMeshing& how, MeshWriter& writer,
                 const std::atomic<bool>& canceled);

}  // namespace mesh
