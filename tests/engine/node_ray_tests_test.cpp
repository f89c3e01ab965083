#include <bit>
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
  rays.reset(count, usedLanes, false);
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

// Rays from the eye at the origin (`shared`) or from their own origins,
// aimed near `center`, every other one closely.
HitRays aimedRays(size_t count, bool shared, const Vec3& center, std::vector<double>& limits,
                  std::mt19937& random) {
  HitRays rays = randomRays(count, shared ? kTravelled : kOriginZ + 1, limits, random);
  for (size_t k = 0; k < count; ++k) {
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
  return rays;
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
      const Vec3 center{0.1, -0.2, 2.0};
      const HitRays rays = aimedRays(count, shared, center, limits, random);
      const HitNodeTest node{center, 0.4, 0.05, 1.0, shared, {0.0, 0.0, 0.0}};
      HitRays plain, vector;
      plain.reset(count, rays.used, false);
      vector.reset(count, rays.used, false);
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

// A sweep over a node's children finds those that some ray meets, entering
// or stopping at it, as each child's own test does: every child count around
// the vector widths, up to the most a sweep takes, rays from the eye and
// from their own origins, and both loops.
TEST(NodeRayTests, HitSweepFindsWhatEachChildsTestFinds) {
  std::mt19937 random(19);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  size_t met = 0, missed = 0;
  for (const bool vector : {false, true})
    for (const bool shared : {true, false})
      for (const size_t childCount : {1, 3, 4, 5, 8, 9, 20, 32})
        for (const size_t count : {1, 3, 8}) {
          SCOPED_TRACE(testing::Message()
                       << (vector ? "vector, " : "plain, ") << (shared ? "eye, " : "own origins, ")
                       << childCount << " children, " << count << " rays");
          std::vector<double> limits;
          const Vec3 center{0.1, -0.2, 2.0};
          const HitRays rays = aimedRays(count, shared, center, limits, random);
          HitNodeTest node{center, 0.0, 0.0, 1.0, shared, {0.0, 0.0, 0.0}};
          ChildSpheres children;
          ChildBits expected = 0;
          for (size_t c = 0; c < childCount; ++c) {
            HitNodeTest child = node;
            child.center = center + Vec3{unit(random), unit(random), unit(random)} * 0.3;
            child.radius = 0.02 + 0.1 * (1.0 + unit(random));
            child.smallRadius = child.radius * (c % 3 == 0 ? 1.0 : 0.05);
            children.add(child.center, child.radius, child.smallRadius);
            HitRays entered;
            entered.reset(count, rays.used, false);
            std::vector<FootprintHit> hits;
            hitNodeTest(false)(child, rays, limits.data(), entered, hits);
            if (entered.count + hits.size() > 0) expected |= ChildBits{1} << c;
          }
          const ChildBits found = hitChildSweep(vector)(node, children, rays, limits.data());
          EXPECT_EQ(found, expected);
          met += size_t(std::popcount(expected));
          missed += childCount - size_t(std::popcount(expected));
        }
  EXPECT_GT(met, 100u);
  EXPECT_GT(missed, 100u);
}

// Segments from the light (at the origin) towards `center`, half of them
// closely; some end in front of it, some just behind it, some well behind.
ShadowRays aimedSegments(size_t count, const Vec3& center, std::vector<double>& limits,
                         std::mt19937& random) {
  ShadowRays rays = randomRays(count, kFootprint + 1, limits, random);
  for (size_t k = 0; k < count; ++k) {
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
  return rays;
}

TEST(NodeRayTests, ShadowVectorLoopMatchesThePlainLoop) {
  std::mt19937 random(13);
  size_t entered = 0, blocked = 0;
  for (const size_t count : {0, 1, 3, 4, 5, 8, 9, 17, 200}) {
    SCOPED_TRACE(testing::Message() << count << " segments");
    std::vector<double> limits;
    const Vec3 center{0.2, 0.1, -0.3};
    const ShadowRays rays = aimedSegments(count, center, limits, random);
    const ShadowNodeTest node{center, 0.3, 0.05};
    ShadowRays plain, vector;
    plain.reset(count, rays.used, false);
    vector.reset(count, rays.used, false);
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

// A sweep over a node's children gives each segment the bits of the children
// that it enters, as each child's own test finds them, unless some child
// blocks it: then its walk is over. Every child count around the vector
// widths, up to the most a sweep takes, and both loops.
TEST(NodeRayTests, ShadowSweepFindsWhatEachChildsTestFinds) {
  std::mt19937 random(17);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  size_t entries = 0, blocks = 0;
  for (const bool vector : {false, true})
    for (const size_t childCount : {1, 3, 4, 5, 8, 9, 20, 32})
      for (const size_t count : {1, 7, 30}) {
        SCOPED_TRACE(testing::Message() << (vector ? "vector, " : "plain, ") << childCount
                                        << " children, " << count << " segments");
        std::vector<double> limits;
        const Vec3 center{0.2, 0.1, -0.3};
        ShadowRays rays = aimedSegments(count, center, limits, random);
        ChildSpheres children;
        for (size_t c = 0; c < childCount; ++c) {
          const double radius = 0.02 + 0.1 * (1.0 + unit(random));
          children.add(center + Vec3{unit(random), unit(random), unit(random)} * 0.2, radius,
                       radius * (c % 3 == 0 ? 3.0 : 0.05));
        }

        std::vector<ChildBits> expectedBits(count, 0);
        std::vector<bool> expectBlocked(count, false);
        for (size_t c = 0; c < childCount; ++c) {
          const Vec3 sphere{children.x[c], children.y[c], children.z[c]};
          const ShadowNodeTest child{sphere, children.radius[c], children.smallRadius[c]};
          ShadowRays entered;
          entered.reset(count, rays.used, false);
          std::vector<RayId> blocked;
          shadowNodeTest(false)(child, rays, limits.data(), entered, blocked);
          for (size_t k = 0; k < count; ++k) {
            for (size_t e = 0; e < entered.count; ++e)
              if (entered.id[e] == rays.id[k]) expectedBits[k] |= ChildBits{1} << c;
            for (const RayId id : blocked) expectBlocked[k] = expectBlocked[k] || id == rays.id[k];
          }
        }

        const std::vector<double> before = limits;
        const ChildBits any = shadowChildSweep(vector)({}, children, rays, limits.data());
        ChildBits expectedAny = 0;
        for (size_t k = 0; k < count; ++k) {
          const size_t id = size_t(rays.id[k]);
          if (expectBlocked[k]) {
            EXPECT_EQ(limits[id], kWalkOver) << k;
            EXPECT_EQ(rays.childBits[k], 0u) << k;
            ++blocks;
            continue;
          }
          EXPECT_EQ(limits[id], before[id]) << k;
          EXPECT_EQ(rays.childBits[k], expectedBits[k]) << k;
          expectedAny |= expectedBits[k];
          entries += size_t(expectedBits[k] != 0);
        }
        EXPECT_EQ(any, expectedAny);
      }
  EXPECT_GT(entries, 40u);
  EXPECT_GT(blocks, 40u);
}

// The segments that a sweep found entering a child are those whose bits
// hold the child's bit and whose walk goes on, in their order and with all
// they carry; bits past the last segment are no segments'.
TEST(NodeRayTests, EnteredSegmentsAreThoseWithTheChildsBit) {
  std::mt19937 random(23);
  size_t taken = 0;
  for (const size_t count : {1, 5, 8, 9, 30}) {
    std::vector<double> limits;
    ShadowRays rays = randomRays(count, kFootprint + 1, limits, random);
    for (size_t k = 0; k < count; ++k) rays.childBits[k] = ChildBits(random());
    for (size_t k = count; k < count + kRayLevelPadding; ++k) rays.childBits[k] = ~ChildBits{0};
    for (size_t c = 0; c < ChildSpheres::kMaxChildren; ++c) {
      SCOPED_TRACE(testing::Message() << count << " segments, child " << c);
      const ChildBits bit = ChildBits{1} << c;
      ShadowRays entered;
      entered.reset(count, rays.used, false);
      collectEntered(rays, bit, limits.data(), entered);

      size_t e = 0;
      for (size_t k = 0; k < count; ++k) {
        if (!(rays.childBits[k] & bit) || limits[size_t(rays.id[k])] == kWalkOver) continue;
        ASSERT_LT(e, entered.count);
        EXPECT_EQ(entered.id[e], rays.id[k]);
        for (size_t j = 0; j < rays.used; ++j) EXPECT_EQ(entered.value(j, e), rays.value(j, k));
        ++e;
      }
      EXPECT_EQ(entered.count, e);
      taken += e;
    }
  }
  EXPECT_GT(taken, 300u);
}

}  // namespace
}  // namespace engine
