#pragma once

#include "map_spec.h"
#include "vec3.h"

namespace engine {

// A conformal map of space acting on sphere vectors
// (cx, cy, cz, 1, |c|^2 - r^2); a point is a sphere of radius 0. Matrices that
// differ by a positive factor are the same map.
struct ConformalMap {
  double m[5][5] = {
      {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}};

  // Maps the sphere in place; false when the map turns the ball inside out
  // (the image is the outside of a sphere) or into a half-space. The results
  // are written anyway.
  bool applyToSphere(Vec3& center, double& radius2) const {
    const double s[5] = {center.x, center.y, center.z, 1.0, center.lengthSquared() - radius2};
    double image[5];
    for (int i = 0; i < 5; ++i)
      image[i] = m[i][0] * s[0] + m[i][1] * s[1] + m[i][2] * s[2] + m[i][3] * s[3] + m[i][4] * s[4];
    const double w = image[3];
    center = Vec3{image[0], image[1], image[2]} * (1.0 / w);
    radius2 = center.lengthSquared() - image[4] / w;
    if (radius2 < 0) radius2 = 0;  // rounding on a point or a tiny sphere
    return w > 0;
  }
  Vec3 applyToPoint(const Vec3& p) const {
    Vec3 center = p;
    double radius2 = 0;
    applyToSphere(center, radius2);
    return center;
  }
  // Sets the map from a map call; false for kinds a conformal map cannot be
  // made of and for degenerate arguments (the map is then left as it was).
  bool buildFrom(const MapSpec& spec);
};

// result := a b (b acts first); result may be a or b.
inline void compose(ConformalMap& result, const ConformalMap& a, const ConformalMap& b) {
  double product[5][5];
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      product[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                      a.m[i][3] * b.m[3][j] + a.m[i][4] * b.m[4][j];
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) result.m[i][j] = product[i][j];
}

}  // namespace engine
