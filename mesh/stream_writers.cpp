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

// Collects bytes and hands them to a stream in large pieces.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file), ok_(file != nullptr) {
    buffer_.reserve(kChunk + 256);
  }

  template <class T>
  void put(T value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    bytes_(bytes, sizeof value);
  }
  void text(const char* s, size_t n) { bytes_(reinterpret_cast<const unsigned char*>(s), n); }
  void text(const std::string& s) { text(s.data(), s.size()); }
  bool flush() {
    ok_ = ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
    buffer_.clear();
    return ok_;
  }

 private:
  void bytes_(const unsigned char* bytes, size_t n) {
    buffer_.insert(buffer_.end(), bytes, bytes + n);
    if (buffer_.size() >= kChunk) flush();
  }

  static constexpr size_t kChunk = size_t(1) << 20;
  std::FILE* file_;
  std::vector<unsigned char> buffer_;
  bool ok_;
};

// A temporary file for the sections of a file that can only be written
// once the whole mesh is known, such as the triangles after a count.
class Spool {
 public:
  Spool() : file_(std::tmpfile()), out_(file_) {}
  ~Spool() {
    if (file_) std::fclose(file_);
  }
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  Output& out() { return out_; }
  // Appends what was written here to `to`.
  bool copyTo(Output& to) {
    if (!out_.flush() || std::fseek(file_, 0, SEEK_SET) != 0) return false;
    std::vector<char> chunk(size_t(1) << 20);
    for (size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), file_)) > 0;)
      to.text(chunk.data(), n);
    return !std::ferror(file_);
  }

 private:
  std::FILE* file_;
  Output out_;
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

// The triangles go to a spool until their count is known.
class StlWriter : public MeshWriter {
 public:
  explicit StlWriter(std::FILE* file) : file_(file) {}

  void add(const MeshPiece& piece) override {
    const SurfaceMesh& mesh = *piece.mesh;
    Output& out = triangles_.out();
    for (const auto& t : mesh.triangles) {
      for (const float v : unitNormal(mesh, t)) out.put(v);
      for (const uint32_t corner : t)
        for (const float v : mesh.points[corner]) out.put(v);
      out.put(uint16_t(0));  // attribute byte count
    }
    count_ += mesh.triangles.size();
  }

  bool finish() override {
    Output out(file_);
    char header[80] = {};
    std::strncpy(header, "Zentarel 3d attractor", sizeof header - 1);
    out.text(header, sizeof header);
    out.put(uint32_t(count_));
    return triangles_.copyTo(out) && out.flush();
  }

 private:
  std::FILE* file_;
  Spool triangles_;
  uint64_t count_ = 0;
};

// Points and faces each go to a spool until their counts are known.
class PlyWriter : public MeshWriter {
 public:
  explicit PlyWriter(std::FILE* file) : file_(file) {}

  void add(const MeshPiece& piece) override {
    const SurfaceMesh& mesh = *piece.mesh;
    if (!mesh.points.empty()) coloured_ = !mesh.colours.empty();
    for (size_t i = 0; i < mesh.points.size(); ++i) {
      if (!piece.isNew(i)) continue;
      for (const float v : mesh.points[i]) points_.out().put(v);
      if (coloured_)
        for (const float c : mesh.colours[i]) points_.out().put(colourByte(c));
      ++pointCount_;
    }
    for (const auto& t : mesh.triangles) {
      faces_.out().put(uint8_t(3));
      for (const uint32_t corner : t) faces_.out().put(int32_t(piece.number[corner]));
    }
    faceCount_ += mesh.triangles.size();
  }

  bool finish() override {
    Output out(file_);
    out.text(
        "ply\nformat binary_little_endian 1.0\ncomment Zentarel 3d attractor\nelement vertex " +
        std::to_string(pointCount_) + "\nproperty float x\nproperty float y\nproperty float z\n");
    if (coloured_) out.text("property uchar red\nproperty uchar green\nproperty uchar blue\n");
    out.text("element face " + std::to_string(faceCount_) +
             "\nproperty list uchar int vertex_indices\nend_header\n");
    return points_.copyTo(out) && faces_.copyTo(out) && out.flush();
  }

 private:
  std::FILE* file_;
  Spool points_, faces_;
  uint64_t pointCount_ = 0, faceCount_ = 0;
  bool coloured_ = false;
};

// OBJ lets faces follow the points they use: each part is written whole.
class ObjWriter : public MeshWriter {
 public:
  explicit ObjWriter(std::FILE* file) : out_(file) { out_.text("# Zentarel 3d attractor\n"); }

  void add(const MeshPiece& piece) override {
    const SurfaceMesh& mesh = *piece.mesh;
    char line[96];
    for (size_t i = 0; i < mesh.points.size(); ++i) {
      if (!piece.isNew(i)) continue;
      const auto& p = mesh.points[i];
      const int n = std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", p[0], p[1], p[2]);
      out_.text(line, size_t(n));
    }
    for (const auto& t : mesh.triangles) {
      // OBJ counts points from 1.
      const int n = std::snprintf(line, sizeof line, "f %u %u %u\n", piece.number[t[0]] + 1,
                                  piece.number[t[1]] + 1, piece.number[t[2]] + 1);
      out_.text(line, size_t(n));
    }
  }

  bool finish() override { return out_.flush(); }

 private:
  Output out_;
};

}  // namespace

std::unique_ptr<MeshWriter> streamWriter(MeshFormat format, std::FILE* file) {
  switch (format) {
    case MeshFormat::Stl:
      return std::make_unique<StlWriter>(file);
    case MeshFormat::Ply:
      return std::make_unique<PlyWriter>(file);
    case MeshFormat::Obj:
      return std::make_unique<ObjWriter>(file);
    default:
      return nullptr;
  }
}

}  // namespace mesh
