#include "voxel_grid.h"

#include <algorithm>
#include <cmath>

namespace engine {

void Box::addBall(const Vec3& c, double r) {
  low = {std::min(low.x, c.x - r), std::min(low.y, c.y - r), std::min(low.z, c.z - r)};
  high = {std::max(high.x, c.x + r), std::max(high.y, c.y + r), std::max(high.z, c.z + r)};
}

bool Box::ballLeaves(const Vec3& c, double r) const {
  return c.x - r < low.x || c.y - r < low.y || c.z - r < low.z || c.x + r > high.x ||
         c.y + r > high.y || c.z + r > high.z;
}

VoxelGrid VoxelGrid::over(const Box& box, int longest) {
  const Vec3 size = box.high - box.low;
  const double side = std::max({size.x, size.y, size.z});
  VoxelGrid grid;
  grid.origin = box.low;
  // A box without extent (a single point) still gets one cell of some size.
  grid.cellSize = side > 0 ? side / longest : 1.0;
  const double sides[3] = {size.x, size.y, size.z};
  for (int axis = 0; axis < 3; ++axis) {
    if (side == 0) {
      grid.counts[axis] = 1;
      continue;
    }
    // The longest side gets exactly `longest` cells whatever the rounding.
    const double cells = sides[axis] == side ? longest : std::ceil(sides[axis] / grid.cellSize);
    grid.counts[axis] = std::clamp(int(cells), 1, longest);
  }
  return grid;
}

}  // namespace engine
