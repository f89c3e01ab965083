#include "attractor_export.h"

#include <cerrno>
#include <cmath>
#include <optional>

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

std::string exportAttractor(engine::Fractal& scene, const ExportRequest& request,
                            ExportFigures& figures) {
  const std::optional<engine::VoxelGrid> grid = engine::attractorGrid(scene, request.voxels);
  if (!grid) return scene.canceled ? "" : "Set is void";
  if (request.memoryBudget) {
    const std::optional<uint64_t> blocks = occupiedBlocks(scene, request.voxels, request.workers);
    if (!blocks) return "";
    const uint64_t needed = engine::slabMemory(*grid, request.workers) + exportMemory(*blocks);
    if (needed > request.memoryBudget)
      return "The export of " + std::to_string(request.voxels) + " cells would need about " +
             mebibytes(needed) + " of memory, more than the " + mebibytes(request.memoryBudget) +
             " available";
  }

  VoxelVolume volume(*grid);
  const bool walked =
      engine::voxelize(scene, *grid, request.workers, [&volume](const engine::VoxelSlab& slab) {
        volume.add(slab);
        return true;
      });
  if (!walked) return scene.renderError;
  figures.cells = volume.occupiedCells();
  if (figures.cells == 0) return "Set is void";
  const openvdb::FloatGrid::Ptr surface = volume.levelSet(scene.canceled);
  if (!surface) return "";
  if (!request.volumeFile.empty()) {
    const std::string failure = writeVolume(volume, surface, request.volumeFile);
    if (!failure.empty()) return "cannot write volume '" + request.volumeFile + "': " + failure;
  }
  if (request.meshFile.empty() || scene.canceled) return "";
  SurfaceMesh mesh = meshLevelSet(*surface, request.adaptivity, volume.colours().get());
  scale(mesh, request.meshScale);
  figures.triangles = mesh.triangles.size();
  figures.volume = enclosedVolume(mesh);
  figures.area = surfaceArea(mesh);
  if (scene.canceled) return "";
  const std::string failure =
      writeMeshFile(mesh, *meshFormatOf(request.meshFile), request.meshFile);
  return failure.empty() ? "" : "cannot write mesh '" + request.meshFile + "': " + failure;
}

}  // namespace mesh
