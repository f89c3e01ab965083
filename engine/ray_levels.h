#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

// The rays that the hit and shadow walks test against the nodes of one
// nesting level, as indices of their records: level 0 holds all the walk's
// rays, level n + 1 those that entered the node of level n whose children
// are being visited. A node's test runs down an array instead of chasing
// and relinking records, and the rays that pass a node cost no write.
struct RayLevel {
  std::vector<uint32_t> ids;
  size_t count = 0;

  // Room for `n` rays; the old ones are dropped.
  void reset(size_t n) {
    count = 0;
    if (ids.size() < n) ids.resize(n);
  }
  // Appends `id` when `keep`; the slot is written either way, so that the
  // test loops need no branch. At most as many calls as there is room.
  void pushIf(uint32_t id, bool keep) {
    ids[count] = id;
    count += keep;
  }
};

}  // namespace engine
