#pragma once

#include <initializer_list>

#include <gtest/gtest.h>

#include "engine/map_spec.h"
#include "engine/vec3.h"

namespace engine {

inline MapSpec makeSpec(MapKind kind, std::initializer_list<double> args) {
  MapSpec spec;
  spec.kind = int32_t(kind);
  spec.argCount = int32_t(args.size());
  int i = 0;
  for (double a : args) spec.args[i++] = a;
  return spec;
}

inline void expectNear(const Vec3& actual, const Vec3& expected, double tolerance = 1e-12) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace engine
