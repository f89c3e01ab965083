#pragma once

#include "map_spec.h"
#include "vec3.h"

namespace engine {

// A conformal map of space acting on sphere vectors
// (cx, cy, cz, 1, |c|^2 - r^2); a point is a sphere of radius 0.
struct ConformalMap {
  double m[5][5] = {{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}};

  // Maps the sphere in place; false when the map turns the ball inside out
  // (the image is the outside of a sphere). The results are written anyway.
  bool applyToSphere(Vec3& center, double& radius2) const;
  Vec3 applyToPoint(const Vec3& p) const;
  bool buildFrom(const MapSpec& spec);
};

// result := a b (b acts first); result may be a or b.
void compose(ConformalMap& result, const ConformalMap& a, const ConformalMap& b);

}  // namespace engine
