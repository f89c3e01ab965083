#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "map_spec.h"

namespace engine {

// Finds a map table's entries by value without walking the table, so that a
// script with many distinct maps builds in linear time. The table stays a
// plain vector owned elsewhere: entries appended since the last search are
// filed on the next one. An entry changed in place stays filed under its old
// value, where it no longer compares equal.
class MapSpecIndex {
 public:
  // Position of the first entry equal to `spec`, or -1.
  int find(const std::vector<MapSpec>& table, const MapSpec& spec);
  void clear();

 private:
  std::unordered_multimap<size_t, int> positions_;  // hash of an entry -> its position
  size_t filed_ = 0;                                // entries filed so far
};

}  // namespace engine
