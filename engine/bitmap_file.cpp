#include <cstdint>
#include <cstdio>

#include "frame_buffer.h"

namespace engine {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPixelsPerMeter = 3780;  // 96 dots per inch

void put16(uint8_t* at, uint32_t v) {
  at[0] = uint8_t(v);
  at[1] = uint8_t(v >> 8);
}

void put32(uint8_t* at, uint32_t v) {
  put16(at, v);
  put16(at + 2, v >> 16);
}

}  // namespace

bool FrameBuffer::writeBitmap(std::FILE* file) const {
  if (!hasImage()) return false;
  const uint64_t pixelBytes = uint64_t(stride) * height;
  if (pixelBytes > UINT32_MAX - kFileHeaderSize - kInfoHeaderSize)
    return false;  // too large for BMP
  const uint32_t imageSize = uint32_t(pixelBytes);
  uint8_t header[kFileHeaderSize + kInfoHeaderSize] = {'B', 'M'};
  put32(header + 2, kFileHeaderSize + kInfoHeaderSize + imageSize);
  put32(header + 10, kFileHeaderSize + kInfoHeaderSize);
  uint8_t* info = header + kFileHeaderSize;
  put32(info + 0, kInfoHeaderSize);
  put32(info + 4, width);
  put32(info + 8, height);  // positive: rows are stored bottom-up
  put16(info + 12, 1);
  put16(info + 14, uint32_t(bitsPerPixel));
  put32(info + 20, imageSize);
  put32(info + 24, kPixelsPerMeter);
  put32(info + 28, kPixelsPerMeter);

  return std::fwrite(header, sizeof header, 1, file) == 1 &&
         std::fwrite(bits.data(), 1, bits.size(), file) == bits.size();
}

}  // namespace engine
