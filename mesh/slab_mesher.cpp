// Each slab is meshed from the level set of its cells and those within
// kLevelSetReach of it, which agrees with the level set of all cells inside
// the slab and a little beyond: the polygons that the mesher makes across
// a face between slabs come out alike from both, each is kept by the slab
// that holds its centre, and the points they share are joined by place.
#include "slab_mesher.h"

#include "level_set_mesh.h"
#include "piece_joiner.h"
#include "voxel_volume.h"

namespace mesh {

namespace {

constexpr int kBlockCells = 8;

// The z in world coordinates of the face below a layer of cells.
double faceBelow(const VoxelVolume& volume, int layer) {
  return volume.transform().indexToWorld(openvdb::Vec3d(0, 0, layer - 0.5)).z();
}

void scale(SurfaceMesh& mesh, double factor) {
  if (factor == 1.0) return;
  for (auto& p : mesh.points)
    for (float& v : p) v = float(v * factor);
}

}  // namespace

std::vector<int> slabLayers(const std::vector<uint64_t>& blocksByLayer, uint64_t blocksPerSlab) {
  std::vector<int> starts;
  uint64_t held = 0;
  for (size_t layer = 0; layer < blocksByLayer.size(); ++layer) {
    if (starts.empty() || held + blocksByLayer[layer] > blocksPerSlab) {
      starts.push_back(int(layer) * kBlockCells);
      held = 0;
    }
    held += blocksByLayer[layer];
  }
  starts.push_back(int(blocksByLayer.size()) * kBlockCells);
  return starts;
}

bool meshInSlabs(const VoxelVolume& volume, const SlabMeshing& how, MeshWriter& writer,
                 const std::atomic<bool>& canceled) {
  const std::vector<int> starts = slabLayers(volume.surfaceBlocksByLayer(), how.blocksPerSlab);
  const double cell = volume.transform().voxelSize()[0];
  // Polygons of merged cells reach across a block or two.
  PieceJoiner joiner(kLevelSetReach * cell * how.scale);
  for (size_t slab = 0; slab + 1 < starts.size(); ++slab) {
    const int first = starts[slab], end = starts[slab + 1];
    const openvdb::FloatGrid::Ptr levelSet =
        volume.levelSet(canceled, first - kLevelSetReach, end + kLevelSetReach);
    if (!levelSet) return false;
    // The lowest and highest slabs take everything beyond them.
    const double low = slab == 0 ? -HUGE_VAL : faceBelow(volume, first);
    const double high = slab + 2 == starts.size() ? HUGE_VAL : faceBelow(volume, end);
    SurfaceMesh part = meshLevelSet(*levelSet, how.adaptivity, volume.colours().get(), low, high);
    scale(part, how.scale);
    writer.add(joiner.join(part, low * how.scale, high * how.scale));
    if (canceled) return false;
  }
  return true;
}

}  // namespace mesh
