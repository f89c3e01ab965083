#pragma once

#include "map_spec.h"
#include "vec3.h"

namespace engine {

// Largest eigenvalue of the symmetric 3x3 matrix with diagonal g00, g11, g22
// and off-diagonal g01, g02, g12, for a matrix whose off-diagonal is not
// negligible (see AffineMap::maxStretchSquared).
double largestGramEigenvalue(double g00, double g11, double g22, double g01, double g02,
                             double g12);

// Tolerance, relative to the trace of M M^T, below which its off-diagonal
// entries count as zero. Relative so that deep, tiny node maps are bounded
// as well as unit-sized ones.
inline constexpr double kGramTolerance = 1e-15;

// p -> M p + t, with M kept row by row.
struct AffineMap {
  Vec3 row[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Vec3 t;

  Vec3 apply(const Vec3& p) const {
    return {row[0].dot(p) + t.x, row[1].dot(p) + t.y, row[2].dot(p) + t.z};
  }
  // Sets the map from a map call; false for kinds an affine map cannot be
  // made of and for degenerate arguments (the map is then left as it was).
  bool buildFrom(const MapSpec& spec);

  // Whether M is k I exactly. The products with such a matrix reduce to
  // products with k, which give the same numbers with far fewer operations.
  bool scalarMatrix() const {
    return row[0].y == 0 && row[0].z == 0 && row[1].x == 0 && row[1].z == 0 && row[2].x == 0 &&
           row[2].y == 0 && row[1].y == row[0].x && row[2].z == row[0].x;
  }

  // Largest eigenvalue of M M^T: the square of the largest factor by which M
  // lengthens a vector. A sphere of squared radius r2 maps into the sphere of
  // squared radius maxStretchSquared() * r2 about the image of its centre.
  double maxStretchSquared() const {
    const double g00 = row[0].lengthSquared(), g11 = row[1].lengthSquared(),
                 g22 = row[2].lengthSquared();
    const double g01 = row[0].dot(row[1]), g02 = row[0].dot(row[2]), g12 = row[1].dot(row[2]);
    const double small = kGramTolerance * (g00 + g11 + g22);
    if (std::abs(g01) <= small && std::abs(g02) <= small && std::abs(g12) <= small) {
      const double m = g00 > g11 ? g00 : g11;
      return m > g22 ? m : g22;
    }
    return largestGramEigenvalue(g00, g11, g22, g01, g02, g12);
  }
};

// result := a o b (b acts first); result may be a or b.
[[gnu::always_inline]] inline void compose(AffineMap& result, const AffineMap& a,
                                           const AffineMap& b) {
  // Columns of b's matrix, so that every entry of the product is a dot product.
  const Vec3 c0{b.row[0].x, b.row[1].x, b.row[2].x};
  const Vec3 c1{b.row[0].y, b.row[1].y, b.row[2].y};
  const Vec3 c2{b.row[0].z, b.row[1].z, b.row[2].z};
  const Vec3 t = a.apply(b.t);
  const Vec3 r0{a.row[0].dot(c0), a.row[0].dot(c1), a.row[0].dot(c2)};
  const Vec3 r1{a.row[1].dot(c0), a.row[1].dot(c1), a.row[1].dot(c2)};
  const Vec3 r2{a.row[2].dot(c0), a.row[2].dot(c1), a.row[2].dot(c2)};
  result.row[0] = r0;
  result.row[1] = r1;
  result.row[2] = r2;
  result.t = t;
}

}  // namespace engine
