#include "tile_layout.h"

#include <algorithm>
#include <cmath>

namespace engine {

TileLayout layoutTiles(int width, int height, int antialiasing, uint64_t memoryBudget) {
  TileLayout layout;
  layout.width = width;
  layout.height = height;
  if (width <= 0 || height <= 0) return layout;

  const int aa = std::max(antialiasing, 1);
  int side;
  if (double(width) * height * TileLayout::kBytesPerRay >= double(memoryBudget)) {
    const double records = std::floor(double(memoryBudget) * (1.0 / TileLayout::kBytesPerRay));
    side = int(std::min(std::sqrt(records), double(TileLayout::kMaxSide)));
  } else {
    side = std::min(width + height, TileLayout::kMaxSide);
  }
  side -= side % aa;  // whole pixels
  side = std::max(side, aa);

  layout.side = side;
  layout.columns = (width + side - 1) / side;
  layout.rows = (height + side - 1) / side;
  layout.rowEnd = layout.rows;
  layout.records = size_t(std::min(side, width)) * size_t(std::min(side, height));
  return layout;
}

TileLayout::Bounds TileLayout::tile(int index) const {
  const int bandRows = rowEnd - rowBegin;
  const int x0 = index / bandRows * side;
  const int y0 = (rowBegin + index % bandRows) * side;
  return {x0, y0, std::min(x0 + side, width), std::min(y0 + side, height)};
}

TileLayout::Bounds TileLayout::area() const {
  return {0, rowBegin * side, width, std::min(rowEnd * side, height)};
}

TileLayout TileLayout::band(int index, int count) const {
  TileLayout cut = *this;
  if (count > rows) {
    cut.rowBegin = cut.rowEnd = 0;
    return cut;
  }
  // Edges at rows * k / count from the top: every band gets a row or more.
  cut.rowBegin = rows - int(int64_t(rows) * (index + 1) / count);
  cut.rowEnd = rows - int(int64_t(rows) * index / count);
  return cut;
}

}  // namespace engine
