#include "engine/sphere_walks.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/lighting.h"
#include "engine/trace_context.h"
#include "synthetic_scene.h"

namespace engine {
namespace {

using testing::SyntheticMap;
using testing::SyntheticScene;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kCone = 0.001f;  // one pixel is a milliradian

// Runs the walks of one tracing level on hand-made rays.
class WalkTest : public ::testing::Test {
 protected:
  WalkTest() {
    scene.render.footprintFactor = 0.8;
    scene.render.normalRadiusFactor = 2.5;
    rays.reserve(1000);
  }

  // A primary ray from `eye` towards `target`.
  PixelRay& addRay(const Vec3& eye, const Vec3& target) {
    PixelRay& ray = rays.emplace_back();
    ray.origin = eye;
    ray.direction = target - eye;
    ray.direction.normalize();
    ray.cone = kCone;
    ray.flags = PixelRay::kActive | PixelRay::kBackground;
    return ray;
  }

  void linkActive() {
    ctx.active = nullptr;
    for (auto it = rays.rbegin(); it != rays.rend(); ++it) {
      if (!(it->flags & PixelRay::kActive)) continue;
      it->next = ctx.active;
      ctx.active = &*it;
    }
  }

  // Nearest hits of primary rays leaving `eye`, from scratch or nearer than
  // the hits the rays hold; hit rays end at their hit.
  void intersect(const Vec3& eye, bool fresh = true) {
    for (PixelRay& ray : rays) {
      ray.t = fresh ? kInf : ray.t;
      ray.material = fresh ? nullptr : ray.material;
    }
    linkActive();
    ctx.level = 0;
    ctx.currentEye = eye;
    ASSERT_TRUE(intersectRays(ctx));
    EXPECT_EQ(ctx.top, nullptr);
  }

  // Moves hit rays to their hit points, as the tile tracer does, and
  // estimates unit normals there when asked.
  void advanceToHits(bool normals = false) {
    for (PixelRay& ray : rays) {
      if (!ray.material) {
        ray.flags &= ~PixelRay::kActive;
        continue;
      }
      ray.origin += ray.direction * ray.t;
      ray.travelled += ray.t;
    }
    if (!normals) return;
    for (PixelRay& ray : rays) ray.normal = {};
    linkActive();
    ASSERT_TRUE(estimateNormals(ctx));
    for (PixelRay& ray : rays) {
      Vec3 n{ray.normal.x, ray.normal.y, ray.normal.z};
      n.normalize();
      ray.normal = {float(n.x), float(n.y), float(n.z)};
    }
  }

  // Indices of the rays that reach `light`.
  std::vector<size_t> litBy(const Vec3& light) {
    Light l;
    l.position = light;
    scene.view.placedLights = {l};
    ctx.active = nullptr;
    for (auto it = rays.rbegin(); it != rays.rend(); ++it) {
      it->t = (it->origin - light).length();
      it->next = ctx.active;
      ctx.active = &*it;
    }
    EXPECT_TRUE(traceShadowRays(ctx, 0));
    std::vector<size_t> lit;
    for (PixelRay* ray = ctx.active; ray; ray = ray->next) lit.push_back(size_t(ray - rays.data()));
    std::sort(lit.begin(), lit.end());
    return lit;
  }

