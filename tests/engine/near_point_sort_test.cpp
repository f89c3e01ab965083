#include <cmath>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "engine/near_point_sort.h"

namespace engine {
namespace {

NearRays randomPoints(size_t count, std::mt19937& random) {
  std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
  std::uniform_real_distribution<float> field(-1.0f, 1.0f);
  NearRays points;
  points.reset(count);
  for (size_t i = 0; i < count; ++i) {
    points.push(coordinate(random), coordinate(random), coordinate(random), uint32_t(7 * i));
    points.fx[i] = field(random);
    points.fy[i] = field(random);
    points.fz[i] = field(random);
  }
  return points;
}

// Every length around the vector widths, with far and near points, both ways
// of weighing: the vector loops give the plain loop's sums and near list bit
// for bit, and the plain loop adds the point mass's field to far points only.
TEST(NearPointSort, VectorLoopsMatchThePlainLoop) {
  std::mt19937 random(7);
  for (const double power : {3.0, 2.5})
    for (const size_t count : {0, 1, 3, 4, 5, 7, 8, 9, 16, 17, 63, 200}) {
      SCOPED_TRACE(testing::Message() << "power " << power << ", " << count << " points");
      const PointMass node{{0.2, -0.1, 0.3}, 0.5, 0.01, power};
      const NearRays before = randomPoints(count, random);
      NearRays plain = before, vector = before, plainNear, vectorNear;
      plainNear.reset(count);
      vectorNear.reset(count);
      const NearSums plainSums = sortNearPoints(node, plain, plainNear, false);
      const NearSums vectorSums = sortNearPoints(node, vector, vectorNear, true);

      EXPECT_EQ(vector.fx, plain.fx);
      EXPECT_EQ(vector.fy, plain.fy);
      EXPECT_EQ(vector.fz, plain.fz);
      ASSERT_EQ(vectorNear.count, plainNear.count);
      EXPECT_EQ(vectorNear.from, plainNear.from);
      EXPECT_EQ(vectorSums.sum, plainSums.sum);
      EXPECT_EQ(vectorSums.sumOfSquares, plainSums.sumOfSquares);

      size_t nearCount = 0;
      for (size_t i = 0; i < count; ++i) {
        const Vec3 d = Vec3{before.x[i], before.y[i], before.z[i]} - node.center;
        const double d2 = d.lengthSquared();
        const double w = d2 >= node.nearLimit ? node.mass * std::pow(d2, -power) : 0.0;
        EXPECT_NEAR(plain.fx[i], before.fx[i] + d.x * w, 1e-5) << i;
        EXPECT_NEAR(plain.fz[i], before.fz[i] + d.z * w, 1e-5) << i;
        if (w == 0.0) {
          ASSERT_LT(nearCount, plainNear.count);
          EXPECT_EQ(plainNear.from[nearCount], i);
          EXPECT_EQ(plainNear.x[nearCount], before.x[i]);
          EXPECT_EQ(plainNear.fx[nearCount], 0.0f);
          ++nearCount;
        }
      }
      EXPECT_EQ(nearCount, plainNear.count);
    }
}

}  // namespace
}  // namespace engine
