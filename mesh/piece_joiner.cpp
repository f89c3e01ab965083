#include "piece_joiner.h"

#include <bit>

namespace mesh {

size_t PieceJoiner::PlaceHash::operator()(const Place& p) const {
  size_t h = 0;
  for (const float v : p) h = h * 0x9E3779B97F4A7C15ull + std::bit_cast<uint32_t>(v);
  return h;
}

MeshPiece PieceJoiner::join(const SurfaceMesh& part, double low, double high) {
  MeshPiece piece;
  piece.mesh = &part;
  piece.firstNew = count_;
  piece.number.resize(part.points.size());
  for (size_t i = 0; i < part.points.size(); ++i) {
    const Place& p = part.points[i];
    const auto shared = p[2] < low + reach_ ? upper_.find(p) : upper_.end();
    piece.number[i] = shared != upper_.end() ? shared->second : count_++;
  }
  std::erase_if(upper_, [this, high](const auto& entry) { return entry.first[2] < high - reach_; });
  for (size_t i = 0; i < part.points.size(); ++i)
    if (part.points[i][2] >= high - reach_) upper_.emplace(part.points[i], piece.number[i]);
  return piece;
}

}  // namespace mesh
