#pragma once

#include <algorithm>
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

// A bit for each of the children of a node that are tested at once.
using ChildBits = uint32_t;

// Room past a level's last ray for one vector of the widest instruction set,
// so that node tests run whole vectors and mask off the tail.
inline constexpr size_t kRayLevelPadding = 8;

// The rays that the hit or shadow walk tests against the nodes of one
// nesting level: level 0 holds all the walk's rays, level n + 1 those that
// entered the node of level n whose children are being visited. What the
// tests read of a ray travels with it, in blocks of kBlock rays: in a block,
// one lane per quantity, so that a node's test loads whole vectors; `id` is
// the record of each ray. A level touches memory only as far as its rays
// reach. In the shadow walk, `childBits` tell which children of the node
// whose entered segments the level holds each segment enters (see
// ShadowChildSweep). The two walks never run at once and share the levels.
struct RayLevel {
  static constexpr size_t kLanes = 8;
  static constexpr size_t kBlock = kRayLevelPadding;  // the widest vector
  Lane<RayId> id;
  Lane<ChildBits> childBits;
  size_t count = 0;
  size_t used = kLanes;        // the lanes in use, from the first
  bool withChildBits = false;  // whether the walk uses `childBits`

  // The block of ray k from its place in it: quantity j of rays k and on
  // (to the block's end) lies at j * kBlock.
  double* at(size_t k) { return values_.data() + (k / kBlock * used) * kBlock + k % kBlock; }
  const double* at(size_t k) const {
    return values_.data() + (k / kBlock * used) * kBlock + k % kBlock;
  }
  double& value(size_t j, size_t k) { return at(k)[j * kBlock]; }
  double value(size_t j, size_t k) const { return at(k)[j * kBlock]; }

  // Room for `n` rays in the first `usedLanes` lanes, and child bits if
  // `childBitsUsed`; the old ones are dropped.
  void reset(size_t n, size_t usedLanes, bool childBitsUsed) {
    count = 0;
    used = usedLanes;
    withChildBits = childBitsUsed;
    makeRoom(id, n + kRayLevelPadding);
    makeRoom(childBits, n + kRayLevelPadding);
    makeRoom(values_, (n / kBlock + 1) * kBlock * kLanes);
  }
  // The rays it has room for.
  size_t room() const { return id.empty() ? 0 : id.size() - kRayLevelPadding; }
  // Holds the rays of `from`, which has the same lanes, in its own memory.
  void copyFrom(const RayLevel& from) {
    count = from.count;
    std::copy_n(from.id.data(), count, id.data());
    // Bits that no walk wrote would take memory for nothing.
    if (withChildBits) std::copy_n(from.childBits.data(), count, childBits.data());
    std::copy_n(from.values_.data(), (count + kBlock - 1) / kBlock * used * kBlock, values_.data());
  }
  // Appends ray `k` of `from`, which has the same lanes.
  void append(const RayLevel& from, size_t k) {
    double* to = at(count);
    const double* source = from.at(k);
    for (size_t j = 0; j < used; ++j) to[j * kBlock] = source[j * kBlock];
    id[count++] = from.id[k];
  }

 private:
  Lane<double> values_;
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
