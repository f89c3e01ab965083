#include "attractor_export.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <numeric>
#include <optional>
#include <utility>

#include <openvdb/io/File.h>

#include "engine/fractal.h"
#include "engine/voxel_walk.h"
#include "mesh_file.h"
#include "shell/atomic_file.h"
#include "slab_mesher.h"
#include "voxel_volume.h"

namespace mesh {

namespace {

// Peaks per block of 8x8x8 occupied cells, measured on the Menger sponge
// (256 and 512 cells) and the Sierpinski tetrahedron (256 to 1024 cells),
// with room to spare: of the occupied cells and their colours, held all
// along; of one slab's level set, mesher and part of the mesh (some 26 KiB
// a block, its margins included); of the level set of all cells
// for the volume file (11 KiB); of the whole mesh with Assimp's copy and
// output for glTF and 3MF (148 KiB).
constexpr uint64_t kCellBytesPerBlock = 1024;
constexpr uint64_t kSlabBytesPerBlock = 32 * 1024;
constexpr uint64_t kLevelSetBytesPerBlock = 16 * 1024;
constexpr uint64_t kMeshBytesPerBlock = 160 * 1024;

std::string mebibytes(uint64_t bytes) {
  return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

// Occupied blocks of 8x8x8 cells by their layer along z: the cells of the
// grid with an eighth of the cells along each side.
std::optional<std::vector<uint64_t>> occupiedBlocks(engine::Fractal& scene, int voxels,
                                                    int workers) {
  const std::optional<engine::VoxelGrid> coarse = engine::attractorGrid(scene, (voxels + 7) / 8);
  if (!coarse) return std::nullopt;
  std::vector<uint64_t> blocks(size_t(coarse->counts[2]));
  const bool done =
      engine::voxelize(scene, *coarse, workers, [&blocks](const engine::VoxelSlab& s) {
        const size_t layerCells = size_t(s.width) * size_t(s.depth);
        for (size_t i = 0; i < s.cells.size(); ++i)
          blocks[size_t(s.firstLayer) + i / layerCells] += s.cells[i] != 0;
        return true;
      });
  if (!done) return std::nullopt;
  return blocks;
}

std::string writeVolume(const VoxelVolume& volume, const std::atomic<bool>& canceled,
                        const std::string& path) {
  const openvdb::FloatGrid::Ptr surface = volume.levelSet(canceled);
  if (!surface) return {};
  shell::AtomicFile file(path);
  if (!file.open()) return file.error();
  try {
    openvdb::io::File vdb(file.writePath().string());
    vdb.write({surface, volume.colours()});
    vdb.close();
  } catch (const openvdb::Exception& e) {
    file.abandon(errno);
    return e.what();
  }
  return file.commit() ? std::string() : file.error();
}

// Passes the parts of the mesh on and measures them.
class MeasuringWriter : public MeshWriter {
 public:
  MeasuringWriter(MeshWriter& to, ExportResult& result) : to_(to), result_(result) {}

  void add(const MeshPiece& piece) override {
    result_.triangles += piece.mesh->triangles.size();
    result_.volume += enclosedVolume(*piece.mesh);
    result_.area += surfaceArea(*piece.mesh);
    to_.add(piece);
  }
  bool finish() override { return to_.finish(); }

 private:
  MeshWriter& to_;
  ExportResult& result_;
};

}  // namespace

uint64_t exportMemory(const std::vector<uint64_t>& blocksByLayer, const ExportRequest& request) {
  const uint64_t blocks = std::accumulate(blocksByLayer.begin(), blocksByLayer.end(), uint64_t(0));
  uint64_t bytes = blocks * kCellBytesPerBlock;
  if (!request.volumeFile.empty()) bytes += blocks * kLevelSetBytesPerBlock;
  if (request.meshFile.empty()) return bytes;
  // A slab takes its blocks, or one layer beyond the limit, and its margins.
  const uint64_t layer =
      blocksByLayer.empty() ? 0 : *std::max_element(blocksByLayer.begin(), blocksByLayer.end());
  const uint64_t margins = 2 * uint64_t(kLevelSetReach / 8) * layer;
  bytes += std::min(blocks, std::max(request.blocksPerSlab, layer) + margins) * kSlabBytesPerBlock;
  if (MeshFile::gathers(*meshFormatOf(request.meshFile))) bytes += blocks * kMeshBytesPerBlock;
  return bytes;
}

ExportResult exportAttractor(engine::Fractal& scene, const ExportRequest& request) {
  ExportResult result;
  const auto failed = [&result](std::string error, const std::string& file = {}) {
    result.error = std::move(error);
    result.unwritableFile = file;
    return result;
  };
  const std::optional<engine::VoxelGrid> grid = engine::attractorGrid(scene, request.voxels);
  if (!grid) return failed(scene.canceled ? "" : "Set is void");
  if (request.memoryBudget) {
    const std::optional<std::vector<uint64_t>> blocks =
        occupiedBlocks(scene, request.voxels, request.workers);
    if (!blocks) return result;
    const uint64_t needed =
        engine::slabMemory(*grid, request.workers) + exportMemory(*blocks, request);
    if (needed > request.memoryBudget)
      return failed("The export of " + std::to_string(request.voxels) + " cells would need about " +
                    mebibytes(needed) + " of memory, more than the " +
                    mebibytes(request.memoryBudget) + " available");
  }

  VoxelVolume volume(*grid);
  const bool walked =
      engine::voxelize(scene, *grid, request.workers, [&volume](const engine::VoxelSlab& slab) {
        volume.add(slab);
        return true;
      });
  if (!walked) return failed(scene.renderError);
  result.cells = volume.occupiedCells();
  if (result.cells == 0) return failed("Set is void");
  if (!request.volumeFile.empty()) {
    const std::string failure = writeVolume(volume, scene.canceled, request.volumeFile);
    if (!failure.empty()) return failed(failure, request.volumeFile);
  }
  if (request.meshFile.empty() || scene.canceled) return result;

  MeshFile file(*meshFormatOf(request.meshFile), request.meshFile);
  const std::string unopened = file.open();
  if (!unopened.empty()) return failed(unopened, request.meshFile);
  MeasuringWriter measured(file, result);
  const SlabMeshing how{request.adaptivity, request.meshScale, request.blocksPerSlab};
  if (!meshInSlabs(volume, how, measured, scene.canceled)) return result;
  if (!measured.finish()) return failed(file.error(), request.meshFile);
  return result;
}

}  // namespace mesh
