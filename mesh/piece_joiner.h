#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "mesh_writer.h"

namespace mesh {

// Numbers the points of a mesh made in parts along z, one part after the
// other upwards: a point that an earlier part made already at the very same
// place takes that part's number. Only the points within `reach` along z of
// the faces between parts are compared and kept for that.
class PieceJoiner {
 public:
  explicit PieceJoiner(double reach) : reach_(reach) {}

  // The numbers of the points of the part that holds the polygons between
  // z = low and high.
  MeshPiece join(const SurfaceMesh& part, double low, double high);

 private:
  using Place = std::array<float, 3>;
  struct PlaceHash {
    size_t operator()(const Place& p) const;
  };

  double reach_;
  uint32_t count_ = 0;
  // The points near the upper face of the parts so far.
  std::unordered_map<Place, uint32_t, PlaceHash> upper_;
};

}  // namespace mesh
