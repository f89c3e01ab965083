#include "frame_image.h"

#include <cstring>

namespace app {

namespace {

// Rows bottom first, blue-green-red or 4 bytes a pixel, as a frame buffer
// holds them.
QImage imageOfRows(const std::vector<uint8_t>& bits, uint32_t frameWidth, uint32_t frameHeight,
                   uint32_t stride, int bitsPerPixel) {
  if (bits.empty() || frameWidth == 0 || frameHeight == 0) return {};
  const int width = int(frameWidth), height = int(frameHeight);
  const bool truecolor = bitsPerPixel == 32;
  QImage image(width, height, truecolor ? QImage::Format_RGB32 : QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = bits.data() + std::size_t(height - 1 - y) * stride;
    uint8_t* dst = image.scanLine(y);
    if (truecolor) {
      std::memcpy(dst, src, std::size_t(width) * 4);  // B, G, R, X is RGB32 in memory
      for (int x = 0; x < width; ++x) dst[x * 4 + 3] = 0xFF;
      continue;
    }
    for (int x = 0; x < width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return image;
}

}  // namespace

QImage frameImage(const engine::FrameBuffer& fb) {
  return imageOfRows(fb.bits, fb.width, fb.height, fb.stride, fb.bitsPerPixel);
}

QImage frameImage(const engine::ImageCopy& copy) {
  return imageOfRows(copy.bits, copy.width, copy.height, copy.stride, copy.bitsPerPixel);
}

}  // namespace app
