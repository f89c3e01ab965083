#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/far_fields.h"

namespace engine {
namespace {

NearRays randomPoints(size_t count, std::mt19937& random) {
  std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
  std::uniform_real_distribution<float> field(-1.0f, 1.0f);
  NearRays points;
  points.reset(count);
  for (size_t i = 0; i < count; ++i) {
    points.push({coordinate(random), coordinate(random), coordinate(random)}, uint32_t(7 * i));
    points.setField(i, {field(random), field(random), field(random)});
  }
  return points;
}

PointMasses randomMasses(size_t count, bool cubic, std::mt19937& random) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  PointMasses masses;
  masses.clear();
  for (size_t k = 0; k < count; ++k)
    masses.add({{unit(random) - 0.5, unit(random) - 0.5, unit(random) - 0.5},
                0.3 * unit(random),
                0.01 * unit(random),
                cubic || k % 3 ? 3.0 : 2.5});
  return masses;
}

// Every length around the vector widths, one to the most masses, with and
// without other powers: the vector loops give the plain loop's fields and
// masks bit for bit; the plain loop adds the field of each far mass in
// double precision within float rounding, and marks the near ones.
TEST(FarFields, VectorLoopsMatchThePlainLoopAndTheFormula) {
  std::mt19937 random(7);
  size_t nearSeen = 0;
  for (const bool cubic : {true, false})
    for (const size_t massCount : {1, 3, 20, 64})
      for (const size_t count : {0, 1, 3, 4, 5, 9, 17, 200}) {
        SCOPED_TRACE(testing::Message() << (cubic ? "cubic, " : "mixed powers, ") << massCount
                                        << " masses, " << count << " points");
        const PointMasses masses = randomMasses(massCount, cubic, random);
        const NearRays before = randomPoints(count, random);
        NearRays plain = before, vector = before;
        const uint64_t plainAny = addFarFields(masses, plain, false);
        const uint64_t vectorAny = addFarFields(masses, vector, true);

        EXPECT_EQ(vectorAny, plainAny);
        for (size_t i = 0; i < count; ++i) {
          ASSERT_EQ(vector.field(i).x, plain.field(i).x) << i;
          ASSERT_EQ(vector.field(i).y, plain.field(i).y) << i;
          ASSERT_EQ(vector.field(i).z, plain.field(i).z) << i;
          ASSERT_EQ(vector.nearMask[i], plain.nearMask[i]) << i;
        }

        uint64_t any = 0;
        for (size_t i = 0; i < count; ++i) {
          Vec3 field{before.field(i).x, before.field(i).y, before.field(i).z};
          uint64_t nearMask = 0;
          for (size_t k = 0; k < massCount; ++k) {
            const Vec3 d = before.position(i) - Vec3{masses.x[k], masses.y[k], masses.z[k]};
            const double d2 = d.lengthSquared();
            if (d2 < masses.nearLimit[k])
              nearMask |= uint64_t{1} << k;
            else
              field += d * (masses.mass[k] * std::pow(d2, -masses.power[k]));
          }
          const double tolerance = 1e-5 * (1.0 + field.length());
          EXPECT_NEAR(plain.field(i).x, field.x, tolerance) << i;
          EXPECT_NEAR(plain.field(i).z, field.z, tolerance) << i;
          EXPECT_EQ(plain.nearMask[i], nearMask) << i;
          any |= nearMask;
        }
        EXPECT_EQ(plainAny, any);
        nearSeen += any != 0;
      }
  EXPECT_GT(nearSeen, 20u);  // the cases have near points
}

// Fields too small to move a single-precision field one by one still add
// up: the fields of the masses weighed at once are summed in double
// precision before they are rounded.
TEST(FarFields, SmallFieldsAddUpBeforeRounding) {
  PointMasses masses;
  masses.clear();
  for (size_t k = 0; k < PointMasses::kMaxMasses; ++k) masses.add({{-10.0, 0.0, 0.0}, 1.0, 1e-3});
  const double each = 10.0 * (1e-3 / (100.0 * 100.0 * 100.0));  // below half a step of 1.0f
  double sum = 1.0;
  for (size_t k = 0; k < PointMasses::kMaxMasses; ++k) sum += each;
  for (const bool vector : {false, true}) {
    NearRays points;
    points.reset(9);
    for (uint32_t i = 0; i < 9; ++i) {
      points.push({0.0, 0.0, 0.0}, i);
      points.setField(i, {1.0f, 0.0f, 0.0f});
    }
    EXPECT_EQ(addFarFields(masses, points, vector), 0u);
    for (size_t i = 0; i < points.count; ++i) {
      EXPECT_GT(points.field(i).x, 1.0f) << vector << " " << i;
      EXPECT_EQ(points.field(i).x, float(sum)) << vector << " " << i;
    }
  }
}

// The points near a mass, in their order, with where they came from, no
// field yet (whatever the level held before) and the sums that its
// refinement reads; the lanes past the last point are not points, whatever
// their masks hold.
TEST(FarFields, NearPointsAreThoseWithTheMassesBit) {
  std::mt19937 random(5);
  for (const size_t count : {1, 3, 7, 8, 9, 16, 50}) {
    NearRays points = randomPoints(count, random);
    for (size_t i = 0; i < count; ++i) points.nearMask[i] = i % 3 == 0 ? 0b101 : 0b010;
    for (size_t i = count; i < count + NearRays::kBlock; ++i) points.nearMask[i] = ~uint64_t{0};
    NearRays near = randomPoints(count, random);  // fields left from an earlier use
    const NearSums sums = collectNearPoints(points, 0b100, near);

    ASSERT_EQ(near.count, (count + 2) / 3) << count;
    Vec3 sum;
    double sumOfSquares = 0.0;
    for (size_t j = 0; j < near.count; ++j) {
      const size_t i = 3 * j;
      EXPECT_EQ(near.from[j], i);
      EXPECT_EQ(near.position(j), points.position(i));
      EXPECT_EQ(near.field(j).x, 0.0f);
      EXPECT_EQ(near.field(j).y, 0.0f);
      EXPECT_EQ(near.field(j).z, 0.0f);
      const Vec3 p = points.position(i);
      sum += p;
      sumOfSquares += p.lengthSquared();
    }
    EXPECT_EQ(sums.sum, sum);
    EXPECT_EQ(sums.sumOfSquares, sumOfSquares);
  }
}

}  // namespace
}  // namespace engine
