#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "voxel_grid.h"

namespace engine {

class Fractal;

// A few consecutive layers (constant k) of a voxel grid: one packed value a
// cell, 0 for a cell that the attractor does not meet, else kOccupied with
// the colour of the material there as 0xRRGGBB.
struct VoxelSlab {
  static constexpr uint32_t kOccupied = 1u << 24;

  int firstLayer = 0, layers = 0;
  int width = 0, depth = 0;  // cells along x and y
  std::vector<uint32_t> cells;

  uint32_t at(int i, int j, int k) const {
    return cells[(size_t(k - firstLayer) * size_t(depth) + size_t(j)) * size_t(width) + size_t(i)];
  }
};

// The layers that one slab holds: a multiple of 8, so that slabs fill whole
// blocks of the sparse volumes built from them.
inline constexpr int kSlabLayers = 8;

// The grid whose longest side has `longest` cells over the box around the
// attractor of the prepared scene's root set; nothing when stopped.
std::optional<VoxelGrid> attractorGrid(Fractal& scene, int longest);

// Bytes that voxelize holds at once besides what the sink keeps.
uint64_t slabMemory(const VoxelGrid& grid, int workers);

// Hands every slab of `grid` to `sink`, which gets one slab at a time (from
// any worker) and returns false to stop. A cell is occupied when the
// attractor meets it: when a sphere of the tree, refined below half a cell,
// covers its centre or has its own centre in it. The scene must be prepared;
// `workers` threads walk the tree, 0 one per core. The frame buffer's
// progress goes from 0 to 100. False when stopped or out of memory (the
// scene's renderError says so).
using SlabSink = std::function<bool(const VoxelSlab&)>;
bool voxelize(Fractal& scene, const VoxelGrid& grid, int workers, const SlabSink& sink);

// The worker count that voxelize uses for a request.
int voxelWorkers(int requested, const VoxelGrid& grid);

}  // namespace engine