  SyntheticScene scene;
  TraceContext ctx{scene};
  std::vector<PixelRay> rays;
};

TEST_F(WalkTest, ARayBetweenTwoChildSpheresMissesAndStaysBackground) {
  // Two quarter-size copies at x = -0.75 and 0.75: a dust along the x axis.
  scene.sets.push_back({{{{-0.75, 0, 0}, 0.25, 0}, {{0.75, 0, 0}, 0.25, 0}}, 1.0});
  const Vec3 eye{0, 0, -5};
  PixelRay& between = addRay(eye, {0, 0, 0});
  PixelRay& onEnd = addRay(eye, {1, 0, 0});
  intersect(eye);
  EXPECT_EQ(between.material, nullptr);
  EXPECT_TRUE(between.flags & PixelRay::kBackground);
  EXPECT_EQ(between.t, kInf);
  // x = 1 is the fixed point of the right-hand map: a point of the attractor.
  EXPECT_EQ(onEnd.material, scene.defaultMaterial());
  EXPECT_FALSE(onEnd.flags & PixelRay::kBackground);
  const double footprint = 5.1 * kCone * 0.8;
  EXPECT_NEAR(onEnd.t, (Vec3{1, 0, 0} - eye).length(), 2 * footprint);
}

TEST_F(WalkTest, HitsOnASolidCubeLieOnItsFaceWithinTheFootprint) {
  scene.sets.push_back(testing::solidCube(0));
  const Vec3 eye{0.3, -0.2, -6};
  for (int i = 0; i < 10; ++i) addRay(eye, {-0.9 + 0.2 * i, 0.9 - 0.15 * i, -1});
  PixelRay& past = addRay(eye, {1.5, 0, -1});
  intersect(eye);
  for (size_t i = 0; i < 10; ++i) {
    ASSERT_NE(rays[i].material, nullptr) << i;
    const Vec3 hit = rays[i].origin + rays[i].direction * rays[i].t;
    EXPECT_NEAR(hit.z, -1.0, 2 * 5 * kCone * 0.8) << i;
    EXPECT_LE(hit.z, -1.0) << "hits lie in front of the surface";
  }
  EXPECT_EQ(past.material, nullptr);
}

TEST_F(WalkTest, ASphereBeyondTheHitIsNeverExpanded) {
  // A cube in front (z < 0) and one behind it (z > 0), of the same size.
  scene.sets.push_back({{{{0, 0, -0.5}, 0.25, 1}, {{0, 0, 0.5}, 0.25, 1}}, 1.0});
  scene.sets.push_back(testing::solidCube(1));
  scene.logSplits = true;
  const Vec3 eye{0, 0, -5};
  addRay(eye, {0.1, 0.1, 0});
  intersect(eye);
  ASSERT_NE(rays[0].material, nullptr);
  EXPECT_NEAR(rays[0].origin.z + rays[0].direction.z * rays[0].t, -0.75, 0.01);
  ASSERT_GT(scene.splitCenters.size(), 10u);
  for (const Vec3& c : scene.splitCenters) EXPECT_LE(c.z, 0.0);
}

TEST_F(WalkTest, SectionPlaneShowsTheCutWithItsNormalTurnedToTheCamera) {
  scene.sets.push_back(testing::solidCube(0));
  scene.render.sectionEnabled = true;
  scene.render.sectionNormal = {0, 0, 1};
  scene.render.sectionOffset = 0.25;
  scene.camera.position = {0, 0, -5};
  scene.logSplits = true;
  for (int i = 0; i < 5; ++i) addRay(scene.camera.position, {-0.8 + 0.4 * i, 0.3, 0});
  intersect(scene.camera.position);
  for (const Vec3& c : scene.splitCenters) EXPECT_LT(std::fabs(c.z - 0.25), 1.0);
  for (const PixelRay& ray : rays) {
    ASSERT_NE(ray.material, nullptr);
    EXPECT_NEAR(ray.origin.z + ray.direction.z * ray.t, 0.25, 0.05);
  }
  advanceToHits(true);
  for (const PixelRay& ray : rays) {
    EXPECT_EQ(ray.normal.z, -1.0f);
    EXPECT_EQ(ray.normal.x, 0.0f);
  }
}

TEST_F(WalkTest, NormalsOfABallOfSmallBallsPointOutward) {
  // The unit sphere covered by 1000 overlapping copies of itself, each
  // covered by smaller copies again.
  scene.sets.push_back(testing::sphereOfCopies(1000, 0.1, 0, 1.12));
  const Vec3 eye{0, 0, -4};
  for (int i = -5; i <= 5; ++i)
    for (int j = -5; j <= 5; ++j)
      if (i * i + j * j <= 25) addRay(eye, {i * 0.15, j * 0.15, 0}).cone = 0.005f;
  intersect(eye);
  advanceToHits(true);
  double sum = 0.0;
  int hits = 0;
  for (const PixelRay& ray : rays) {
    ASSERT_TRUE(ray.flags & PixelRay::kActive);
    Vec3 outward = ray.origin;
    outward.normalize();
    const double cosine =
        outward.x * ray.normal.x + outward.y * ray.normal.y + outward.z * ray.normal.z;
    EXPECT_GT(cosine, 0.5) << ray.origin.x << ", " << ray.origin.y << ", " << ray.origin.z;
    sum += cosine;
    ++hits;
  }
  EXPECT_GT(sum / hits, 0.9);
}

// Masses and dimension of the children of a root of mass 2 refined for normals.
TEST_F(WalkTest, RefinementSharesTheMassByWeightsOrByAPowerOfTheRadius) {
  // Without weights: one Newton step from s = 2 towards 2 * 0.5^s + 0.25^s = 1.
  const double x1 = std::log(0.5), x2 = std::log(0.25);
  const double s = 2 - (2 * std::exp(2 * x1) + std::exp(2 * x2) - 1) /
                           (2 * x1 * std::exp(2 * x1) + x2 * std::exp(2 * x2));
  const double m1 = std::pow(0.25, s / 2), m2 = std::pow(0.0625, s / 2);
  const struct {
    std::vector<SyntheticMap> maps;
    std::vector<double> masses;  // of the children in map order
    double dimension;            // 0: not checked
  } cases[] = {
      {{{{-0.5, 0, 0}, 0.5, 0, 1.0}, {{0.7, 0, 0}, 0.25, 0, 3.0}}, {0.5, 1.5}, 0},
      {{{{-0.5, 0, 0}, 0.5, 0}, {{0.5, 0, 0}, 0.5, 0}, {{0, 0.7, 0}, 0.25, 0}},
       {2 * m1 / (2 * m1 + m2), 2 * m1 / (2 * m1 + m2), 2 * m2 / (2 * m1 + m2)},
       s},
      // From s = 2 the step for 0.5^s + 0.25^s = 1 overshoots below zero: start again from 2.
      {{{{-0.5, 0, 0}, 0.5, 0}, {{0.7, 0, 0}, 0.25, 0}},
       {2 * 0.25 / 0.3125, 2 * 0.0625 / 0.3125},
       2.0},
      // A point child gets a tenth of the smallest mass.
      {{{{-0.5, 0, 0}, 0.5, 0}, {{0.5, 0, 0}, 0.5, 0}, {{0, 0, 0}, 0.0, 0}},
       {2 / 2.1, 2 / 2.1, 0.2 / 2.1},
       0},
  };
  for (const auto& c : cases) {
    scene.sets = {{c.maps, 1.0}};
    ASSERT_TRUE(scene.initRoot(ctx));
    ctx.top->mass = 2.0;
    ASSERT_TRUE(refineForNormals(ctx));
    int children = 0;
    for (SphereNode* n = ctx.top; n; n = n->next, ++children) {
      size_t i = 0;
      while (i < c.maps.size() && c.maps[i].offset != n->center) ++i;
      ASSERT_LT(i, c.maps.size());
      EXPECT_NEAR(n->mass, c.masses[i], 1e-12) << "child " << i;
      if (c.dimension > 0) {
        EXPECT_DOUBLE_EQ(n->dimension, c.dimension);
      }
    }
    EXPECT_EQ(children, int(c.maps.size()));
    ctx.clearNodeStack();
  }
}

TEST_F(WalkTest, ShadowRaysAreBlockedOnlyByWhatLiesBetween) {
  scene.sets.push_back(testing::flatSquare(0));  // the square |x|, |y| <= 1 at z = 0
  const Vec3 eye{0, 0, -3};
  addRay(eye, {0.2, 0.3, 0});   // hits the square
  addRay(eye, {-0.5, 0.5, 0});  // hits the square
  intersect(eye);
  advanceToHits();
  ASSERT_NE(rays[0].material, nullptr);
  ASSERT_NE(rays[1].material, nullptr);
  // Points in the open, below the square and beside it.
  addRay(eye, eye).origin = {0.1, 0.1, -1};
  addRay(eye, eye).origin = {3, 0, -1};
  for (PixelRay& ray : rays) ray.travelled = 3;

  // A light on the camera's side: the surface does not shadow itself.
  EXPECT_EQ(litBy({0, 0, -2}), (std::vector<size_t>{0, 1, 2, 3}));
  EXPECT_EQ(litBy({-1.5, 0.5, -0.2}), (std::vector<size_t>{0, 1, 2, 3}));
  // Lights behind the square: only segments through the square are blocked.
  rays.erase(rays.begin(), rays.begin() + 2);
  EXPECT_EQ(litBy({0.1, 0.1, 1}), (std::vector<size_t>{1}));
  EXPECT_EQ(litBy({-0.5, 0.5, 2}), (std::vector<size_t>{1}));
  EXPECT_EQ(litBy({3, 0, 1}), (std::vector<size_t>{0, 1}));
}

TEST_F(WalkTest, ALightInsideAChildSphereHasThatChildSplitFirst) {
  // A: a half-size cube whose sphere holds the light at the origin although
  // its centre is far; B: a small cube between the hit point and the light,
  // its centre nearer to the light.
  scene.sets.push_back({{{{0.6, 0, 0}, 0.5, 1}, {{0, 0, -0.3}, 0.1, 1}}, 1.3});
  scene.sets.push_back(testing::solidCube(1));
  scene.logSplits = true;
  PixelRay& ray = addRay({0, 0, 0}, {0, 0, 1});
  ray.origin = {0, 0, -3};
  ray.travelled = 3;
  EXPECT_TRUE(litBy({0, 0, 0}).empty());  // B is in the way
  ASSERT_GE(scene.splitCenters.size(), 3u);
  EXPECT_EQ(scene.splitCenters[0], (Vec3{0, 0, 0}));
  EXPECT_EQ(scene.splitCenters[1], (Vec3{0.6, 0, 0}));
  EXPECT_EQ(scene.splitCenters[2], (Vec3{0, 0, -0.3}));
}

TEST_F(WalkTest, AnExhaustedNodePoolKeepsTheHitsAndEndsTheWalk) {
  // A map that does not shrink makes the tree endless.
  scene.sets.push_back({{{{0, 0, 0}, 1.0, 0}, {{0.5, 0, 0}, 0.5, 0}}, 1.0});
  const Vec3 eye{0, 0, -5};
  PixelRay& ray = addRay(eye, {0, 0, 0});
  ray.t = 4.5;
  const Material* earlier = scene.addMaterial();
  ray.material = earlier;
  intersect(eye, false);
  EXPECT_EQ(ray.material, earlier);
  EXPECT_EQ(ray.t, 4.5);

  advanceToHits();
  EXPECT_TRUE(estimateNormals(ctx));
  EXPECT_EQ(litBy({0, 0, -9}).size(), 1u);
  EXPECT_GT(ctx.nodesCreated, TraceContext::kNodeLimit);
}

TEST_F(WalkTest, AStopEndsEveryWalk) {
  scene.sets.push_back(testing::solidCube(0));
  addRay({0, 0, -5}, {0, 0, 0});
  linkActive();
  scene.canceled = true;
  EXPECT_FALSE(intersectRays(ctx));
  linkActive();
  EXPECT_FALSE(estimateNormals(ctx));
  Light light;
  scene.view.placedLights = {light};
  linkActive();
  EXPECT_FALSE(traceShadowRays(ctx, 0));
}

}  // namespace
}  // namespace engine
