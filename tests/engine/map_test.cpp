#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "engine/affine_map.h"
#include "engine/conformal_map.h"
#include "engine/map_spec.h"

namespace engine {
namespace {

using enum MapKind;

void expectNear(const Vec3& actual, const Vec3& expected, double tolerance = 1e-12) {
  EXPECT_NEAR((actual - expected).length(), 0, tolerance);
}
constexpr double kPi = std::numbers::pi;

MapSpec spec(MapKind kind, std::initializer_list<double> args) {
  return MapSpec::make(kind, args);
}

Vec3 image(const AffineMap& map, const Vec3& p) {
  return map.apply(p);
}
Vec3 image(const ConformalMap& map, const Vec3& p) {
  return map.applyToPoint(p);
}

template <class Map>
Map build(MapKind kind, std::initializer_list<double> args) {
  Map map;
  EXPECT_TRUE(map.buildFrom(MapSpec::make(kind, args)));
  return map;
}

// Degenerate arguments and kinds the type cannot make are refused and leave the map.
template <class Map>
void expectRejected(const std::vector<MapSpec>& specs) {
  for (const MapSpec& spec : specs) {
    Map map = build<Map>(Translate, {1, 2, 3});
    const Map before = map;
    EXPECT_FALSE(map.buildFrom(spec)) << "kind " << spec.kind;
    EXPECT_EQ(std::memcmp(&map, &before, sizeof map), 0) << "kind " << spec.kind;
  }
}

// compose(result, a, b) applies b first, also when result is a or b.
template <class Map>
void expectComposition(const Map& a, const Map& b) {
  Map result, intoA = a, intoB = b;
  compose(result, a, b);
  for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{1, 2, 3}, Vec3{-0.5, 4, 1}})
    expectNear(image(result, p), image(a, image(b, p)), 1e-11);
  compose(intoA, intoA, b);
  compose(intoB, a, intoB);
  EXPECT_EQ(std::memcmp(&intoA, &result, sizeof result), 0);
  EXPECT_EQ(std::memcmp(&intoB, &result, sizeof result), 0);
}

TEST(AffineMap, MatricesOfTheMapCalls) {
  const double c = std::cos(0.3), s = std::sin(0.3), h = std::sqrt(0.5), t = 1. / 3, u = -2. / 3;
  const struct {
    MapSpec spec;
    std::vector<double> matrix;  // rows, then the translation
  } cases[] = {
      {spec(Scale, {2, 3, -4}), {2, 0, 0, 0, 3, 0, 0, 0, -4, 0, 0, 0}},
      {spec(Translate, {1, -2, 3}), {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, -2, 3}},
      {spec(Matrix, {1, 2, 3, 4, 5, 6, 7, 8, 9}), {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}},
      {spec(Affine2d, {1, 2, 3, 4, 5, 6}), {1, 2, 0, 3, 4, 0, 0, 0, 0, 5, 6, 0}},
      // Counter-clockwise about the normalised axis, scaled along it and across.
      {spec(Rotate, {0, 0, 2, 0.3, 2, 3}), {3 * c, -3 * s, 0, 3 * s, 3 * c, 0, 0, 0, 2, 0, 0, 0}},
      // Mirror in the plane through the origin.
      {spec(Reflect, {1, 1, 1}), {t, u, u, u, t, u, u, u, t, 0, 0, 0}},
      // Turns one direction into the other.
      {spec(RotateV, {1, 0, 0, 1, 1, 0}), {h, -h, 0, h, h, 0, 0, 0, 1, 0, 0, 0}},
  };
  for (const auto& k : cases) {
    AffineMap map;
    ASSERT_TRUE(map.buildFrom(k.spec)) << k.spec.kind;
    const Vec3 parts[] = {map.row[0], map.row[1], map.row[2], map.t};
    for (int i = 0; i < 4; ++i)
      expectNear(parts[i], {k.matrix[3 * i], k.matrix[3 * i + 1], k.matrix[3 * i + 2]});
  }

  // One row per reason the map is refused.
  expectRejected<AffineMap>({spec(Rotate, {0, 0, 0, 1, 1, 1}), spec(Reflect, {0, 0, 1e-16}),
                             spec(RotateV, {1, 0, 0, -3, 0, 0}), spec(RotateV, {0, 0, 0, 1, 0, 0}),
                             spec(Stretch, {0, 0, 1, 0.5}), MapSpec::make(MapKind(42), {}),
                             spec(Scale, {std::nan(""), 1, 1})});
  AffineMap b = build<AffineMap>(Rotate, {1, -2, 0.5, 0.7, 2, 0.5});
  b.t = {3, -1, 2};
  expectComposition(build<AffineMap>(Matrix, {1, 2, 3, 4, 5, 6, 7, 8, 10}), b);
}

// Largest eigenvalue of M M^T by power iteration, as an independent reference.
double referenceMaxStretchSquared(const AffineMap& map) {
  Vec3 v{0.6, 0.7, 0.8};
  double lambda = 0;
  for (int k = 0; k < 2000 && v.length() > 0; ++k) {
    const Vec3 mv{map.row[0].dot(v), map.row[1].dot(v), map.row[2].dot(v)};
    const Vec3 w = map.row[0] * mv.x + map.row[1] * mv.y + map.row[2] * mv.z;  // M^T M v
    lambda = w.length();
    v = w * (lambda > 0 ? 1 / lambda : 0);
  }
  return lambda;
}

