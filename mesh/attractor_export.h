#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "slab_mesher.h"

namespace engine {
class Fractal;
}

namespace mesh {

// How far the mesher may merge cells of flat regions into larger triangles,
// 0 (never) to 1.
inline constexpr double kDefaultAdaptivity = 0.1;

// What an export makes of the attractor of a prepared scene.
struct ExportRequest {
  int voxels = 256;        // cells along the longest side of the attractor's box
  std::string meshFile;    // by its extension (mesh_file.h); empty: no mesh
  std::string volumeFile;  // OpenVDB file; empty: none
  double meshScale = 1.0;  // the mesh's points are the script's coordinates times this
  double adaptivity = kDefaultAdaptivity;  // of the mesher, 0 to 1
  int workers = 0;                         // threads of the voxel walk; 0: one per core
  uint64_t memoryBudget = 0;               // bytes the export may take; 0: no limit
  // Blocks of 8x8x8 surface cells meshed at once (slab_mesher.h).
  uint64_t blocksPerSlab = kBlocksPerSlab;
};

struct ExportResult {
  // Empty when done or stopped (the scene's canceled flag), else why not.
  std::string error;
  // The file that could not be written, error being the system's reason.
  std::string unwritableFile;
  uint64_t cells = 0;  // occupied
  uint64_t triangles = 0;
  double volume = 0.0, area = 0.0;  // of the mesh, in its scaled units
};

// Voxelizes the attractor of the scene's prepared root set, turns the cells
// into a level set and writes what the request asks for. An export that
// would need more than the budget is refused before the voxel walk with the
// memory it would need. The scene's canceled flag stops it.
ExportResult exportAttractor(engine::Fractal& scene, const ExportRequest& request);

// The bytes that the request's export needs besides the walk's slabs, from
// the blocks of 8x8x8 occupied cells in each layer of blocks along z. The
// mesh formats that Assimp writes hold the whole mesh; the others hold one
// slab of it.
uint64_t exportMemory(const std::vector<uint64_t>& blocksByLayer, const ExportRequest& request);

}  // namespace mesh
