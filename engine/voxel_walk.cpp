// Voxels of the attractor straight from its sphere tree: no distance
// estimate and no point samples, the same spheres the renderer refines.
#include "voxel_walk.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "frame_buffer.h"
#include "leaf_walk.h"
#include "material.h"

namespace engine {

namespace {

// Leaves of the box walks, in cells: each side of the box is then within a
// fifth of a cell of the attractor's.
constexpr double kBoxLeafCells = 0.1;
// Leaves of the voxel walk, in cells. A sphere inside one cell proves that
// the attractor meets the cell. A leaf marks the cells whose centres it
// covers, its piece of the attractor lying within a cell of them; one that
// covers none is split on down to thin leaves, whose pieces mostly lie
// inside one cell. Quarter-cell leaves everywhere would cost 2^D times the
// spheres of an attractor of dimension D.
constexpr double kVoxelLeafCells = 0.5;
constexpr double kThinLeafCells = 0.25;
// Spheres up to this radius, in cells, are passed over when every cell they
// could mark is marked already: most of a solid's interior then goes
// unwalked.
constexpr double kCheckedReach = 2.0;

Box attractorBox(TraceContext& ctx, double leafRadius) {
  Box box;
  walkTree(ctx, [&box, leafRadius](const SphereNode& node, double r) {
    if (!box.empty() && !box.ballLeaves(node.center, r)) return false;
    if (r >= leafRadius) return true;
    box.addBall(node.center, r);
    return false;
  });
  return box;
}

uint8_t channel(double v) {
  return uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

uint32_t packedColour(const Material& m) {
  return VoxelSlab::kOccupied | uint32_t(channel(m.diffuse.r)) << 16 |
         uint32_t(channel(m.diffuse.g)) << 8 | channel(m.diffuse.b);
}

// Fills one slab from the leaves whose spheres reach into its layers.
class SlabFiller {
 public:
  SlabFiller(TraceContext& ctx, const VoxelGrid& grid) : ctx_(ctx), grid_(grid) {
    slab_.width = grid.counts[0];
    slab_.depth = grid.counts[1];
  }

  const VoxelSlab& fill(int firstLayer) {
    slab_.firstLayer = firstLayer;
    slab_.layers = std::min(kSlabLayers, grid_.counts[2] - firstLayer);
    slab_.cells.assign(size_t(slab_.width) * size_t(slab_.depth) * size_t(slab_.layers), 0);
    const double low = grid_.origin.z + firstLayer * grid_.cellSize;
    const double high = low + slab_.layers * grid_.cellSize;
    const Material* firstMaterial = ctx_.scene.defaultMaterial();
    walkTree(ctx_, [&](const SphereNode& node, double r) {
      if (node.center.z + r < low || node.center.z - r > high) return false;
      const Span span = spanOf(node.center, r);
      if (span.reach <= kCheckedReach && allMarked(span)) return false;
      const auto colour = [&node, firstMaterial] {
        return packedColour(node.material ? *node.material : *firstMaterial);
      };
      if (span.inOneCell()) {
        set(span.from[0], span.from[1], span.from[2], colour());
        return false;
      }
      if (r >= kVoxelLeafCells * grid_.cellSize) return true;
      // A leaf that covers no centre may be a thin piece across cell faces:
      // its smaller spheres find the cells it meets.
      return !markCentres(span, colour()) && r >= kThinLeafCells * grid_.cellSize;
    });
    return slab_;
  }

 private:
  // A sphere in cell units: its centre, radius, and the cells that its
  // bounding box meets.
  struct Span {
    double at[3];
    double reach;
    int from[3], to[3];
    bool inOneCell() const { return from[0] == to[0] && from[1] == to[1] && from[2] == to[2]; }
  };

  Span spanOf(const Vec3& c, double r) const {
    const Vec3 p = (c - grid_.origin) * (1.0 / grid_.cellSize);
    Span span{{p.x, p.y, p.z}, r / grid_.cellSize, {}, {}};
    for (int axis = 0; axis < 3; ++axis) {
      span.from[axis] = int(std::floor(span.at[axis] - span.reach));
      span.to[axis] = int(std::floor(span.at[axis] + span.reach));
    }
    return span;
  }

  // Whether every cell of the slab that the sphere's box meets is marked:
  // nothing inside the sphere can add to the slab then.
  bool allMarked(const Span& span) const {
    for (int k = std::max(span.from[2], slab_.firstLayer);
         k <= std::min(span.to[2], slab_.firstLayer + slab_.layers - 1); ++k)
      for (int j = std::max(span.from[1], 0); j <= std::min(span.to[1], slab_.depth - 1); ++j)
        for (int i = std::max(span.from[0], 0); i <= std::min(span.to[0], slab_.width - 1); ++i)
          if (!slab_.at(i, j, k)) return false;
    return true;
  }

  // Every cell whose centre lies within the sphere; whether there was one.
  bool markCentres(const Span& span, uint32_t colour) {
    bool covered = false;
    // Centres in other slabs count too, so that every slab decides alike.
    const int fromK = std::max(int(std::ceil(span.at[2] - span.reach - 0.5)), 0);
    const int toK = std::min(int(std::floor(span.at[2] + span.reach - 0.5)), grid_.counts[2] - 1);
    const int fromJ = std::max(int(std::ceil(span.at[1] - span.reach - 0.5)), 0);
    const int toJ = std::min(int(std::floor(span.at[1] + span.reach - 0.5)), slab_.depth - 1);
    const int fromI = std::max(int(std::ceil(span.at[0] - span.reach - 0.5)), 0);
    const int toI = std::min(int(std::floor(span.at[0] + span.reach - 0.5)), slab_.width - 1);
    for (int k = fromK; k <= toK; ++k)
      for (int j = fromJ; j <= toJ; ++j)
        for (int i = fromI; i <= toI; ++i) {
          const double d[3] = {i + 0.5 - span.at[0], j + 0.5 - span.at[1], k + 0.5 - span.at[2]};
          if (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] <= span.reach * span.reach) {
            set(i, j, k, colour);
            covered = true;
          }
        }
    return covered;
  }

  // A centre just outside the grid (the box is a fifth of a cell loose)
  // belongs to the cell at the edge.
  void set(int i, int j, int k, uint32_t colour) {
    k = std::clamp(k, 0, grid_.counts[2] - 1);
    if (k < slab_.firstLayer || k >= slab_.firstLayer + slab_.layers) return;
    i = std::clamp(i, 0, slab_.width - 1);
    j = std::clamp(j, 0, slab_.depth - 1);
    uint32_t& cell = slab_.cells[(size_t(k - slab_.firstLayer) * size_t(slab_.depth) + size_t(j)) *
                                     size_t(slab_.width) +
                                 size_t(i)];
    if (!cell) cell = colour;
  }

  TraceContext& ctx_;
  const VoxelGrid& grid_;
  VoxelSlab slab_;
};

int slabCount(const VoxelGrid& grid) {
  return (grid.counts[2] + kSlabLayers - 1) / kSlabLayers;
}

}  // namespace

std::optional<VoxelGrid> attractorGrid(Fractal& scene, int longest) {
  const IfsSet* root = scene.preparedSets();
  if (!root || longest < 1) return std::nullopt;
  TraceContext ctx(scene);
  // The root sphere's diameter over-estimates the longest side: a first box
  // with leaves of that cell size gives the side to refine the box with.
  double cell = 2.0 * std::sqrt(std::max(root->boundRadius2, 0.0)) / longest;
  Box box;
  for (int pass = 0; pass < 2; ++pass) {
    box = attractorBox(ctx, kBoxLeafCells * cell);
    if (scene.canceled || box.empty()) return std::nullopt;
    cell = VoxelGrid::over(box, longest).cellSize;
  }
  return VoxelGrid::over(box, longest);
}

int voxelWorkers(int requested, const VoxelGrid& grid) {
  const int cores = std::max(int(std::thread::hardware_concurrency()), 1);
  return std::clamp(requested > 0 ? requested : cores, 1, std::max(slabCount(grid), 1));
}

uint64_t slabMemory(const VoxelGrid& grid, int workers) {
  return uint64_t(grid.counts[0]) * uint64_t(grid.counts[1]) * kSlabLayers * sizeof(uint32_t) *
         uint64_t(voxelWorkers(workers, grid));
}

bool voxelize(Fractal& scene, const VoxelGrid& grid, int workers, const SlabSink& sink) {
  const int slabs = slabCount(grid);
  std::atomic<int> next{0}, done{0};
  std::atomic<bool> outOfMemory{false};
  std::mutex sinkLock;
  if (scene.frameBuffer) scene.frameBuffer->progress = 0.0;
  const auto work = [&] {
    try {
      TraceContext ctx(scene);
      SlabFiller filler(ctx, grid);
      for (int index; !scene.canceled && (index = next.fetch_add(1)) < slabs;) {
        const VoxelSlab& slab = filler.fill(index * kSlabLayers);
        if (scene.canceled) return;
        const std::lock_guard<std::mutex> lock(sinkLock);
        if (!sink(slab)) scene.canceled = true;
        if (scene.frameBuffer) scene.frameBuffer->progress = ++done * 100.0 / slabs;
      }
    } catch (const std::bad_alloc&) {
      outOfMemory = true;
      scene.canceled = true;
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (int i = 1; i < voxelWorkers(workers, grid); ++i) helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads than asked for: the ones running share all slabs.
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (outOfMemory) return scene.fail("Not enough memory");
  return !scene.canceled;
}

}  // namespace engine
