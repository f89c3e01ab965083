#pragma once

#include <initializer_list>

#include <gtest/gtest.h>

#include "engine/map_spec.h"
#include "engine/vec3.h"

namespace engine {

inline void expectNear(const Vec3& actual, const Vec3& expected, double tolerance = 1e-12) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace engine
