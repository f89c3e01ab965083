#include "mesh_file.h"

#include <cerrno>

#include <assimp/scene.h>
#include <assimp/Exporter.hpp>

#include "shell/platform.h"
#include "stream_writers.h"

namespace mesh {

namespace {

// Assimp's id of the formats it writes.
const char* exporterOf(MeshFormat format) {
  return format == MeshFormat::Glb ? "glb2" : "3mf";
}

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

MeshFile::MeshFile(MeshFormat format, const std::string& path)
    : format_(format), file_(shell::pathFromUtf8(path)) {}

MeshFile::~MeshFile() = default;

bool MeshFile::gathers(MeshFormat format) {
  return format == MeshFormat::Glb || format == MeshFormat::ThreeMf;
}

std::string MeshFile::open() {
  if (!file_.open()) return error_ = file_.error();
  if (!gathers(format_)) writer_ = streamWriter(format_, file_.stream());
  return {};
}

void MeshFile::add(const MeshPiece& piece) {
  if (writer_) return writer_->add(piece);
  const SurfaceMesh& mesh = *piece.mesh;
  for (size_t i = 0; i < mesh.points.size(); ++i) {
    if (!piece.isNew(i)) continue;
    gathered_.points.push_back(mesh.points[i]);
    if (!mesh.colours.empty()) gathered_.colours.push_back(mesh.colours[i]);
  }
  for (const auto& t : mesh.triangles)
    gathered_.triangles.push_back({piece.number[t[0]], piece.number[t[1]], piece.number[t[2]]});
}

bool MeshFile::finish() {
  if (writer_ && !writer_->finish()) {
    file_.abandon(errno);
    error_ = file_.error();
    return false;
  }
  if (!writer_ && !exportGathered()) return false;
  if (file_.commit()) return true;
  error_ = file_.error();
  return false;
}

// Assimp writes the file itself (3MF through a zip library that opens it by
// name): into the temporary file, which then replaces the target.
bool MeshFile::exportGathered() {
  std::unique_ptr<aiScene> scene = sceneOf(gathered_);
  gathered_ = {};
  Assimp::Exporter exporter;
  if (exporter.Export(scene.get(), exporterOf(format_), file_.writePath().string()) == AI_SUCCESS)
    return true;
  file_.abandon(0);
  error_ = exporter.GetErrorString();
  return false;
}

}  // namespace mesh
