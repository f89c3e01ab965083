#include <cmath>
#include <map>
#include <utility>

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <openvdb/io/File.h>
#include <openvdb/openvdb.h>
#include <assimp/Importer.hpp>

#include "../engine/attractor_scripts.h"
#include "../lang/script_harness.h"
#include "mesh/attractor_export.h"
#include "mesh/mesh_file.h"
#include "test_files.h"

namespace mesh {
namespace {

using engine::testing::kEightSpheres;
using engine::testing::kMengerSponge;
using engine::testing::kSolidCube;
using engine::testing::kTwoColouredCubes;
using lang::testing::sceneOf;
using shell::testing::TempDir;

ExportResult exportScene(const std::string& script, ExportRequest request,
                         engine::FractalType type = engine::FractalType::Affine) {
  auto s = sceneOf(script, 40, 30, type);
  EXPECT_TRUE(s->scene->prepare()) << s->scene->renderError;
  return exportAttractor(*s->scene, request);
}

// The one mesh of a file, with `flags` of Assimp's post-processing.
const aiMesh* importedMesh(Assimp::Importer& importer, const std::string& path,
                           unsigned flags = 0) {
  const aiScene* scene = importer.ReadFile(path, flags);
  return scene && scene->mNumMeshes == 1 ? scene->mMeshes[0] : nullptr;
}

// Closed and consistently oriented: every edge is met once in each direction.
bool closedAndOriented(const aiMesh& mesh) {
  std::map<std::pair<unsigned, unsigned>, int> edges;
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices != 3) return false;
    for (unsigned i = 0; i < 3; ++i) ++edges[{face.mIndices[i], face.mIndices[(i + 1) % 3]}];
  }
  for (const auto& [edge, count] : edges) {
    const auto back = edges.find({edge.second, edge.first});
    if (count != 1 || back == edges.end() || back->second != 1) return false;
  }
  return true;
}

double smallestArea(const aiMesh& mesh) {
  double smallest = 1e300;
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const unsigned* i = mesh.mFaces[f].mIndices;
    const aiVector3D a = mesh.mVertices[i[0]], b = mesh.mVertices[i[1]], c = mesh.mVertices[i[2]];
    smallest = std::min(smallest, double(((b - a) ^ (c - a)).Length()) / 2);
  }
  return smallest;
}