// R diag(d) for a fixed oblique rotation R: M M^T has the eigenvalues d^2.
AffineMap rotatedDiagonal(double d0, double d1, double d2) {
  AffineMap map;
  compose(map, build<AffineMap>(Rotate, {1, 2, -0.5, 0.9, 1, 1}),
          build<AffineMap>(Scale, {d0, d1, d2}));
  return map;
}

// Against the reference, to the accuracy a double root allows (about the
// square root of the rounding error), relative: node maps deep in the tree
// keep their accuracy.
TEST(AffineMap, LargestStretch) {
  for (const AffineMap& m :
       {build<AffineMap>(Scale, {-5, 3, 4}), build<AffineMap>(Matrix, {1, 2, 3, 4, 5, 6, 7, 8, 10}),
        rotatedDiagonal(2, 1, 1), build<AffineMap>(Affine2d, {1, 2, 3, 4, 0, 0}),  // rank two
        rotatedDiagonal(3e-9, 0, 0), rotatedDiagonal(1e-6, 2e-6, 3e-6)}) {
    const double expected = referenceMaxStretchSquared(m);
    EXPECT_NEAR(m.maxStretchSquared(), expected, 1e-7 * expected);
  }
}

// Maps a sphere and checks that its image holds the images of points spread over it.
void expectSphereImage(const ConformalMap& map, const Vec3& c, double r) {
  Vec3 center = c;
  double radius2 = r * r;
  EXPECT_TRUE(map.applyToSphere(center, radius2));
  for (int i = 0; i < 35; ++i) {
    const double theta = 0.4 + 0.37 * (i % 7), phi = 0.3 + 1.1 * (i / 7);
    const Vec3 p{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
    EXPECT_NEAR((map.applyToPoint(c + p * r) - center).length(), std::sqrt(radius2), 1e-9);
  }
}

TEST(ConformalMap, PointsAndSpheres) {
  const Vec3 c{1, -2, 0.5}, a = Vec3{1, -1, 2} * (0.7 / std::sqrt(6.0));
  const struct {
    MapSpec spec;
    std::function<Vec3(const Vec3&)> expected;
  } cases[] = {
      // Similarities as the affine map makes them (empty: the same call).
      {spec(Translate, {1, -2, 0.5}), {}},
      {spec(Rotate, {0, 0, 3, kPi / 2, 1, 1}), {}},
      // The negligible-factor test comes before the axis test.
      {spec(Stretch, {0, 0, 0, -0.000001}), [](const Vec3& x) { return x; }},
      // Uniform from the first argument; a negative factor is the point reflection.
      {spec(Scale, {3, 7, 9}), [](const Vec3& x) { return x * 3; }},
      {spec(Scale, {-2, -2, -2}), [](const Vec3& x) { return x * -2; }},
      {spec(Inverse, {c.x, c.y, c.z, -1.5}),
       [&](const Vec3& x) { return c + (x - c) * (2.25 / (x - c).lengthSquared()); }},
      // Moves the origin to a inside the unit ball.
      {spec(Stretch, {1, -1, 2, 0.7}),
       [&](const Vec3& x) {
         const double ax = a.dot(x), x2 = x.lengthSquared(), a2 = a.lengthSquared();
         return (x * (1 - a2) + a * (1 + 2 * ax + x2)) * (1 / (1 + 2 * ax + a2 * x2));
       }},
  };
  for (const auto& k : cases) {
    ConformalMap map;
    AffineMap similarity;
    ASSERT_TRUE(map.buildFrom(k.spec)) << k.spec.kind;
    ASSERT_TRUE(k.expected || similarity.buildFrom(k.spec));
    for (const Vec3& x : {Vec3{0.2, 0.3, -0.1}, Vec3{2, 0, 1}, Vec3{-0.5, 0.5, 0.5}})
      expectNear(map.applyToPoint(x), k.expected ? k.expected(x) : similarity.apply(x), 1e-12);
    expectSphereImage(map, {4, 1, -3}, 0.7);
  }
  const ConformalMap inversion = build<ConformalMap>(Inverse, {0, 0, 0, 1});
  // A sphere around the centre of inversion is turned inside out, its image written all the
  // same: |x - 0.5| = 1 through -0.5 and 1.5, whose images are -2 and 2/3.
  Vec3 center{0.5, 0, 0};
  double radius2 = 1;
  EXPECT_FALSE(inversion.applyToSphere(center, radius2));
  expectNear(center, {-2. / 3, 0, 0});
  EXPECT_NEAR(radius2, 16. / 9, 1e-12);
  // A factor of zero collapses everything onto the origin.
  center = {4, 5, 6};
  radius2 = 2;
  EXPECT_TRUE(build<ConformalMap>(Scale, {0, 0, 0}).applyToSphere(center, radius2));
  EXPECT_TRUE(center == Vec3{} && radius2 == 0.0);

  expectRejected<ConformalMap>({spec(Stretch, {0, 0, 1, -2}), spec(Stretch, {0, 0, 0, 0.5}),
                                spec(Inverse, {1, 1, 1, 1e-16}), spec(Rotate, {0, 0, 0, 1, 1, 1}),
                                spec(Reflect, {0, 0, 0}), spec(Matrix, {1, 0, 0, 0, 1, 0, 0, 0, 1}),
                                MapSpec::make(MapKind(-1), {}),
                                spec(Inverse, {0, 0, 0, std::nan("")})});
  expectComposition(build<ConformalMap>(Inverse, {1, 0, 0, 2}),
                    build<ConformalMap>(Translate, {0, 3, 0}));
}

}  // namespace
}  // namespace engine
