#include "map_index.h"

namespace engine {

namespace {

// A NaN argument makes a spec equal to nothing, itself included: such specs
// are neither filed nor looked up, so that many of them cannot fill a bucket.
bool comparable(const MapSpec& spec) {
  return spec == spec;
}

}  // namespace

int MapSpecIndex::find(const std::vector<MapSpec>& table, const MapSpec& spec) {
  if (filed_ > table.size()) clear();  // the table was emptied behind our back
  for (; filed_ < table.size(); ++filed_)
    if (comparable(table[filed_])) positions_.emplace(table[filed_].hash(), int(filed_));
  if (!comparable(spec)) return -1;
  int first = -1;
  const auto [begin, end] = positions_.equal_range(spec.hash());
  for (auto it = begin; it != end; ++it)
    if ((first < 0 || it->second < first) && table[size_t(it->second)] == spec) first = it->second;
  return first;
}

void MapSpecIndex::clear() {
  positions_.clear();
  filed_ = 0;
}

}  // namespace engine
