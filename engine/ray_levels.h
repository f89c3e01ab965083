#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

// Room past a level's last ray for one vector of the widest instruction set,
// so that node tests run whole vectors and mask off the tail.
inline constexpr size_t kRayLevelPadding = 8;

// The rays that the hit or shadow walk tests against the nodes of one
// nesting level: level 0 holds all the walk's rays, level n + 1 those that
// entered the node of level n whose children are being visited. What the
// tests read of a ray travels with it, one array per quantity, so that a
// node's test streams over contiguous lanes; `id` is its record. The two
// walks never run at once and share the levels.
struct RayLevel {
  static constexpr size_t kLanes = 8;
  std::array<std::vector<double>, kLanes> lanes;
  std::vector<int64_t> id;  // 64 bits wide, like the lanes of doubles
  size_t count = 0;
  size_t used = kLanes;  // the lanes in use, from the first

  // Room for `n` rays in the first `usedLanes` lanes; the old ones are dropped.
  void reset(size_t n, size_t usedLanes) {
    count = 0;
    used = usedLanes;
    const size_t size = n + kRayLevelPadding;
    if (size > room_) {
      room_ = size;
      roomyLanes_ = 0;
      id.resize(room_);
    }
    for (; roomyLanes_ < used; ++roomyLanes_) lanes[roomyLanes_].resize(room_);
  }
  // Appends ray `k` of `from`.
  void append(const RayLevel& from, size_t k) {
    for (size_t j = 0; j < used; ++j) lanes[j][count] = from.lanes[j][k];
    id[count++] = from.id[k];
  }

 private:
  size_t room_ = 0;        // the size of `id` and of the roomy lanes
  size_t roomyLanes_ = 0;  // the lanes, from the first, of that size
};

// What the hit walk reads of a ray; the origin only when the rays do not
// all leave the eye.
enum HitLane { kDirX, kDirY, kDirZ, kTravelled, kCone, kOriginX, kOriginY, kOriginZ };
using HitRays = RayLevel;

// What the shadow walk reads of a ray: its segment from the light to the hit
// point, the segment's inverse length and its footprint at the hit point.
enum ShadowLane { kFromLightX, kFromLightY, kFromLightZ, kInverseLength, kFootprint };
using ShadowRays = RayLevel;

}  // namespace engine
