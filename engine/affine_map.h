#pragma once

#include "map_spec.h"
#include "vec3.h"

namespace engine {

// p -> M p + t, with M kept row by row.
struct AffineMap {
  Vec3 row[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Vec3 t;

  Vec3 apply(const Vec3& p) const { return {row[0].dot(p) + t.x, row[1].dot(p) + t.y, row[2].dot(p) + t.z}; }
  // Sets the map from a map call; false for kinds an affine map cannot be
  // made of and for degenerate arguments (the map is then left as it was).
  bool buildFrom(const MapSpec& spec);
  // Largest eigenvalue of M M^T: the square of the largest factor by which M
  // lengthens a vector.
  double maxStretchSquared() const;
};

// result := a o b (b acts first); result may be a or b.
void compose(AffineMap& result, const AffineMap& a, const AffineMap& b);

}  // namespace engine
