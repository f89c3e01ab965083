#include "engine/conformal_map.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "map_test_util.h"

namespace engine {
namespace {

ConformalMap build(MapKind kind, std::initializer_list<double> args) {
  ConformalMap map;
  EXPECT_TRUE(map.buildFrom(MapSpec::make(kind, args)));
  return map;
}

bool isIdentity(const ConformalMap& map) {
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      if (map.m[i][j] != (i == j ? 1.0 : 0.0)) return false;
  return true;
}

// Points spread over the sphere with the given centre and radius.
std::vector<Vec3> pointsOnSphere(const Vec3& c, double r) {
  std::vector<Vec3> points;
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 5; ++j) {
      const double theta = 0.4 + 0.37 * i, phi = 0.3 + 1.1 * j;
      points.push_back(c + Vec3{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi),
                                std::cos(theta)} *
                               r);
    }
  return points;
}

// The image sphere of a sphere holds the images of its points.
void expectSphereImage(const ConformalMap& map, const Vec3& c, double r) {
  Vec3 center = c;
  double radius2 = r * r;
  ASSERT_TRUE(map.applyToSphere(center, radius2));
  for (const Vec3& p : pointsOnSphere(c, r))
    EXPECT_NEAR((map.applyToPoint(p) - center).length(), std::sqrt(radius2), 1e-9);
}

TEST(ConformalMapBuild, IdentityKindsAndTranslation) {
  EXPECT_TRUE(isIdentity(build(MapKind::Id, {})));
  EXPECT_TRUE(isIdentity(build(MapKind::Empty, {})));
  const ConformalMap shift = build(MapKind::Translate, {1, -2, 0.5});
  expectNear(shift.applyToPoint({1, 1, 1}), {2, -1, 1.5});
  Vec3 c{0, 0, 3};
  double r2 = 4;
  EXPECT_TRUE(shift.applyToSphere(c, r2));
  expectNear(c, {1, -2, 3.5});
  EXPECT_NEAR(r2, 4, 1e-12);
}

TEST(ConformalMapBuild, ScaleIsUniformFromTheFirstArgument) {
  const ConformalMap triple = build(MapKind::Scale, {3, 7, 9});
  Vec3 c{1, 1, 1};
  double r2 = 1;
  EXPECT_TRUE(triple.applyToSphere(c, r2));
  expectNear(c, {3, 3, 3});
  EXPECT_NEAR(r2, 9, 1e-12);

  // A negative factor is the point reflection composed with the scale, not
  // a ball turned inside out.
  c = {1, 0, 0};
  r2 = 0.25;
  EXPECT_TRUE(build(MapKind::Scale, {-2, -2, -2}).applyToSphere(c, r2));
  expectNear(c, {-2, 0, 0});
  EXPECT_NEAR(r2, 1, 1e-12);

  // A factor of zero collapses everything onto the origin.
  c = {4, 5, 6};
  r2 = 2;
  EXPECT_TRUE(build(MapKind::Scale, {0, 0, 0}).applyToSphere(c, r2));
  EXPECT_EQ(c, (Vec3{0, 0, 0}));
  EXPECT_EQ(r2, 0.0);
}

TEST(ConformalMapBuild, RotateAndReflectAreRigid) {
  const ConformalMap quarter = build(MapKind::Rotate, {0, 0, 3, std::numbers::pi / 2, 2, 5});
  expectNear(quarter.applyToPoint({1, 0, 0}), {0, 1, 0});
  expectNear(quarter.applyToPoint({0, 0, 2}), {0, 0, 2});
  expectNear(build(MapKind::Reflect, {1, 1, 1}).applyToPoint({1, 0, 0}),
             {1. / 3, -2. / 3, -2. / 3});
  expectSphereImage(build(MapKind::Rotate, {1, 2, 3, 0.4, 1, 1}), {1, -1, 2}, 0.7);
}

TEST(ConformalMapBuild, InverseInTheUnitSphereSwapsTheLastRows) {
  const ConformalMap inv = build(MapKind::Inverse, {0, 0, 0, 1});
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      const int row = i == 3 ? 4 : i == 4 ? 3 : i;
      EXPECT_EQ(inv.m[i][j], row == j ? 1.0 : 0.0) << i << "," << j;
    }
}

TEST(ConformalMapBuild, InverseInAnySphere) {
  const ConformalMap radius2 = build(MapKind::Inverse, {0, 0, 0, 2});
  expectNear(radius2.applyToPoint({1, 0, 0}), {4, 0, 0});
  for (const Vec3& p : pointsOnSphere({0, 0, 0}, 2)) expectNear(radius2.applyToPoint(p), p, 1e-12);

  const Vec3 c{1, -2, 0.5};
  const double r = 1.5;
  const ConformalMap inv = build(MapKind::Inverse, {c.x, c.y, c.z, -r});
  for (const Vec3& x : {Vec3{0, 0, 0}, Vec3{3, 1, -2}, Vec3{1.2, -2.1, 0.4}}) {
    const Vec3 d = x - c;
    expectNear(inv.applyToPoint(x), c + d * (r * r / d.lengthSquared()), 1e-10);
  }
  // A sphere apart from the centre maps to a sphere; one around the centre
  // is turned inside out.
  expectSphereImage(inv, {4, 0, 0}, 1);
  Vec3 around = c + Vec3{0.1, 0, 0};
  double around2 = 1;
  EXPECT_FALSE(inv.applyToSphere(around, around2));
}

