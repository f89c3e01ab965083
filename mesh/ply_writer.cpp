#include "ply_writer.h"

#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace mesh {

namespace {

static_assert(std::endian::native == std::endian::little, "PLY is written as the host stores it");

template <class T>
void put(std::vector<unsigned char>& out, T value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof value);
}

unsigned char colourByte(float v) {
  return (unsigned char)std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f);
}

}  // namespace

bool writePly(const SurfaceMesh& mesh, std::FILE* file) {
  const bool coloured = !mesh.colours.empty();
  std::string header =
      "ply\nformat binary_little_endian 1.0\ncomment Zentarel 3d attractor\nelement vertex " +
      std::to_string(mesh.points.size()) +
      "\nproperty float x\nproperty float y\nproperty float z\n";
  if (coloured) header += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
  header += "element face " + std::to_string(mesh.triangles.size()) +
            "\nproperty list uchar int vertex_indices\nend_header\n";
  if (std::fwrite(header.data(), 1, header.size(), file) != header.size()) return false;

  std::vector<unsigned char> body;
  body.reserve(mesh.points.size() * 15 + mesh.triangles.size() * 13);
  for (size_t i = 0; i < mesh.points.size(); ++i) {
    for (const float v : mesh.points[i]) put(body, v);
    if (coloured)
      for (const float c : mesh.colours[i]) body.push_back(colourByte(c));
  }
  for (const auto& t : mesh.triangles) {
    body.push_back(3);
    for (const uint32_t index : t) put(body, int32_t(index));
  }
  return std::fwrite(body.data(), 1, body.size(), file) == body.size();
}

}  // namespace mesh
