#include "mesh_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include <assimp/scene.h>
#include <assimp/Exporter.hpp>

#include "shell/atomic_file.h"
#include "shell/platform.h"
#include "stream_writers.h"

namespace mesh {

namespace {

// Our own streaming writer of a format.
using StreamWriter = bool (*)(const SurfaceMesh&, std::FILE*);

struct FormatInfo {
  MeshFormat format;
  StreamWriter writer;   // null: Assimp writes it
  const char* exporter;  // Assimp's id
};

constexpr std::array<FormatInfo, 5> kFormats = {{
    {MeshFormat::Stl, writeStl, nullptr},
    {MeshFormat::Ply, writePly, nullptr},
    {MeshFormat::Obj, writeObj, nullptr},
    {MeshFormat::Glb, nullptr, "glb2"},
    {MeshFormat::ThreeMf, nullptr, "3mf"},
}};

// Assimp's scene of one mesh; the scene owns and frees everything in it.
std::unique_ptr<aiScene> sceneOf(const SurfaceMesh& mesh) {
  auto scene = std::make_unique<aiScene>();
  // The mesh hangs from a child of the root: the 3MF exporter writes the
  // root's children only.
  scene->mRootNode = new aiNode("scene");
  aiNode* node = new aiNode("attractor");
  node->mParent = scene->mRootNode;
  node->mNumMeshes = 1;
  node->mMeshes = new unsigned[1]{0};
  scene->mRootNode->addChildren(1, &node);
  scene->mNumMaterials = 1;
  scene->mMaterials = new aiMaterial* [1] { new aiMaterial };
  scene->mNumMeshes = 1;
  aiMesh* m = new aiMesh;
  scene->mMeshes = new aiMesh* [1] { m };
  m->mMaterialIndex = 0;
  m->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
  m->mNumVertices = unsigned(mesh.points.size());
  m->mVertices = new aiVector3D[mesh.points.size()];
  for (size_t i = 0; i < mesh.points.size(); ++i) {
    const auto& p = mesh.points[i];
    m->mVertices[i] = aiVector3D(p[0], p[1], p[2]);
  }
  if (!mesh.colours.empty()) {
    m->mColors[0] = new aiColor4D[mesh.points.size()];
    for (size_t i = 0; i < mesh.colours.size(); ++i) {
      const auto& c = mesh.colours[i];
      m->mColors[0][i] = aiColor4D(c[0], c[1], c[2], 1.0f);
    }
  }
  m->mNumFaces = unsigned(mesh.triangles.size());
  m->mFaces = new aiFace[mesh.triangles.size()];
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    aiFace& face = m->mFaces[i];
    face.mNumIndices = 3;
    face.mIndices =
        new unsigned[3]{mesh.triangles[i][0], mesh.triangles[i][1], mesh.triangles[i][2]};
  }
  return scene;
}

}  // namespace

std::string writeMeshFile(const SurfaceMesh& mesh, MeshFormat format, const std::string& path) {
  const FormatInfo& info =
      *std::find_if(kFormats.begin(), kFormats.end(),
                    [format](const FormatInfo& f) { return f.format == format; });
  shell::AtomicFile file(shell::pathFromUtf8(path));
  if (!file.open()) return file.error();
  if (info.writer) {
    if (!info.writer(mesh, file.stream())) return file.abandon(errno), file.error();
    return file.commit() ? std::string() : file.error();
  }
  // Assimp writes the file itself (3MF through a zip library that opens it
  // by name): into the temporary file, which then replaces the target.
  const std::unique_ptr<aiScene> scene = sceneOf(mesh);
  Assimp::Exporter exporter;
  if (exporter.Export(scene.get(), info.exporter, file.writePath().string()) != AI_SUCCESS) {
    file.abandon(0);
    return exporter.GetErrorString();
  }
  return file.commit() ? std::string() : file.error();
}

}  // namespace mesh