TEST(ConformalMapBuild, StretchMovesTheOriginInsideTheUnitBall) {
  const ConformalMap stretch = build(MapKind::Stretch, {0, 0, 2, 0.5});
  expectNear(stretch.applyToPoint({0, 0, 0}), {0, 0, 0.5});
  expectNear(stretch.applyToPoint({1, 0, 0}), {0.6, 0, 0.8});
  for (const Vec3& p : pointsOnSphere({0, 0, 0}, 1))
    EXPECT_NEAR(stretch.applyToPoint(p).length(), 1.0, 1e-12);

  const Vec3 a = Vec3{1, -1, 2} * (0.7 / std::sqrt(6.0));
  const ConformalMap oblique = build(MapKind::Stretch, {1, -1, 2, 0.7});
  for (const Vec3& x : {Vec3{0.2, 0.3, -0.1}, Vec3{2, 0, 1}, Vec3{-0.5, 0.5, 0.5}}) {
    const double ax = a.dot(x), x2 = x.lengthSquared(), a2 = a.lengthSquared();
    const Vec3 expected = (x * (1 - a2) + a * (1 + 2 * ax + x2)) * (1 / (1 + 2 * ax + a2 * x2));
    expectNear(oblique.applyToPoint(x), expected, 1e-12);
  }
  expectSphereImage(oblique, {0.3, 0.1, -0.2}, 0.4);

  EXPECT_TRUE(isIdentity(build(MapKind::Stretch, {0, 0, 1, 0.000001})));
  // The negligible-factor test comes before the axis test.
  EXPECT_TRUE(isIdentity(build(MapKind::Stretch, {0, 0, 0, -0.000001})));
}

TEST(ConformalMapBuild, DegenerateArgumentsAndForeignKindsAreRejectedAndLeaveTheMap) {
  const MapSpec rejected[] = {
      MapSpec::make(MapKind::Stretch, {0, 0, 1, 1}),
      MapSpec::make(MapKind::Stretch, {0, 0, 1, -2}),
      MapSpec::make(MapKind::Stretch, {0, 0, 0, 0.5}),
      MapSpec::make(MapKind::Inverse, {1, 1, 1, 1e-16}),
      MapSpec::make(MapKind::Rotate, {0, 0, 0, 1, 1, 1}),
      MapSpec::make(MapKind::Reflect, {0, 0, 0}),
      MapSpec::make(MapKind::Matrix, {1, 0, 0, 0, 1, 0, 0, 0, 1}),
      MapSpec::make(MapKind::Affine2d, {1, 0, 0, 1, 0, 0}),
      MapSpec::make(MapKind::RotateV, {1, 0, 0, 0, 1, 0}),
      MapSpec::make(MapKind::Weight, {0.5}),
      MapSpec::make(MapKind::Bound, {0, 0, 0, 1}),
      MapSpec::make(MapKind(-1), {}),
      MapSpec::make(MapKind::Inverse, {0, 0, 0, std::nan("")}),
  };
  for (const MapSpec& spec : rejected) {
    ConformalMap map = build(MapKind::Translate, {1, 2, 3});
    EXPECT_FALSE(map.buildFrom(spec)) << "kind " << spec.kind;
    expectNear(map.applyToPoint({0, 0, 0}), {1, 2, 3});
  }
}

TEST(ConformalMapApply, ReportsAnInsideOutImageButStillWritesIt) {
  const ConformalMap inv = build(MapKind::Inverse, {0, 0, 0, 1});
  Vec3 c{0.5, 0, 0};
  double r2 = 1;  // contains the centre of inversion
  EXPECT_FALSE(inv.applyToSphere(c, r2));
  // The boundary sphere |x - 0.5| = 1 passes through -0.5 and 1.5, whose
  // images -2 and 2/3 span the boundary of the image.
  expectNear(c, {-2. / 3, 0, 0});
  EXPECT_NEAR(r2, (4. / 3) * (4. / 3), 1e-12);
}

TEST(ConformalMapCompose, AppliesTheInnerMapFirstAndAllowsAliasing) {
  const ConformalMap inv = build(MapKind::Inverse, {1, 0, 0, 2});
  const ConformalMap shift = build(MapKind::Translate, {0, 3, 0});
  ConformalMap result;
  compose(result, inv, shift);
  for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{2, -1, 4}})
    expectNear(result.applyToPoint(p), inv.applyToPoint(shift.applyToPoint(p)), 1e-12);

  ConformalMap intoA = inv, intoB = shift;
  compose(intoA, intoA, shift);
  compose(intoB, inv, intoB);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      EXPECT_EQ(intoA.m[i][j], result.m[i][j]);
      EXPECT_EQ(intoB.m[i][j], result.m[i][j]);
    }
}

}  // namespace
}  // namespace engine
