#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace engine {

// Leaves the elements that a vector adds unwritten. The walks give every
// level room for all the rays of a tile at once, so that no level ever moves;
// only the pages that rays reach are touched and take memory.
template <class T>
struct UnwrittenAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UnwrittenAllocator<U>;
  };
  template <class U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
};

// One quantity of the rays or points of a level.
template <class T>
using Lane = std::vector<T, UnwrittenAllocator<T>>;

// Gives `lane` room for `size` values, its old ones dropped.
template <class T>
void makeRoom(Lane<T>& lane, size_t size) {
  if (lane.size() >= size) return;
  lane.clear();  // nothing to copy when it moves
  lane.resize(size);
}

// A ray's record in its tile; tiles hold at most 2^16 records.
using RayId = int32_t;

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
  std::array<Lane<double>, kLanes> lanes;
  Lane<RayId> id;
  size_t count = 0;
  size_t used = kLanes;  // the lanes in use, from the first

  // Room for `n` rays in the first `usedLanes` lanes; the old ones are dropped.
  void reset(size_t n, size_t usedLanes) {
    count = 0;
    used = usedLanes;
    const size_t size = n + kRayLevelPadding;
    if (size > id.size()) {
      roomyLanes_ = 0;
      makeRoom(id, size);
    }
    for (; roomyLanes_ < used; ++roomyLanes_) makeRoom(lanes[roomyLanes_], id.size());
  }
  // The rays it has room for.
  size_t room() const { return id.empty() ? 0 : id.size() - kRayLevelPadding; }
  // Appends ray `k` of `from`.
  void append(const RayLevel& from, size_t k) {
    for (size_t j = 0; j < used; ++j) lanes[j][count] = from.lanes[j][k];
    id[count++] = from.id[k];
  }

 private:
  size_t roomyLanes_ = 0;  // the lanes, from the first, as long as `id`
};

// What the hit walk reads of a ray; the distance travelled and the origin
// only when the rays do not all leave the eye (those have travelled nothing).
enum HitLane { kDirX, kDirY, kDirZ, kCone, kTravelled, kOriginX, kOriginY, kOriginZ };
using HitRays = RayLevel;

// What the shadow walk reads of a ray: its segment from the light to the hit
// point, the segment's inverse length and its footprint at the hit point.
enum ShadowLane { kFromLightX, kFromLightY, kFromLightZ, kInverseLength, kFootprint };
using ShadowRays = RayLevel;

}  // namespace engine
