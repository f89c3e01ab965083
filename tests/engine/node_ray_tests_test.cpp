#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/node_ray_tests.h"

namespace engine {
namespace {

// Random rays around a node at the origin, a few of them over already, and
// their limits by id (ids are spread out, as records of a tile are).
RayLevel randomRays(size_t count, size_t usedLanes, std::vector<double>& limits,
                    std::mt19937& random) {
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  RayLevel rays;
  rays.reset(count, usedLanes);
  limits.assign(3 * count + 1, 0.0);
  for (size_t k = 0; k < count; ++k) {
    for (size_t j = 0; j < usedLanes; ++j) rays.value(j, k) = unit(random);
    rays.id[k] = RayId(3 * k + 1);
    limits[3 * k + 1] = k % 7 == 3 ? kWalkOver : 2.0 + unit(random);
  }
  rays.count = count;
  // Past the rays, ids that are no records: the tests must not look them up.
  for (size_t j = 0; j < kRayLevelPadding; ++j) rays.id[count + j] = RayId{1} << 30;
  return rays;
}

void expectSameRays(const RayLevel& a, const RayLevel& b) {
  ASSERT_EQ(a.count, b.count);
  for (size_t k = 0; k < a.count; ++k) {
    EXPECT_EQ(a.id[k], b.id[k]);
    for (size_t j = 0; j < a.used; ++j) EXPECT_EQ(a.value(j, k), b.value(j, k)) << k;
  }
}

// Every length around the vector widths, rays from the eye and from their
// own origins: the vector loops find the plain loop's rays, in its order,
// with the same values; a ray whose walk is over never enters or hits.
TEST(NodeRayTests, HitVectorLoopMatchesThePlainLoop) {
  std::mt19937 random(11);
  size_t entered = 0, hits = 0;  // the cases meet both outcomes
  for (const bool shared : {true, false})
    for (const size_t count : {0, 1, 3, 4, 5, 8, 9, 17, 200}) {
      SCOPED_TRACE(testing::Message() << (shared ? "eye, " : "own origins, ") << count);
      std::vector<double> limits;
      HitRays rays = randomRays(count, shared ? kTravelled : kOriginZ + 1, limits, random);
      const Vec3 center{0.1, -0.2, 2.0};
      for (size_t k = 0; k < count; ++k) {  // aimed near the node, every other one closely
        const Vec3 origin =
            shared ? Vec3{} : Vec3{rays.value(kOriginX, k), rays.value(kOriginY, k), 0.0};
        if (!shared) rays.value(kOriginZ, k) = 0.0;
        Vec3 dir = center +
                   Vec3{rays.value(kDirX, k), rays.value(kDirY, k), 0.0} * (k % 2 ? 0.6 : 0.02) -
                   origin;
        dir.normalize();
        rays.value(kDirX, k) = dir.x, rays.value(kDirY, k) = dir.y, rays.value(kDirZ, k) = dir.z;
        if (!shared) rays.value(kTravelled, k) = 1.5 + rays.value(kTravelled, k);
        rays.value(kCone, k) = 0.02 * (1.0 + rays.value(kCone, k));
      }
      const HitNodeTest node{center, 0.4, 0.05, 1.0, shared, {0.0, 0.0, 0.0}};
      HitRays plain, vector;
      plain.reset(count, rays.used);
      vector.reset(count, rays.used);
      std::vector<FootprintHit> plainHits, vectorHits;
      hitNodeTest(false)(node, rays, limits.data(), plain, plainHits);
      hitNodeTest(true)(node, rays, limits.data(), vector, vectorHits);

      expectSameRays(vector, plain);
      ASSERT_EQ(vectorHits.size(), plainHits.size());
      for (size_t h = 0; h < plainHits.size(); ++h) {
        EXPECT_EQ(vectorHits[h].id, plainHits[h].id);
        EXPECT_EQ(vectorHits[h].u, plainHits[h].u);
        EXPECT_LT(plainHits[h].u, limits[size_t(plainHits[h].id)]);
      }
      for (size_t k = 0; k < plain.count; ++k) EXPECT_NE(limits[size_t(plain.id[k])], kWalkOver);
      entered += plain.count;
      hits += plainHits.size();
    }
  EXPECT_GT(entered, 20u);
  EXPECT_GT(hits, 20u);
}

TEST(NodeRayTests, ShadowVectorLoopMatchesThePlainLoop) {
  std::mt19937 random(13);
  size_t entered = 0, blocked = 0;
  for (const size_t count : {0, 1, 3, 4, 5, 8, 9, 17, 200}) {
    SCOPED_TRACE(testing::Message() << count << " segments");
    std::vector<double> limits;
    ShadowRays rays = randomRays(count, kFootprint + 1, limits, random);
    const Vec3 center{0.2, 0.1, -0.3};
    for (size_t k = 0; k < count; ++k) {  // from the light towards the node, half closely
      // Some end in front of the node, some just behind it, some well behind.
      double& length = limits[size_t(rays.id[k])];
      if (length != kWalkOver) length = 0.3 + 0.2 * double(k % 5);
      const double drawn = length == kWalkOver ? 2.0 : length;
      Vec3 towards = center + Vec3{rays.value(kFromLightX, k), rays.value(kFromLightY, k),
                                   rays.value(kFromLightZ, k)} *
                                  (k % 2 ? 0.3 : 0.005);
      towards.normalize();
      rays.value(kFromLightX, k) = towards.x * drawn;
      rays.value(kFromLightY, k) = towards.y * drawn;
      rays.value(kFromLightZ, k) = towards.z * drawn;
      rays.value(kInverseLength, k) = 1.0 / drawn;
      rays.value(kFootprint, k) = 0.1 * (1.0 + rays.value(kFootprint, k));
    }
    const ShadowNodeTest node{center, 0.3, 0.05};
    ShadowRays plain, vector;
    plain.reset(count, rays.used);
    vector.reset(count, rays.used);
    std::vector<RayId> plainBlocked, vectorBlocked;
    shadowNodeTest(false)(node, rays, limits.data(), plain, plainBlocked);
    shadowNodeTest(true)(node, rays, limits.data(), vector, vectorBlocked);

    expectSameRays(vector, plain);
    EXPECT_EQ(vectorBlocked, plainBlocked);
    for (const RayId id : plainBlocked) EXPECT_NE(limits[size_t(id)], kWalkOver);
    for (size_t k = 0; k < plain.count; ++k) EXPECT_NE(limits[size_t(plain.id[k])], kWalkOver);
    entered += plain.count;
    blocked += plainBlocked.size();
  }
  EXPECT_GT(entered, 20u);
  EXPECT_GT(blocked, 20u);
}

}  // namespace
}  // namespace engine
