#include "map_spec_index.h"

namespace engine {

int MapSpecIndex::find(const std::vector<MapSpec>& table, const MapSpec& spec) {
  if (filed_ > table.size()) clear();  // the table was emptied behind our back
  for (; filed_ < table.size(); ++filed_) positions_.emplace(table[filed_].hash(), int(filed_));
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
