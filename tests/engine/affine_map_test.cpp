#include "engine/affine_map.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "map_test_util.h"

namespace engine {
namespace {

AffineMap build(MapKind kind, std::initializer_list<double> args) {
  AffineMap map;
  EXPECT_TRUE(map.buildFrom(MapSpec::make(kind, args)));
  return map;
}

void expectMatrix(const AffineMap& map, const double (&m)[9], const Vec3& t = {},
                  double tolerance = 1e-12) {
  for (int i = 0; i < 3; ++i)
    expectNear(map.row[i], {m[3 * i], m[3 * i + 1], m[3 * i + 2]}, tolerance);
  expectNear(map.t, t, tolerance);
}

TEST(AffineMapBuild, SimpleKinds) {
  expectMatrix(build(MapKind::Id, {}), {1, 0, 0, 0, 1, 0, 0, 0, 1});
  expectMatrix(build(MapKind::Empty, {}), {1, 0, 0, 0, 1, 0, 0, 0, 1});
  expectMatrix(build(MapKind::Scale, {2, 3, -4}), {2, 0, 0, 0, 3, 0, 0, 0, -4});
  expectMatrix(build(MapKind::Translate, {1, -2, 3}), {1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, -2, 3});
  expectMatrix(build(MapKind::Matrix, {1, 2, 3, 4, 5, 6, 7, 8, 9}), {1, 2, 3, 4, 5, 6, 7, 8, 9});
  expectMatrix(build(MapKind::Affine2d, {1, 2, 3, 4, 5, 6}), {1, 2, 0, 3, 4, 0, 0, 0, 0},
               {5, 6, 0});
}

TEST(AffineMapBuild, RotateTurnsCounterClockwiseAboutTheNormalisedAxis) {
  const AffineMap quarter = build(MapKind::Rotate, {0, 0, 1, std::numbers::pi / 2, 1, 1});
  expectNear(quarter.apply({1, 0, 0}), {0, 1, 0});
  expectNear(quarter.apply({0, 0, 5}), {0, 0, 5});

  const double c = std::cos(0.3), s = std::sin(0.3);
  const AffineMap scaled = build(MapKind::Rotate, {0, 0, 1, 0.3, 2, 3});
  expectMatrix(scaled, {3 * c, -3 * s, 0, 3 * s, 3 * c, 0, 0, 0, 2});
  expectMatrix(build(MapKind::Rotate, {0, 0, 2, 0.3, 2, 3}),
               {3 * c, -3 * s, 0, 3 * s, 3 * c, 0, 0, 0, 2});

  // About the diagonal a third of a turn permutes the axes.
  const AffineMap third = build(MapKind::Rotate, {1, 1, 1, 2 * std::numbers::pi / 3, 1, 1});
  expectNear(third.apply({1, 0, 0}), {0, 1, 0});
  expectNear(third.apply({0, 1, 0}), {0, 0, 1});
}

TEST(AffineMapBuild, ReflectMirrorsInThePlaneThroughTheOrigin) {
  expectMatrix(build(MapKind::Reflect, {1, 1, 1}),
               {1. / 3, -2. / 3, -2. / 3, -2. / 3, 1. / 3, -2. / 3, -2. / 3, -2. / 3, 1. / 3});
  expectNear(build(MapKind::Reflect, {0, 0, 7}).apply({1, 2, 3}), {1, 2, -3});
}

TEST(AffineMapBuild, RotateVTurnsOneDirectionIntoTheOther) {
  const double h = std::sqrt(0.5);
  expectMatrix(build(MapKind::RotateV, {1, 0, 0, 1, 1, 0}), {h, -h, 0, h, h, 0, 0, 0, 1});
  expectMatrix(build(MapKind::RotateV, {0, 1, 0, 0, 0, 1}), {1, 0, 0, 0, 0, -1, 0, 1, 0});
  const AffineMap map = build(MapKind::RotateV, {1, 2, 3, -4, 0.5, 2});
  Vec3 to{-4, 0.5, 2};
  to.normalize();
  expectNear(map.apply(Vec3{1, 2, 3} * (1 / std::sqrt(14.0))), to);
  EXPECT_NEAR(map.maxStretchSquared(), 1.0, 1e-12);
}

TEST(AffineMapBuild, DegenerateArgumentsAndForeignKindsAreRejectedAndLeaveTheMap) {
  const MapSpec rejected[] = {
      MapSpec::make(MapKind::Rotate, {0, 0, 0, 1, 1, 1}),
      MapSpec::make(MapKind::Reflect, {0, 0, 1e-16}),
      MapSpec::make(MapKind::RotateV, {1, 0, 0, 2, 0, 0}),
      MapSpec::make(MapKind::RotateV, {1, 0, 0, -3, 0, 0}),
      MapSpec::make(MapKind::RotateV, {0, 0, 0, 1, 0, 0}),
      MapSpec::make(MapKind::RotateV, {1, 0, 0, 0, 0, 0}),
      MapSpec::make(MapKind::Stretch, {0, 0, 1, 0.5}),
      MapSpec::make(MapKind::Inverse, {0, 0, 0, 1}),
      MapSpec::make(MapKind::Weight, {0.5}),
      MapSpec::make(MapKind::Bound, {0, 0, 0, 1}),
      MapSpec::make(MapKind(42), {}),
      MapSpec::make(MapKind::Scale, {std::nan(""), 1, 1}),
      MapSpec::make(MapKind::Translate, {HUGE_VAL, 0, 0}),
  };
  for (const MapSpec& spec : rejected) {
    AffineMap map = build(MapKind::Translate, {1, 2, 3});
    EXPECT_FALSE(map.buildFrom(spec)) << "kind " << spec.kind;
    expectMatrix(map, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, 2, 3});
  }
}

TEST(AffineMapCompose, AppliesTheInnerMapFirst) {
  const AffineMap scale = build(MapKind::Scale, {2, 2, 2});
  const AffineMap shift = build(MapKind::Translate, {1, 0, 0});
  AffineMap result;
  compose(result, scale, shift);
  expectMatrix(result, {2, 0, 0, 0, 2, 0, 0, 0, 2}, {2, 0, 0});
  compose(result, shift, scale);
  expectMatrix(result, {2, 0, 0, 0, 2, 0, 0, 0, 2}, {1, 0, 0});

  const AffineMap a = build(MapKind::Matrix, {1, 2, 3, 4, 5, 6, 7, 8, 10});
  AffineMap b = build(MapKind::Rotate, {1, -2, 0.5, 0.7, 2, 0.5});
  b.t = {3, -1, 2};
  compose(result, a, b);
  for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{1, 2, 3}, Vec3{-0.5, 4, 1}})
    expectNear(result.apply(p), a.apply(b.apply(p)), 1e-11);

  AffineMap intoA = a, intoB = b;
  compose(intoA, intoA, b);
  compose(intoB, a, intoB);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(intoA.row[i], result.row[i]);
    EXPECT_EQ(intoB.row[i], result.row[i]);
  }
  EXPECT_EQ(intoA.t, result.t);
  EXPECT_EQ(intoB.t, result.t);
}

