#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// How a frame of width x height subpixels is cut into square tiles, taken in
// column-major order. The cut depends only on the frame and the memory
// budget, never on the number of workers, so that every worker count gives
// the same image.
struct TileLayout {
  // Bytes that one ray record counts against the memory budget.
  static constexpr double kBytesPerRay = 112.0;
  // Largest tile side in subpixels: keeps every core busy on an image that
  // the budget would give to one tile and bounds each worker's records. From
  // 64 to 128 the time hardly changes (the tree's upper levels walked again
  // per tile against the cache); 72 holds whole pixels for antialiasing up to
  // 4 and gives enough tiles to balance the workers.
  static constexpr int kMaxSide = 72;

  int width = 0, height = 0;  // the frame in subpixels
  int side = 0;               // a multiple of the antialiasing factor, at least one pixel
  int columns = 0, rows = 0;
  size_t records = 0;  // ray records that the largest tile needs
  // The tile rows that are rendered, counted from y = 0: all but in a band.
  int rowBegin = 0, rowEnd = 0;

  int count() const { return columns * (rowEnd - rowBegin); }

  struct Bounds {
    int x0, y0, x1, y1;  // x1 and y1 exclusive
  };
  Bounds tile(int index) const;
  // The subpixels that the rendered tile rows cover.
  Bounds area() const;
  // The same cut limited to horizontal band `index` of `count`, counted from
  // the top of the image (the highest y), whole tile rows each. Cutting the
  // same tiles keeps a band's pixels equal to those of the whole frame. No
  // rows when there are more bands than tile rows.
  TileLayout band(int index, int count) const;
};

TileLayout layoutTiles(int width, int height, int antialiasing, uint64_t memoryBudget);

}  // namespace engine
