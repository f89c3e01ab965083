#pragma once

#include <cstdint>
#include <limits>

#include "vec3.h"

namespace engine {

// An axis-aligned box; empty until a point is added.
struct Box {
  Vec3 low{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
           std::numeric_limits<double>::infinity()};
  Vec3 high = -low;

  bool empty() const { return !(low.x <= high.x); }
  // Grows the box to hold the ball of radius r around c.
  void addBall(const Vec3& c, double r);
  // Whether the ball of radius r around c reaches beyond the box on some side.
  bool ballLeaves(const Vec3& c, double r) const;
};

// Cubic cells over a box: cell (i, j, k) spans origin + cellSize * [i, i + 1)
// and so on, i < counts[0].
struct VoxelGrid {
  Vec3 origin;
  double cellSize = 0.0;
  int counts[3] = {0, 0, 0};

  // The grid whose longest side has `longest` cells over `box`, the other
  // sides as many as they need (at least one).
  static VoxelGrid over(const Box& box, int longest);

  uint64_t cellCount() const {
    return uint64_t(counts[0]) * uint64_t(counts[1]) * uint64_t(counts[2]);
  }
  Vec3 cellCentre(int i, int j, int k) const {
    return origin + Vec3(i + 0.5, j + 0.5, k + 0.5) * cellSize;
  }
};

}  // namespace engine
