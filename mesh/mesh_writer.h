#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "surface_mesh.h"

namespace mesh {

// A part of a mesh that is made and written part by part: its own points
// and triangles over them, and each point's number in the whole mesh.
// Points shared with earlier parts have numbers below firstNew; the part's
// new points take the numbers from firstNew on in their order in the part.
struct MeshPiece {
  const SurfaceMesh* mesh = nullptr;
  std::vector<uint32_t> number;
  uint32_t firstNew = 0;

  bool isNew(size_t point) const { return number[point] >= firstNew; }
};

// Takes the parts of one mesh in order and writes them.
class MeshWriter {
 public:
  virtual ~MeshWriter() = default;
  virtual void add(const MeshPiece& piece) = 0;
  // After the last part; false when a stream failed (errno says why).
  virtual bool finish() = 0;
};

}  // namespace mesh
