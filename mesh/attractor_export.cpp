#include "attractor_export.h"

#include <cerrno>
#include <cmath>
#include <optional>
#include <utility>

#include <openvdb/io/File.h>

#include "engine/fractal.h"
#include "engine/voxel_walk.h"
#include "level_set_mesh.h"
#include "mesh_file.h"
#include "shell/atomic_file.h"
#include "voxel_volume.h"

namespace mesh {

namespace {

// Measured peak of the level set, the colours, the mesh and its file per
// block of occupied cells, with room to spare (Menger sponge and Sierpinski
// tetrahedron at 256 and 512 cells).
constexpr uint64_t kBytesPerBlock = 48 * 1024;

std::string mebibytes(uint64_t bytes) {
  return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

// Occupied blocks of 8x8x8 cells: the cells of the grid with an eighth of
// the cells along each side.
std::optional<uint64_t> occupiedBlocks(engine::Fractal& scene, int voxels, int workers) {
  const std::optional<engine::VoxelGrid> coarse = engine::attractorGrid(scene, (voxels + 7) / 8);
  if (!coarse) return std::nullopt;
  uint64_t blocks = 0;
  const bool done =
      engine::voxelize(scene, *coarse, workers, [&blocks](const engine::VoxelSlab& s) {
        for (const uint32_t cell : s.cells) blocks += cell != 0;
        return true;
      });
  if (!done) return std::nullopt;
  return blocks;
}

std::string writeVolume(const VoxelVolume& volume, const openvdb::FloatGrid::Ptr& surface,
                        const std::string& path) {
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

void scale(SurfaceMesh& mesh, double factor) {
  for (auto& p : mesh.points)
    for (float& v : p) v = float(v * factor);
}

}  // namespace

uint64_t exportMemory(uint64_t blocks) {
  return blocks * kBytesPerBlock;
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
    const std::optional<uint64_t> blocks = occupiedBlocks(scene, request.voxels, request.workers);
    if (!blocks) return result;
    const uint64_t needed = engine::slabMemory(*grid, request.workers) + exportMemory(*blocks);
    if (needed > request.memoryBudget)
      return failed("The export of " + std::to_string(request.voxels) + " cells would need about " +
                    mebibytes(needed) + " of memory, more than the " +
                    mebibytes(request.memoryBudget) + " available");
  }

  // The grids go before the mesh is written: at most one of the two large
  // things is held while a file is written.
  SurfaceMesh mesh;
  {
    VoxelVolume volume(*grid);
    const bool walked =
        engine::voxelize(scene, *grid, request.workers, [&volume](const engine::VoxelSlab& slab) {
          volume.add(slab);
          return true;
        });
    if (!walked) return failed(scene.renderError);
    result.cells = volume.occupiedCells();
    if (result.cells == 0) return failed("Set is void");
    const openvdb::FloatGrid::Ptr surface = volume.levelSet(scene.canceled);
    if (!surface) return result;
    if (!request.volumeFile.empty()) {
      const std::string failure = writeVolume(volume, surface, request.volumeFile);
      if (!failure.empty()) return failed(failure, request.volumeFile);
    }
    if (request.meshFile.empty() || scene.canceled) return result;
    mesh = meshLevelSet(*surface, request.adaptivity, volume.colours().get());
  }
  scale(mesh, request.meshScale);
  result.triangles = mesh.triangles.size();
  result.volume = enclosedVolume(mesh);
  result.area = surfaceArea(mesh);
  if (scene.canceled) return result;
  const std::string failure =
      writeMeshFile(mesh, *meshFormatOf(request.meshFile), request.meshFile);
  if (!failure.empty()) return failed(failure, request.meshFile);
  return result;
}

}  // namespace mesh