// Largest eigenvalue of M M^T by power iteration, as an independent reference.
double referenceMaxStretchSquared(const AffineMap& map) {
  double g[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) g[i][j] = map.row[i].dot(map.row[j]);
  Vec3 v{0.6, 0.7, 0.8};
  double lambda = 0;
  for (int k = 0; k < 2000; ++k) {
    const Vec3 w{g[0][0] * v.x + g[0][1] * v.y + g[0][2] * v.z,
                 g[1][0] * v.x + g[1][1] * v.y + g[1][2] * v.z,
                 g[2][0] * v.x + g[2][1] * v.y + g[2][2] * v.z};
    lambda = w.length();
    if (lambda == 0) return 0;
    v = w * (1 / lambda);
  }
  return lambda;
}

// R diag(d) for a fixed oblique rotation R: M M^T has the eigenvalues d^2.
AffineMap rotatedDiagonal(double d0, double d1, double d2) {
  AffineMap map;
  compose(map, build(MapKind::Rotate, {1, 2, -0.5, 0.9, 1, 1}),
          build(MapKind::Scale, {d0, d1, d2}));
  return map;
}

TEST(AffineMapStretch, DiagonalRotationAndGeneralMatrices) {
  EXPECT_EQ(build(MapKind::Scale, {2, 3, 4}).maxStretchSquared(), 16.0);
  EXPECT_EQ(build(MapKind::Scale, {-5, 3, 4}).maxStretchSquared(), 25.0);
  EXPECT_EQ(build(MapKind::Scale, {0, 0, 0}).maxStretchSquared(), 0.0);
  EXPECT_NEAR(build(MapKind::Rotate, {1, 2, 3, 1.1, 1, 1}).maxStretchSquared(), 1.0, 1e-12);
  EXPECT_NEAR(rotatedDiagonal(1, 2, 3).maxStretchSquared(), 9.0, 1e-11);
  // Two coinciding roots below and above the third. A double root of the
  // characteristic polynomial is only fixed to about the square root of the
  // rounding error.
  EXPECT_NEAR(rotatedDiagonal(2, 1, 1).maxStretchSquared(), 4.0, 1e-7);
  EXPECT_NEAR(rotatedDiagonal(2, 2, 1).maxStretchSquared(), 4.0, 1e-7);
  // Rank two and rank one: a root is zero.
  EXPECT_NEAR(build(MapKind::Affine2d, {1, 2, 3, 4, 0, 0}).maxStretchSquared(),
              15 + std::sqrt(221.0), 1e-11);
  EXPECT_NEAR(build(MapKind::Matrix, {1, 1, 1, 1, 1, 1, 1, 1, 1}).maxStretchSquared(), 9.0, 1e-11);

  const AffineMap samples[] = {
      build(MapKind::Matrix, {1, 2, 3, 4, 5, 6, 7, 8, 10}),
      build(MapKind::Matrix, {0.3, -0.2, 0.1, 0.05, 0.4, -0.3, 0.2, 0.1, 0.25}),
      build(MapKind::Rotate, {0.2, -1, 0.4, 2.5, 0.3, 1.7}),
      build(MapKind::Matrix, {2, 1, 0, 1, 2, 0, 0, 0, 3}),
  };
  for (const AffineMap& m : samples) {
    const double expected = referenceMaxStretchSquared(m);
    EXPECT_NEAR(m.maxStretchSquared(), expected, 1e-10 * expected);
  }
}

TEST(AffineMapStretch, TinyMapsDeepInTheTreeAreStillBoundedExactly) {
  // Node maps far down the tree have entries far below any absolute
  // tolerance; their largest stretch must keep its relative accuracy.
  for (double k : {1e-3, 1e-6, 1e-9}) {
    EXPECT_NEAR(rotatedDiagonal(k, 2 * k, 3 * k).maxStretchSquared(), 9 * k * k, 1e-9 * k * k);
    EXPECT_NEAR(rotatedDiagonal(3 * k, 0, 0).maxStretchSquared(), 9 * k * k, 1e-9 * k * k);
  }
}

}  // namespace
}  // namespace engine
