#include "stream_writers.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace mesh {

namespace {

static_assert(std::endian::native == std::endian::little,
              "binary formats are written as the host stores numbers");

// Collects bytes and hands them to the stream in large pieces.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) { buffer_.reserve(kChunk + 256); }

  template <class T>
  void put(T value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    buffer_.insert(buffer_.end(), bytes, bytes + sizeof value);
    if (buffer_.size() >= kChunk) flush();
  }
  void text(const char* s, size_t n) {
    buffer_.insert(buffer_.end(), s, s + n);
    if (buffer_.size() >= kChunk) flush();
  }
  void text(const std::string& s) { text(s.data(), s.size()); }
  bool flush() {
    ok_ = ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
    buffer_.clear();
    return ok_;
  }

 private:
  static constexpr size_t kChunk = size_t(1) << 20;
  std::FILE* file_;
  std::vector<unsigned char> buffer_;
  bool ok_ = true;
};

unsigned char colourByte(float v) {
  return (unsigned char)std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f);
}

std::array<float, 3> unitNormal(const SurfaceMesh& mesh, const std::array<uint32_t, 3>& t) {
  const auto& a = mesh.points[t[0]];
  const auto& b = mesh.points[t[1]];
  const auto& c = mesh.points[t[2]];
  const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                       u[0] * v[1] - u[1] * v[0]};
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(length > 0)) return {0, 0, 0};
  return {float(n[0] / length), float(n[1] / length), float(n[2] / length)};
}

}  // namespace

bool writePly(const SurfaceMesh& mesh, std::FILE* file) {
  const bool coloured = !mesh.colours.empty();
  Output out(file);
  out.text("ply\nformat binary_little_endian 1.0\ncomment Zentarel 3d attractor\nelement vertex " +
           std::to_string(mesh.points.size()) +
           "\nproperty float x\nproperty float y\nproperty float z\n");
  if (coloured) out.text("property uchar red\nproperty uchar green\nproperty uchar blue\n");
  out.text("element face " + std::to_string(mesh.triangles.size()) +
           "\nproperty list uchar int vertex_indices\nend_header\n");
  for (size_t i = 0; i < mesh.points.size(); ++i) {
    for (const float v : mesh.points[i]) out.put(v);
    if (coloured)
      for (const float c : mesh.colours[i]) out.put(colourByte(c));
  }
  for (const auto& t : mesh.triangles) {
    out.put(uint8_t(3));
    for (const uint32_t index : t) out.put(int32_t(index));
  }
  return out.flush();
}

bool writeStl(const SurfaceMesh& mesh, std::FILE* file) {
  Output out(file);
  char header[80] = {};
  std::strncpy(header, "Zentarel 3d attractor", sizeof header - 1);
  out.text(header, sizeof header);
  out.put(uint32_t(mesh.triangles.size()));
  for (const auto& t : mesh.triangles) {
    for (const float v : unitNormal(mesh, t)) out.put(v);
    for (const uint32_t corner : t)
      for (const float v : mesh.points[corner]) out.put(v);
    out.put(uint16_t(0));  // attribute byte count
  }
  return out.flush();
}

bool writeObj(const SurfaceMesh& mesh, std::FILE* file) {
  Output out(file);
  out.text("# Zentarel 3d attractor\n");
  char line[96];
  for (const auto& p : mesh.points) {
    const int n = std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", p[0], p[1], p[2]);
    out.text(line, size_t(n));
  }
  for (const auto& t : mesh.triangles) {
    // OBJ counts points from 1.
    const int n = std::snprintf(line, sizeof line, "f %u %u %u\n", t[0] + 1, t[1] + 1, t[2] + 1);
    out.text(line, size_t(n));
  }
  return out.flush();
}

}  // namespace mesh