// Volume and area of the exported mesh, as OBJ (which keeps the shared
// points) read back; the sponge's volume at its fourth level is
// 8 (20/27)^4.
TEST(ExportAttractor, MeshesAreClosedWithTheAttractorsVolumeAndArea) {
  const struct {
    const std::string* script;
    engine::FractalType type;
    int voxels;
    double scale, volume, area, tolerance;  // area 0: not known
  } cases[] = {
      {&kSolidCube, engine::FractalType::Affine, 32, 1.0, 8.0, 24.0, 0.05},
      {&kSolidCube, engine::FractalType::Affine, 20, 10.0, 8000.0, 2400.0, 0.05},
      {&kMengerSponge, engine::FractalType::Affine, 81, 1.0, 8 * std::pow(20.0 / 27, 4), 0, 0.15},
      {&kEightSpheres, engine::FractalType::Conformal, 48, 1.0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ExportRequest request;
    request.voxels = c.voxels;
    request.meshScale = c.scale;
    request.meshFile = dir.file("a.obj");
    const ExportResult e = exportScene(*c.script, request, c.type);
    ASSERT_EQ(e.error, "") << c.voxels;
    Assimp::Importer importer;
    // The reader makes a point for each corner of each triangle: the same
    // places are joined again.
    const aiMesh* m = importedMesh(importer, request.meshFile, aiProcess_JoinIdenticalVertices);
    ASSERT_TRUE(m) << c.voxels;
    EXPECT_EQ(m->mNumFaces, e.triangles);
    EXPECT_TRUE(closedAndOriented(*m)) << c.voxels;
    EXPECT_GT(smallestArea(*m), 0.0) << c.voxels;
    EXPECT_GT(e.volume, 0.0) << c.voxels;
    if (c.volume > 0) {
      EXPECT_NEAR(e.volume, c.volume, c.volume * c.tolerance) << c.voxels;
    }
    if (c.area > 0) {
      EXPECT_NEAR(e.area, c.area, c.area * c.tolerance) << c.voxels;
    }
  }
}

// Slabs of one layer of blocks each make the mesh of one slab: closed, with
// the points shared across the faces between slabs (glTF keeps the numbers
// of the points), and with the same triangles.
TEST(ExportAttractor, MeshesMadeInSlabsAreTheWholeMesh) {
  const struct {
    const std::string* script;
    engine::FractalType type;
    int voxels;
    double adaptivity;
  } cases[] = {
      {&kMengerSponge, engine::FractalType::Affine, 40, 0.0},
      {&kMengerSponge, engine::FractalType::Affine, 40, 0.5},  // merges across slab faces
      {&kEightSpheres, engine::FractalType::Conformal, 32, kDefaultAdaptivity},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ExportRequest request;
    request.voxels = c.voxels;
    request.adaptivity = c.adaptivity;
    request.meshFile = dir.file("whole.glb");
    const ExportResult whole = exportScene(*c.script, request, c.type);
    request.blocksPerSlab = 1;
    request.meshFile = dir.file("slabs.glb");
    const ExportResult slabs = exportScene(*c.script, request, c.type);
    ASSERT_EQ(whole.error + slabs.error, "") << c.adaptivity;
    EXPECT_EQ(slabs.triangles, whole.triangles) << c.adaptivity;
    EXPECT_NEAR(slabs.volume, whole.volume, 1e-9 * whole.volume) << c.adaptivity;
    EXPECT_NEAR(slabs.area, whole.area, 1e-9 * whole.area) << c.adaptivity;
    Assimp::Importer importer;
    const aiMesh* m = importedMesh(importer, request.meshFile);
    ASSERT_TRUE(m) << c.adaptivity;
    EXPECT_EQ(m->mNumFaces, slabs.triangles);
    EXPECT_TRUE(closedAndOriented(*m)) << c.voxels << " " << c.adaptivity;
  }
}

TEST(ExportAttractor, EveryFormatReadsBackWithItsTriangles) {
  TempDir dir;
  const std::string names[] = {"a.stl", "a.ply", "a.obj", "a.glb", "a.3mf", "B.STL"};
  for (const std::string& name : names) {
    ExportRequest request;
    request.voxels = 12;
    request.meshFile = dir.file(name);
    const ExportResult e = exportScene(kMengerSponge, request);
    ASSERT_EQ(e.error, "") << name;
    Assimp::Importer importer;
    const aiMesh* m = importedMesh(importer, request.meshFile);
    ASSERT_TRUE(m) << name << ": " << importer.GetErrorString();
    EXPECT_GT(e.triangles, 100u);
    EXPECT_EQ(m->mNumFaces, e.triangles) << name;
  }
  EXPECT_EQ(dir.entries(), 6);  // no temporary or side files are left
}

TEST(ExportAttractor, PlyPointsCarryTheMaterialColours) {
  TempDir dir;
  ExportRequest request;
  request.voxels = 24;
  request.meshFile = dir.file("two.ply");
  ASSERT_EQ(exportScene(kTwoColouredCubes, request).error, "");
  Assimp::Importer importer;
  const aiMesh* m = importedMesh(importer, request.meshFile);
  ASSERT_TRUE(m && m->HasVertexColors(0));
  int red = 0, blue = 0;
  for (unsigned i = 0; i < m->mNumVertices; ++i) {
    const aiColor4D c = m->mColors[0][i];
    const bool left = m->mVertices[i].x < 0;
    EXPECT_EQ(c.r, left ? 1.0f : 0.0f) << i;
    EXPECT_EQ(c.b, left ? 0.0f : 1.0f) << i;
    (left ? red : blue)++;
  }
  EXPECT_GT(red, 0);
  EXPECT_EQ(red, blue);
}

// The cells inside the level set (negative, in the band or in the tiles
// within it) are the occupied cells.
TEST(ExportAttractor, VolumeFileReadsBackWithTheOccupiedCellsInside) {
  const struct {
    const std::string* script;
    int voxels;
    uint64_t cells;
    openvdb::Vec3s colour;  // of the one material, the colour grid's background
  } cases[] = {{&kSolidCube, 16, 16 * 16 * 16, {1, 0.5f, 0}},
               {&kMengerSponge, 27, 20 * 20 * 20, {1, 1, 1}}};
  for (const auto& c : cases) {
    TempDir dir;
    ExportRequest request;
    request.voxels = c.voxels;
    request.volumeFile = dir.file("a.vdb");
    const ExportResult e = exportScene(*c.script, request);
    ASSERT_EQ(e.error, "");
    EXPECT_EQ(e.cells, c.cells);
    openvdb::io::File file(request.volumeFile);
    file.open();
    const auto surface = openvdb::gridPtrCast<openvdb::FloatGrid>(file.readGrid("surface"));
    const auto colours = openvdb::gridPtrCast<openvdb::Vec3SGrid>(file.readGrid("colour"));
    ASSERT_TRUE(surface && colours);
    EXPECT_EQ(surface->getGridClass(), openvdb::GRID_LEVEL_SET);
    uint64_t inside = 0;
    for (auto v = surface->tree().cbeginValueAll(); v; ++v)
      if (*v < 0) inside += v.getVoxelCount();
    EXPECT_EQ(inside, c.cells) << c.voxels;
    EXPECT_EQ(colours->activeVoxelCount(), 0u);
    EXPECT_NEAR((colours->background() - c.colour).length(), 0.0, 1.0 / 255);
    EXPECT_NEAR(surface->voxelSize()[0], 2.0 / c.voxels, 0.5 * 2.0 / c.voxels / c.voxels);
  }
}

TEST(ExportAttractor, RefusesAGridBeyondTheBudgetBeforeTheWalk) {
  TempDir dir;
  ExportRequest request;
  request.voxels = 64;
  request.meshFile = dir.file("a.stl");
  request.memoryBudget = 1 << 20;
  const ExportResult e = exportScene(kMengerSponge, request);
  EXPECT_NE(e.error.find("would need about "), std::string::npos) << e.error;
  EXPECT_NE(e.error.find("more than the 1 MiB available"), std::string::npos) << e.error;
  EXPECT_EQ(e.cells, 0u);
  EXPECT_EQ(dir.entries(), 0);
  request.voxels = 27;
  request.memoryBudget = uint64_t(1) << 32;
  EXPECT_EQ(exportScene(kMengerSponge, request).error, "");
}

// Assimp's formats hold the whole mesh, our own writers a slab of it.
TEST(ExportAttractor, GatheredFormatsNeedMoreMemory) {
  const auto needed = [](const std::string& file) {
    ExportRequest request;
    request.voxels = 32;
    request.meshFile = file;
    request.memoryBudget = 1;
    const std::string error = exportScene(kMengerSponge, request).error;
    return std::stoull(error.substr(error.find("about ") + 6));
  };
  EXPECT_GT(needed("a.glb"), needed("a.stl"));
  EXPECT_EQ(needed("a.3mf"), needed("a.glb"));
}

}  // namespace
}  // namespace mesh
